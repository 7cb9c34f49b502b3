#include "Face.h"

#include "Drawing.h"

#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

namespace rysownik::face {

const QColor kSkin(255, 204, 32);
const QColor kInk(104, 56, 0);

namespace {

QPen inkPen(double width) { return QPen(kInk, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin); }

void caret(QPainter& p, double cx, double cy, bool up) {
  QPainterPath a;
  const double h = up ? -1.7 : 1.3;
  a.moveTo(cx - 1.7, cy);
  a.quadTo(cx, cy + 2 * h, cx + 1.7, cy);
  p.setPen(inkPen(1.2));
  p.setBrush(Qt::NoBrush);
  p.drawPath(a);
}

void spiral(QPainter& p, double cx, double cy) {
  QPainterPath s;
  for (int i = 0; i <= 30; ++i) {
    const double t = i / 30.0;
    const double a = qDegreesToRadians(720 * t);
    const double r = 0.2 + 2.0 * t;
    const QPointF pt(cx + r * std::cos(a), cy + r * std::sin(a));
    if (i == 0) s.moveTo(pt); else s.lineTo(pt);
  }
  p.setPen(inkPen(0.8));
  p.setBrush(Qt::NoBrush);
  p.drawPath(s);
}

}  // namespace

QImage canvas() { return blackImage(kSize, kSize); }

void head(QPainter& p, const QColor& base) {
  QRadialGradient g(7.2, 6.2, 11.5);
  g.setColorAt(0.0, base.lighter(135));
  g.setColorAt(0.5, base);
  g.setColorAt(1.0, base.darker(125));
  p.setPen(QPen(base.darker(160), 0.9));
  p.setBrush(g);
  p.drawEllipse(QPointF(10, 10), 8.6, 8.6);
}

void eyes(QPainter& p, Eyes kind, double dx, double dy) {
  const double lx = 7, rx = 13, y = 8;
  p.setPen(Qt::NoPen);
  p.setBrush(kInk);
  switch (kind) {
    case Eyes::Dots:
      p.drawEllipse(QPointF(lx + dx, y + dy), 1.15, 1.7);
      p.drawEllipse(QPointF(rx + dx, y + dy), 1.15, 1.7);
      break;
    case Eyes::Happy:
      caret(p, lx, y + 0.6, true);
      caret(p, rx, y + 0.6, true);
      break;
    case Eyes::Wink:
      p.drawEllipse(QPointF(lx, y), 1.15, 1.7);
      caret(p, rx, y + 0.6, true);
      break;
    case Eyes::Wide:
      p.setPen(QPen(kInk, 0.7));
      p.setBrush(Qt::white);
      p.drawEllipse(QPointF(lx, y - 0.3), 2.2, 2.6);
      p.drawEllipse(QPointF(rx, y - 0.3), 2.2, 2.6);
      p.setPen(Qt::NoPen);
      p.setBrush(kInk);
      p.drawEllipse(QPointF(lx + dx, y + dy), 0.95, 0.95);
      p.drawEllipse(QPointF(rx + dx, y + dy), 0.95, 0.95);
      break;
    case Eyes::Squeeze: {
      p.setPen(inkPen(1.2));
      p.setBrush(Qt::NoBrush);
      const QPointF l[] = {{5.4, 6.6}, {8.3, 8.1}, {5.4, 9.6}};
      const QPointF r[] = {{14.6, 6.6}, {11.7, 8.1}, {14.6, 9.6}};
      p.drawPolyline(l, 3);
      p.drawPolyline(r, 3);
      break;
    }
    case Eyes::Sleep:
      caret(p, lx, y, false);
      caret(p, rx, y, false);
      break;
    case Eyes::Half:
      // Lower halves of the eyes under a straight lid.
      p.drawChord(QRectF(lx - 1.4 + dx, y - 1.6, 2.8, 3.4), 180 * 16, 180 * 16);
      p.drawChord(QRectF(rx - 1.4 + dx, y - 1.6, 2.8, 3.4), 180 * 16, 180 * 16);
      p.setPen(inkPen(1.0));
      p.drawLine(QPointF(lx - 2, y + 0.1), QPointF(lx + 1.9, y + 0.1));
      p.drawLine(QPointF(rx - 1.9, y + 0.1), QPointF(rx + 2, y + 0.1));
      break;
    case Eyes::Spiral:
      spiral(p, lx, y);
      spiral(p, rx, y);
      break;
  }
}

void mouth(QPainter& p, Mouth kind) {
  QPainterPath m;
  p.setPen(inkPen(1.3));
  p.setBrush(Qt::NoBrush);
  switch (kind) {
    case Mouth::Smile:
      m.moveTo(5.6, 12);
      m.quadTo(10, 16.8, 14.4, 12);
      p.drawPath(m);
      break;
    case Mouth::Frown:
      m.moveTo(6, 15.4);
      m.quadTo(10, 11.4, 14, 15.4);
      p.drawPath(m);
      break;
    case Mouth::Flat:
      p.drawLine(QPointF(6.6, 13.6), QPointF(13.4, 13.6));
      break;
    case Mouth::Skew:
      p.drawLine(QPointF(6.4, 14.6), QPointF(13.6, 12.4));
      break;
    case Mouth::O:
      p.setPen(QPen(kInk, 0.9));
      p.setBrush(QColor(176, 44, 30));
      p.drawEllipse(QPointF(10, 13.9), 1.9, 2.3);
      break;
    case Mouth::Grin:
      m.moveTo(5.2, 11.2);
      m.lineTo(14.8, 11.2);
      m.quadTo(14.6, 17.4, 10, 17.4);
      m.quadTo(5.4, 17.4, 5.2, 11.2);
      m.closeSubpath();
      p.setPen(QPen(kInk, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      p.setBrush(Qt::white);
      p.drawPath(m);
      p.setPen(QPen(QColor(200, 170, 120), 0.6));
      p.drawLine(QPointF(6, 13.4), QPointF(14, 13.4));
      break;
    case Mouth::Laugh: {
      m.moveTo(4.8, 11);
      m.lineTo(15.2, 11);
      m.quadTo(15, 18.2, 10, 18.2);
      m.quadTo(5, 18.2, 4.8, 11);
      m.closeSubpath();
      p.setPen(QPen(kInk, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      p.setBrush(QColor(190, 40, 40));
      p.drawPath(m);
      p.setPen(Qt::NoPen);
      p.setBrush(Qt::white);
      p.drawRect(QRectF(5.6, 11.5, 8.8, 1.6));
      p.setBrush(QColor(250, 110, 120));
      p.drawEllipse(QPointF(10, 16.4), 2.6, 1.3);
      break;
    }
    case Mouth::Tongue:
      m.moveTo(5.8, 12);
      m.quadTo(10, 15.8, 14.2, 12);
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(240, 80, 100));
      p.drawEllipse(QRectF(9.2, 12.6, 4.0, 5.0));
      p.setPen(QPen(QColor(190, 40, 60), 0.6));
      p.drawLine(QPointF(11.2, 13.8), QPointF(11.2, 16.0));
      p.setPen(inkPen(1.3));
      p.setBrush(Qt::NoBrush);
      p.drawPath(m);
      break;
    case Mouth::Kiss:
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(215, 30, 70));
      p.drawEllipse(QPointF(10, 13.0), 1.9, 1.3);
      p.drawEllipse(QPointF(10, 15.0), 1.9, 1.3);
      break;
    case Mouth::Smirk:
      m.moveTo(6.6, 13.4);
      m.quadTo(11, 15.2, 14.4, 11.6);
      p.drawPath(m);
      break;
    case Mouth::Wavy: {
      const QPointF w[] = {{5.6, 14.2}, {7.4, 12.8}, {9.1, 14.2}, {10.9, 12.8}, {12.6, 14.2}, {14.4, 12.8}};
      p.setPen(inkPen(1.1));
      p.drawPolyline(w, 6);
      break;
    }
    case Mouth::Square: {
      const QPointF s[] = {{6.2, 12.2}, {7, 14.6}, {13, 14.6}, {13.8, 12.2}};
      p.drawPolyline(s, 4);
      break;
    }
  }
}

void brows(QPainter& p, Brows kind) {
  p.setPen(inkPen(1.1));
  p.setBrush(Qt::NoBrush);
  switch (kind) {
    case Brows::Angry:
      p.drawLine(QPointF(4.8, 4.9), QPointF(8.6, 6.4));
      p.drawLine(QPointF(15.2, 4.9), QPointF(11.4, 6.4));
      break;
    case Brows::Worried:
      p.drawLine(QPointF(4.9, 6.2), QPointF(8.4, 4.8));
      p.drawLine(QPointF(15.1, 6.2), QPointF(11.6, 4.8));
      break;
    case Brows::RaisedRight: {
      p.drawLine(QPointF(5.2, 5.6), QPointF(8.6, 5.6));
      QPainterPath b;
      b.moveTo(11.2, 4.6);
      b.quadTo(13, 2.6, 15, 4.2);
      p.drawPath(b);
      break;
    }
    case Brows::Raised: {
      QPainterPath b;
      b.moveTo(5, 4.6);
      b.quadTo(7, 2.8, 8.8, 4.2);
      b.moveTo(11.2, 4.2);
      b.quadTo(13, 2.8, 15, 4.6);
      p.drawPath(b);
      break;
    }
  }
}

void blush(QPainter& p) {
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 120, 110, 170));
  p.drawEllipse(QPointF(4.9, 11.4), 1.9, 1.2);
  p.drawEllipse(QPointF(15.1, 11.4), 1.9, 1.2);
}

void drop(QPainter& p, const QPointF& top, double size, const QColor& colour) {
  QPainterPath d;
  d.moveTo(top);
  d.cubicTo(top.x() + size * 0.55, top.y() + size * 0.5, top.x() + size * 0.6, top.y() + size,
            top.x(), top.y() + size);
  d.cubicTo(top.x() - size * 0.6, top.y() + size, top.x() - size * 0.55, top.y() + size * 0.5,
            top.x(), top.y());
  p.setPen(QPen(colour.darker(140), 0.5));
  p.setBrush(colour);
  p.drawPath(d);
}

void heart(QPainter& p, const QPointF& c, double size, const QColor& colour) {
  const double s = size / 2;
  QPainterPath h;
  h.moveTo(c.x(), c.y() + 0.9 * s);
  h.cubicTo(c.x() - 1.25 * s, c.y() + 0.05 * s, c.x() - 0.95 * s, c.y() - 0.95 * s, c.x(), c.y() - 0.4 * s);
  h.cubicTo(c.x() + 0.95 * s, c.y() - 0.95 * s, c.x() + 1.25 * s, c.y() + 0.05 * s, c.x(), c.y() + 0.9 * s);
  QRadialGradient g(c.x() - 0.35 * s, c.y() - 0.4 * s, 1.3 * s);
  g.setColorAt(0.0, colour.lighter(145));
  g.setColorAt(0.6, colour);
  g.setColorAt(1.0, colour.darker(125));
  p.setPen(QPen(colour.darker(150), 0.7));
  p.setBrush(g);
  p.drawPath(h);
}

void star(QPainter& p, const QPointF& c, double r, const QColor& colour) {
  QPainterPath s;
  for (int i = 0; i < 10; ++i) {
    const double a = qDegreesToRadians(-90 + 36.0 * i);
    const double rad = (i % 2) ? r * 0.45 : r;
    const QPointF pt(c.x() + rad * std::cos(a), c.y() + rad * std::sin(a));
    if (i == 0) s.moveTo(pt); else s.lineTo(pt);
  }
  s.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  p.drawPath(s);
}

}  // namespace rysownik::face
