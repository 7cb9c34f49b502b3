#include "EmoticonSymbols.h"

#include "Face.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

namespace rysownik::symbols {

using namespace face;

QImage wykrzyknik() {
  return paint([](QPainter& p) {
    QLinearGradient g(7, 0, 13, 0);
    g.setColorAt(0, QColor(255, 110, 90));
    g.setColorAt(1, QColor(200, 20, 20));
    p.setPen(QPen(QColor(150, 10, 10), 0.7));
    p.setBrush(g);
    QPainterPath bar;
    bar.moveTo(7.4, 2.6);
    bar.quadTo(10, 0.8, 12.6, 2.6);
    bar.lineTo(11, 13.2);
    bar.lineTo(9, 13.2);
    bar.closeSubpath();
    p.drawPath(bar);
    p.drawEllipse(QPointF(10, 16.6), 2.1, 2.1);
  });
}

QImage pytajnik() {
  return paint([](QPainter& p) {
    QPainterPath q;
    q.moveTo(6.0, 6.6);
    q.cubicTo(6.0, 2.0, 14.0, 2.0, 14.0, 6.4);
    q.cubicTo(14.0, 9.2, 10.0, 9.4, 10.0, 12.6);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(30, 90, 200), 4.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(q);
    p.setPen(QPen(QColor(90, 170, 255), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(q);
    p.setPen(QPen(QColor(30, 90, 200), 0.7));
    p.setBrush(QColor(90, 170, 255));
    p.drawEllipse(QPointF(10, 16.6), 2.0, 2.0);
  });
}

QImage serce() {
  return paint([](QPainter& p) { heart(p, QPointF(10, 10.4), 17.5, QColor(228, 30, 50)); });
}

QImage serduszka() {
  return paint([](QPainter& p) {
    heart(p, QPointF(6.6, 7.4), 11, QColor(255, 110, 170));
    heart(p, QPointF(13.0, 12.8), 12.5, QColor(228, 30, 50));
  });
}

QImage kwiatek() {
  return paint([](QPainter& p) {
    p.setPen(QPen(QColor(70, 170, 50), 1.4, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath stem;
    stem.moveTo(10, 10);
    stem.quadTo(9, 15, 10.4, 19.4);
    p.drawPath(stem);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(90, 200, 60));
    p.save();
    p.translate(10.2, 15.4);
    p.rotate(-35);
    p.drawEllipse(QRectF(0, -1.2, 5, 2.4));
    p.restore();
    for (int i = 0; i < 5; ++i) {
      p.save();
      p.translate(10, 7.4);
      p.rotate(i * 72);
      QRadialGradient g(0, -3.6, 3.4);
      g.setColorAt(0, QColor(255, 200, 230));
      g.setColorAt(1, QColor(240, 90, 160));
      p.setPen(QPen(QColor(200, 60, 130), 0.5));
      p.setBrush(g);
      p.drawEllipse(QRectF(-2.3, -6.6, 4.6, 5.4));
      p.restore();
    }
    p.setPen(QPen(QColor(210, 140, 0), 0.5));
    p.setBrush(QColor(255, 214, 40));
    p.drawEllipse(QPointF(10, 7.4), 2.1, 2.1);
  });
}

QImage alien() {
  return paint([](QPainter& p) {
    QPainterPath h;
    h.moveTo(10, 19.2);
    h.cubicTo(4.6, 18.6, 1.2, 10.0, 2.2, 6.6);
    h.cubicTo(3.4, 1.6, 16.6, 1.6, 17.8, 6.6);
    h.cubicTo(18.8, 10.0, 15.4, 18.6, 10, 19.2);
    QRadialGradient g(7.6, 5.6, 13);
    g.setColorAt(0.0, QColor(190, 250, 160));
    g.setColorAt(0.5, QColor(110, 210, 80));
    g.setColorAt(1.0, QColor(60, 150, 40));
    p.setPen(QPen(QColor(40, 120, 30), 0.8));
    p.setBrush(g);
    p.drawPath(h);
    const QColor eye(50, 56, 110);
    p.setPen(Qt::NoPen);
    p.setBrush(eye);
    for (int side : {-1, 1}) {
      p.save();
      p.translate(10 + side * 3.6, 9.6);
      p.rotate(side * 30);
      p.drawEllipse(QRectF(-2.0, -3.0, 4.0, 6.0));
      p.setBrush(QColor(220, 230, 255));
      p.drawEllipse(QPointF(-0.6, -1.4), 0.7, 0.7);
      p.setBrush(eye);
      p.restore();
    }
    p.setPen(QPen(QColor(40, 120, 30), 0.9, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8.8, 15.6), QPointF(11.2, 15.6));
  });
}

QImage koniczynka() {
  return paint([](QPainter& p) {
    p.setPen(QPen(QColor(60, 150, 40), 1.3, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath stem;
    stem.moveTo(10, 9);
    stem.quadTo(12, 15, 15.4, 19);
    p.drawPath(stem);
    for (int i = 0; i < 4; ++i) {
      p.save();
      p.translate(9.6, 8.6);
      p.rotate(45 + i * 90);
      // Each leaf is a heart whose point meets the middle.
      heart(p, QPointF(0, -4.0), 8.4, QColor(70, 196, 60));
      p.restore();
    }
  });
}

QImage kot() {
  return paint([](QPainter& p) {
    const QColor fur(240, 150, 50);
    p.setPen(QPen(fur.darker(150), 0.7));
    p.setBrush(fur);
    const QPointF el[] = {{2.2, 9.0}, {3.0, 1.2}, {8.4, 5.0}};
    const QPointF er[] = {{17.8, 9.0}, {17.0, 1.2}, {11.6, 5.0}};
    p.drawPolygon(el, 3);
    p.drawPolygon(er, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 160, 170));
    const QPointF il[] = {{3.7, 7.6}, {4.0, 3.4}, {6.8, 5.4}};
    const QPointF ir[] = {{16.3, 7.6}, {16.0, 3.4}, {13.2, 5.4}};
    p.drawPolygon(il, 3);
    p.drawPolygon(ir, 3);
    QRadialGradient g(8, 8, 11);
    g.setColorAt(0, fur.lighter(130));
    g.setColorAt(1, fur.darker(115));
    p.setPen(QPen(fur.darker(150), 0.7));
    p.setBrush(g);
    p.drawEllipse(QRectF(1.8, 4.2, 16.4, 14.6));
    // Green eyes with slit pupils.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(140, 225, 70));
    p.drawEllipse(QPointF(6.8, 10.0), 1.8, 1.6);
    p.drawEllipse(QPointF(13.2, 10.0), 1.8, 1.6);
    p.setBrush(kInk);
    p.drawEllipse(QPointF(6.8, 10.0), 0.5, 1.5);
    p.drawEllipse(QPointF(13.2, 10.0), 0.5, 1.5);
    p.setBrush(QColor(255, 130, 150));
    const QPointF nose[] = {{9.0, 12.6}, {11.0, 12.6}, {10.0, 13.8}};
    p.drawPolygon(nose, 3);
    p.setPen(QPen(kInk, 0.8, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    const QPointF m[] = {{8.4, 15.0}, {10.0, 14.2}, {11.6, 15.0}};
    p.drawLine(QPointF(10.0, 13.8), QPointF(10.0, 14.4));
    p.drawPolyline(m, 3);
    p.setPen(QPen(QColor(250, 246, 230), 0.6));
    p.drawLine(QPointF(7.6, 14.2), QPointF(0.6, 13.0));
    p.drawLine(QPointF(7.6, 15.0), QPointF(0.8, 16.2));
    p.drawLine(QPointF(12.4, 14.2), QPointF(19.4, 13.0));
    p.drawLine(QPointF(12.4, 15.0), QPointF(19.2, 16.2));
  });
}

QImage stop() {
  return paint([](QPainter& p) {
    auto octagon = [](double r) {
      QPolygonF o;
      for (int i = 0; i < 8; ++i) {
        const double a = qDegreesToRadians(22.5 + 45.0 * i);
        o << QPointF(10 + r * std::cos(a), 10 + r * std::sin(a));
      }
      return o;
    };
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(245, 245, 245));
    p.drawPolygon(octagon(9.6));
    QRadialGradient g(8, 7, 11);
    g.setColorAt(0, QColor(250, 80, 70));
    g.setColorAt(1, QColor(190, 16, 16));
    p.setBrush(g);
    p.drawPolygon(octagon(8.2));
    p.setBrush(QColor(250, 250, 250));
    p.drawRoundedRect(QRectF(4.4, 8.4, 11.2, 3.2), 0.8, 0.8);
  });
}

QImage strzalka() {
  return paint([](QPainter& p) {
    const QPointF a[] = {{2.0, 7.2}, {10.0, 7.2}, {10.0, 2.8}, {18.4, 10.0},
                         {10.0, 17.2}, {10.0, 12.8}, {2.0, 12.8}};
    QLinearGradient g(0, 3, 0, 17);
    g.setColorAt(0, QColor(150, 240, 110));
    g.setColorAt(1, QColor(40, 160, 40));
    p.setPen(QPen(QColor(30, 120, 30), 0.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(g);
    p.drawPolygon(a, 7);
  });
}

}  // namespace rysownik::symbols
