#include "Emoticons.h"

#include "Drawing.h"
#include "EmoticonSymbols.h"
#include "Face.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

namespace rysownik {
namespace {

using namespace face;
using namespace symbols;

// Draws a plain face with the given features: the common case.
QImage simple(Eyes e, Mouth m, double dx = 0, double dy = 0) {
  QImage img = canvas();
  QPainter p;
  beginPainting(p, img);
  head(p);
  eyes(p, e, dx, dy);
  mouth(p, m);
  p.end();
  return img;
}


// Shrinks the face by scale around (10, 10) and moves it by (mx, my), to make
// room for a hat, a halo or an object beside it.
void shrink(QPainter& p, double scale, double mx, double my) {
  p.translate(10 + mx, 10 + my);
  p.scale(scale, scale);
  p.translate(-10, -10);
}

QImage usmiech() { return simple(Eyes::Dots, Mouth::Smile); }
QImage mruga() { return simple(Eyes::Wink, Mouth::Smile); }
QImage zJezorem() { return simple(Eyes::Dots, Mouth::Tongue); }
QImage szczerzy() { return simple(Eyes::Dots, Mouth::Grin); }
QImage lol() { return simple(Eyes::Happy, Mouth::Laugh); }

QImage rotfl() {
  return paint([](QPainter& p) {
    // Rolling on the floor: the laughing face on its side, tears flying.
    p.save();
    p.translate(10, 10);
    p.rotate(-90);
    p.translate(-10, -10);
    head(p);
    eyes(p, Eyes::Happy);
    mouth(p, Mouth::Laugh);
    p.restore();
    drop(p, QPointF(2.2, 1.0), 3.6);
    drop(p, QPointF(2.2, 15.4), 3.6);
  });
}

QImage zly() {
  return paint([](QPainter& p) {
    head(p, QColor(250, 120, 50));
    brows(p, Brows::Angry);
    eyes(p, Eyes::Dots, 0, 0.6);
    mouth(p, Mouth::Frown);
  });
}

QImage smutny() { return simple(Eyes::Dots, Mouth::Frown); }
QImage kwasny() { return simple(Eyes::Dots, Mouth::Skew); }
QImage niewyrazny() { return simple(Eyes::Dots, Mouth::Flat); }
QImage ke() { return simple(Eyes::Wide, Mouth::Flat); }
QImage chytry() { return simple(Eyes::Half, Mouth::Smirk, 0.7); }

QImage diabelek() {
  return paint([](QPainter& p) {
    const QColor horn(200, 30, 30);
    p.setPen(QPen(horn.darker(140), 0.6));
    p.setBrush(horn);
    QPainterPath l, r;
    l.moveTo(3.2, 6.5);
    l.quadTo(1.2, 2.5, 2.6, 0.4);
    l.quadTo(4.4, 3.0, 7.2, 3.0);
    l.closeSubpath();
    r.moveTo(16.8, 6.5);
    r.quadTo(18.8, 2.5, 17.4, 0.4);
    r.quadTo(15.6, 3.0, 12.8, 3.0);
    r.closeSubpath();
    p.drawPath(l);
    p.drawPath(r);
    head(p, QColor(236, 70, 50));
    brows(p, Brows::Angry);
    eyes(p, Eyes::Dots, 0, 0.5);
    mouth(p, Mouth::Grin);
  });
}

QImage spadaj() {
  return paint([](QPainter& p) {
    head(p);
    brows(p, Brows::Angry);
    eyes(p, Eyes::Squeeze);
    mouth(p, Mouth::Tongue);
  });
}

QImage placze() {
  return paint([](QPainter& p) {
    head(p);
    brows(p, Brows::Worried);
    eyes(p, Eyes::Sleep);
    mouth(p, Mouth::Frown);
    drop(p, QPointF(6.0, 9.4), 4.2);
    drop(p, QPointF(14.0, 9.4), 4.2);
  });
}

QImage auu() {
  return paint([](QPainter& p) {
    head(p);
    eyes(p, Eyes::Squeeze);
    mouth(p, Mouth::O);
    // A plaster on the forehead.
    p.save();
    p.translate(13.6, 3.8);
    p.rotate(35);
    p.setPen(QPen(QColor(200, 160, 120), 0.5));
    p.setBrush(QColor(250, 226, 196));
    p.drawRoundedRect(QRectF(-3.6, -1.2, 7.2, 2.4), 1.1, 1.1);
    p.setBrush(QColor(235, 200, 160));
    p.drawRect(QRectF(-1.1, -1.2, 2.2, 2.4));
    p.restore();
  });
}

QImage chory() {
  return paint([](QPainter& p) {
    head(p, QColor(176, 214, 70));
    eyes(p, Eyes::Half);
    mouth(p, Mouth::Flat);
    // A thermometer out of the corner of the mouth.
    p.setPen(QPen(QColor(170, 170, 180), 0.5));
    p.setBrush(QColor(245, 245, 250));
    p.save();
    p.translate(12.5, 13.6);
    p.rotate(28);
    p.drawRoundedRect(QRectF(0, -0.9, 7, 1.8), 0.9, 0.9);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(230, 30, 30));
    p.drawEllipse(QPointF(6.6, 0), 1.3, 1.3);
    p.drawRect(QRectF(3, -0.35, 3.5, 0.7));
    p.restore();
  });
}

QImage aniolek() {
  return paint([](QPainter& p) {
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 244, 130), 1.5));
    p.drawEllipse(QPointF(10, 2.6), 5.4, 1.7);
    shrink(p, 0.86, 0, 1.4);
    head(p);
    eyes(p, Eyes::Happy);
    mouth(p, Mouth::Smile);
    blush(p);
  });
}

