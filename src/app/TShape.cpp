#include "app/TShape.h"

#include <QMouseEvent>
#include <QPainter>

namespace {
QColor FromBgr(uint32_t c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }
}  // namespace

TShape::TShape(QWidget* parent) : QWidget(parent) {}

void TShape::SetColours(uint32_t pen, uint32_t brush) {
  pen_ = pen;
  brush_ = brush;
  update();
}

void TShape::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(FromBgr(pen_));
  p.setBrush(FromBgr(brush_));
  p.drawEllipse(QRectF(0.5, 0.5, width() - 1.0, height() - 1.0));
}

void TShape::mousePressEvent(QMouseEvent* e) {
  if (isEnabled() && OnMouseDown) OnMouseDown(e->button());
}
