#pragma once
// The controls the settings dialog's tabs are made of, made alike.

#include <QLabel>
#include <QRect>

#include "platform/Cp1250.h"
#include "ui/SkinFonts.h"
#include "ui/SkinRecolourable.h"
#include "ui/TNapisButon.h"

namespace usta {

// A plain-text label; its tag picks its colour (0 dimmed, 3 description,
// 4 message).
inline QLabel* Label(QWidget* parent, const char* name, const QRect& place, int tag, bool wrap = false) {
  auto* l = new QLabel(parent);
  l->setObjectName(QString::fromLatin1(name));
  l->setFont(SansSerifFont());
  l->setTextFormat(Qt::PlainText);
  l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  l->setWordWrap(wrap);
  l->setGeometry(place);
  SetTag(l, tag);
  return l;
}

// caption: UTF-8 source text.
inline TNapisButon* Button(QWidget* parent, const char* name, const char* caption, const QRect& place) {
  auto* b = new TNapisButon(parent);
  b->setObjectName(QString::fromLatin1(name));
  b->SetNapis(T(caption));
  b->setGeometry(place);
  return b;
}

}  // namespace usta
