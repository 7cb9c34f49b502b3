#include "ui/Anchors.h"

#include <QWidget>
#include <algorithm>

void PlaceAt(QWidget* w, const Place& p, QSize design, int width, int height) {
  const int dx = width - design.width(), dy = height - design.height();
  if (p.anchor == kAll) {
    w->setGeometry(p.x, p.y, std::max(0, p.w + dx), std::max(0, p.h + dy));
    return;
  }
  if (p.anchor == kLeftRightBottom) {
    w->setGeometry(p.x, p.y + dy, std::max(0, p.w + dx), p.h);
    return;
  }
  const bool right = p.anchor == kRightTop || p.anchor == kRightBottom;
  const bool bottom = p.anchor == kLeftBottom || p.anchor == kRightBottom;
  w->setGeometry(p.x + (right ? dx : 0), p.y + (bottom ? dy : 0), p.w, p.h);
}