QImage bojeSie() {
  return paint([](QPainter& p) {
    head(p, QColor(215, 225, 150));
    brows(p, Brows::Worried);
    eyes(p, Eyes::Wide, 0, 0.5);
    mouth(p, Mouth::Wavy);
    drop(p, QPointF(16.3, 2.8), 4.0);
  });
}

QImage niemamnie() {
  return paint([](QPainter& p) {
    // Only the outline and faint features are left: nobody is here.
    QPen dashed(QColor(190, 196, 210), 1.3, Qt::CustomDashLine, Qt::FlatCap);
    dashed.setDashPattern({2.0, 1.6});
    p.setPen(dashed);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(10, 10), 8.2, 8.2);
    QPen faint(QColor(170, 176, 190), 1.1, Qt::SolidLine, Qt::RoundCap);
    p.setPen(faint);
    p.drawLine(QPointF(5.8, 8.2), QPointF(8.2, 8.2));
    p.drawLine(QPointF(11.8, 8.2), QPointF(14.2, 8.2));
    p.drawLine(QPointF(7.4, 13.6), QPointF(12.6, 13.6));
  });
}

QImage wstydnis() {
  return paint([](QPainter& p) {
    head(p);
    blush(p);
    brows(p, Brows::Worried);
    eyes(p, Eyes::Dots, 0, 1.0);
    mouth(p, Mouth::Wavy);
  });
}

QImage urwanieGlowy() {
  return paint([](QPainter& p) {
    head(p);
    eyes(p, Eyes::Spiral);
    mouth(p, Mouth::Wavy);
    drop(p, QPointF(3.0, 2.4), 3.4);
    drop(p, QPointF(17.0, 2.4), 3.4);
  });
}

// A "z" drawn as a line.
void letterZ(QPainter& p, double x, double y, double s) {
  const QPointF z[] = {{x, y}, {x + s, y}, {x, y + s}, {x + s, y + s}};
  p.setPen(QPen(QColor(140, 200, 255), s > 3 ? 1.2 : 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPolyline(z, 4);
}

QImage spiacy() {
  return paint([](QPainter& p) {
    p.save();
    shrink(p, 0.84, -1.4, 1.4);
    head(p);
    eyes(p, Eyes::Sleep);
    mouth(p, Mouth::O);
    p.restore();
    letterZ(p, 12.8, 5.0, 2.6);
    letterZ(p, 15.2, 1.2, 3.2);
  });
}

// A quaver.
void note(QPainter& p, double x, double y) {
  const QColor c(140, 200, 255);
  p.setPen(QPen(c, 1.0, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(x + 1.4, y + 5.6), QPointF(x + 1.4, y));
  QPainterPath flag;
  flag.moveTo(x + 1.4, y);
  flag.quadTo(x + 2.2, y + 1.8, x + 4.0, y + 2.4);
  p.setBrush(Qt::NoBrush);
  p.drawPath(flag);
  p.setPen(Qt::NoPen);
  p.setBrush(c);
  p.drawEllipse(QPointF(x, y + 6.0), 1.6, 1.2);
}

QImage gwizdze() {
  return paint([](QPainter& p) {
    p.save();
    shrink(p, 0.86, -1.4, 1.2);
    head(p);
    eyes(p, Eyes::Dots, -0.5, -0.8);
    p.setPen(QPen(kInk, 0.9));
    p.setBrush(QColor(176, 44, 30));
    p.drawEllipse(QPointF(12.2, 13.8), 1.3, 1.3);
    p.restore();
    note(p, 14.8, 0.8);
  });
}

QImage bokiem() { return simple(Eyes::Dots, Mouth::Square, 1.3); }

QImage coJest() {
  return paint([](QPainter& p) {
    head(p);
    brows(p, Brows::RaisedRight);
    eyes(p, Eyes::Dots);
    p.setPen(QPen(kInk, 0.9));
    p.setBrush(QColor(176, 44, 30));
    p.drawEllipse(QPointF(11.4, 14.0), 1.2, 1.5);
  });
}

QImage cwaniak() {
  return paint([](QPainter& p) {
    head(p);
    // Dark glasses with a glint.
    const QColor shade(60, 66, 110);
    p.setPen(QPen(shade, 0.8));
    p.setBrush(shade);
    QPainterPath l, r;
    l.addRoundedRect(QRectF(3.6, 6.4, 5.6, 3.6), 1.6, 1.6);
    r.addRoundedRect(QRectF(10.8, 6.4, 5.6, 3.6), 1.6, 1.6);
    p.drawPath(l);
    p.drawPath(r);
    p.drawLine(QPointF(2.0, 7.0), QPointF(18.0, 7.0));
    p.setPen(QPen(QColor(210, 220, 255), 0.8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(4.9, 7.6), QPointF(6.2, 7.6));
    p.drawLine(QPointF(12.1, 7.6), QPointF(13.4, 7.6));
    mouth(p, Mouth::Smirk);
  });
}

QImage wow() {
  return paint([](QPainter& p) {
    head(p);
    brows(p, Brows::Raised);
    eyes(p, Eyes::Dots);
    p.setPen(QPen(kInk, 0.9));
    p.setBrush(QColor(176, 44, 30));
    p.drawEllipse(QPointF(10, 14.0), 2.3, 2.8);
  });
}

QImage calus() {
  return paint([](QPainter& p) {
    p.save();
    shrink(p, 0.9, -0.9, 0.6);
    head(p);
    eyes(p, Eyes::Wink);
    mouth(p, Mouth::Kiss);
    blush(p);
    p.restore();
    heart(p, QPointF(16.6, 15.4), 5.2, QColor(235, 40, 70));
  });
}

QImage czarodziej() {
  return paint([](QPainter& p) {
    p.save();
    shrink(p, 0.8, 0, 2.0);
    head(p);
    eyes(p, Eyes::Dots);
    mouth(p, Mouth::Smile);
    p.restore();
    QPainterPath hat;
    hat.moveTo(3.0, 7.6);
    hat.lineTo(12.8, 0.2);
    hat.lineTo(16.6, 7.6);
    hat.closeSubpath();
    QLinearGradient g(4, 0, 16, 8);
    g.setColorAt(0, QColor(110, 130, 255));
    g.setColorAt(1, QColor(50, 60, 200));
    p.setPen(QPen(QColor(40, 40, 150), 0.6));
    p.setBrush(g);
    p.drawPath(hat);
    p.drawRoundedRect(QRectF(1.6, 6.6, 16.8, 2.4), 1.2, 1.2);
    star(p, QPointF(10.6, 4.6), 1.9, QColor(255, 230, 60));
  });
}

QImage killer() {
  return paint([](QPainter& p) {
    p.save();
    shrink(p, 0.86, -1.4, 1.4);
    head(p);
    brows(p, Brows::Angry);
    eyes(p, Eyes::Dots, 0, 0.6);
    mouth(p, Mouth::Grin);
    p.restore();
    // A knife, point up, at the right.
    p.save();
    p.translate(16.2, 11.6);
    p.rotate(16);
    QPainterPath blade;
    blade.moveTo(-1.4, 0);
    blade.lineTo(1.4, 0);
    blade.lineTo(1.4, -6.0);
    blade.quadTo(0.4, -9.4, -1.4, -10.6);
    blade.closeSubpath();
    QLinearGradient steel(-1.4, 0, 1.4, 0);
    steel.setColorAt(0, QColor(250, 252, 255));
    steel.setColorAt(1, QColor(150, 160, 175));
    p.setPen(QPen(QColor(110, 115, 130), 0.5));
    p.setBrush(steel);
    p.drawPath(blade);
    p.setBrush(QColor(170, 170, 180));
    p.drawRect(QRectF(-2.2, 0, 4.4, 1.1));
    p.setBrush(QColor(150, 90, 40));
    p.drawRoundedRect(QRectF(-1.1, 1.1, 2.2, 5.4), 0.8, 0.8);
    p.restore();
  });
}

QImage mikolaj() {
  return paint([](QPainter& p) {
    p.save();
    shrink(p, 0.84, 0, 1.4);
    head(p, QColor(255, 205, 170));
    eyes(p, Eyes::Dots);
    blush(p);
    p.restore();
    // A beard of white puffs around the chin.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(246, 246, 250));
    const QPointF puffs[] = {{4.6, 14.0}, {6.6, 16.8}, {10.0, 18.0}, {13.4, 16.8}, {15.4, 14.0}, {10.0, 15.6}};
    for (const QPointF& c : puffs) p.drawEllipse(c, 2.6, 2.4);
    p.setPen(QPen(QColor(170, 60, 40), 1.0, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath smile;
    smile.moveTo(8.4, 13.6);
    smile.quadTo(10, 14.8, 11.6, 13.6);
    p.drawPath(smile);
    // The red cap with its white trim and pompom.
    QPainterPath cap;
    cap.moveTo(3.2, 6.2);
    cap.quadTo(6.0, -0.6, 13.0, 1.0);
    cap.quadTo(16.6, 2.0, 17.6, 5.6);
    cap.lineTo(16.8, 6.2);
    cap.closeSubpath();
    p.setPen(QPen(QColor(150, 20, 20), 0.5));
    p.setBrush(QColor(220, 34, 34));
    p.drawPath(cap);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 250, 252));
    p.drawRoundedRect(QRectF(2.4, 5.2, 15.2, 2.6), 1.3, 1.3);
    p.drawEllipse(QPointF(17.4, 5.0), 1.8, 1.8);
  });
}

QImage okularnik() {
  return paint([](QPainter& p) {
    head(p);
    eyes(p, Eyes::Dots, 0, 0.3);
    const QColor frame(70, 80, 130);
    p.setPen(QPen(frame, 1.0));
    p.setBrush(QColor(255, 255, 255, 90));
    p.drawEllipse(QPointF(6.8, 8.3), 2.8, 2.8);
    p.drawEllipse(QPointF(13.2, 8.3), 2.8, 2.8);
    p.drawLine(QPointF(9.6, 8.0), QPointF(10.4, 8.0));
    p.drawLine(QPointF(1.8, 7.4), QPointF(4.0, 8.0));
    p.drawLine(QPointF(18.2, 7.4), QPointF(16.0, 8.0));
    mouth(p, Mouth::Smile);
  });
}

QImage pirat() {
  return paint([](QPainter& p) {
    head(p);
    eyes(p, Eyes::Dots);
    mouth(p, Mouth::Smirk);
    // A red scarf over the top of the head with white spots.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(210, 30, 30));
    p.drawChord(QRectF(1.4, 1.4, 17.2, 17.2), 28 * 16, 124 * 16);
    p.setBrush(QColor(250, 240, 240));
    for (const QPointF& c : {QPointF(6.4, 3.6), QPointF(10, 2.6), QPointF(13.6, 3.6)}) p.drawEllipse(c, 0.7, 0.7);
    // The eye patch and its band.
    const QColor patch(96, 96, 104);
    p.setPen(QPen(patch, 0.9));
    p.drawLine(QPointF(2.6, 6.4), QPointF(17.4, 10.4));
    p.setPen(Qt::NoPen);
    p.setBrush(patch);
    p.drawEllipse(QPointF(13.0, 8.4), 2.5, 2.3);
  });
}

QImage zorro() {
  return paint([](QPainter& p) {
    head(p);
    // The mask: a dark band with eye holes.
    QPainterPath mask;
    mask.moveTo(1.6, 7.0);
    mask.quadTo(10, 4.4, 18.4, 7.0);
    mask.lineTo(18.0, 10.4);
    mask.quadTo(10, 8.8, 2.0, 10.4);
    mask.closeSubpath();
    QPainterPath holes;
    holes.addEllipse(QPointF(6.9, 8.0), 1.9, 1.3);
    holes.addEllipse(QPointF(13.1, 8.0), 1.9, 1.3);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(64, 64, 100));
    p.drawPath(mask.subtracted(holes));
    p.setBrush(QColor(250, 250, 250));
    p.drawEllipse(QPointF(6.9, 8.0), 1.5, 0.9);
    p.drawEllipse(QPointF(13.1, 8.0), 1.5, 0.9);
    p.setBrush(kInk);
    p.drawEllipse(QPointF(7.2, 8.0), 0.7, 0.7);
    p.drawEllipse(QPointF(13.4, 8.0), 0.7, 0.7);
    mouth(p, Mouth::Smirk);
  });
}

}  // namespace

const std::vector<Emoticon>& emoticons() {
  static const std::vector<Emoticon> table = {
      {"usmiech", usmiech},       {"mruga", mruga},
      {"z jezorem", zJezorem},    {"szczerzy", szczerzy},
      {"lol", lol},               {"rotfl", rotfl},
      {"zly", zly},               {"smutny", smutny},
      {"kwasny", kwasny},         {"niewyrazny", niewyrazny},
      {"ke", ke},                 {"chytry", chytry},
      {"diabelek", diabelek},     {"wykrzyknik", wykrzyknik},
      {"pytajnik", pytajnik},     {"spadaj", spadaj},
      {"placze", placze},         {"auu", auu},
      {"chory", chory},           {"aniolek", aniolek},
      {"boje sie", bojeSie},      {"niemamnie", niemamnie},
      {"wstydnis", wstydnis},     {"urwanie glowy", urwanieGlowy},
      {"spiacy", spiacy},         {"gwizdze", gwizdze},
      {"bokiem", bokiem},         {"co jest", coJest},
      {"cwaniak", cwaniak},       {"wow", wow},
      {"calus", calus},           {"serce", serce},
      {"serduszka", serduszka},   {"kwiatek", kwiatek},
      {"alien", alien},           {"czarodziej", czarodziej},
      {"killer", killer},         {"mikolaj", mikolaj},
      {"okularnik", okularnik},   {"pirat", pirat},
      {"zorro", zorro},           {"koniczynka", koniczynka},
      {"kot", kot},               {"stop", stop},
      {"strzalka", strzalka},
  };
  return table;
}

}  // namespace rysownik
