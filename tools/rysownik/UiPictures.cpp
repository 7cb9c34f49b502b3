#include "UiPictures.h"

#include "Drawing.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

namespace rysownik {
namespace {

const QColor kRed(214, 48, 40);
const QColor kGreen(60, 196, 60);
const QColor kAmber(240, 162, 18);
const QColor kMarkBlue(70, 160, 255);
const QColor kGlyph(214, 224, 240);  // the light grey-blue of plain glyphs

// Status index -> the colour of its ball; 6 (blocked) is drawn differently.
QColor statusColour(int index) {
  if (index >= 4) return kAmber;
  if (index >= 2) return kGreen;
  return kRed;
}

// "With description": a small blue dot with a white centre in the lower
// right, cut out of the ball by a black ring so it reads at 16 pixels.
void smallDescriptionMark(QPainter& p) {
  const QPointF c(12.3, 12.3);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::black);
  p.drawEllipse(c, 4.3, 4.3);
  QRadialGradient g(c.x() - 1, c.y() - 1, 3.6);
  g.setColorAt(0.0, QColor(200, 230, 255));
  g.setColorAt(1.0, kMarkBlue);
  p.setBrush(g);
  p.drawEllipse(c, 3.1, 3.1);
  p.setBrush(Qt::white);
  p.drawEllipse(c, 1.0, 1.0);
}

// The blocked sign: a bold cross, which also serves as every window's close
// button.
void cross(QPainter& p, double size, double inset, double width) {
  QPen pen(QColor(236, 78, 66), width, Qt::SolidLine, Qt::RoundCap);
  p.setPen(pen);
  p.drawLine(QPointF(inset, inset), QPointF(size - inset, size - inset));
  p.drawLine(QPointF(size - inset, inset), QPointF(inset, size - inset));
  QPen light(QColor(255, 190, 180), width * 0.28, Qt::SolidLine, Qt::RoundCap);
  p.setPen(light);
  const double d = width * 0.14;
  p.drawLine(QPointF(inset - d, inset + d), QPointF(size * 0.5 - d, size * 0.5 + d));
  p.drawLine(QPointF(size - inset - d, inset - d), QPointF(size * 0.5 + 0.5, size * 0.5 - 0.5 - d));
}

QImage smallStatus(int index) {
  QImage img = blackImage(16, 16);
  QPainter p;
  beginPainting(p, img);
  if (index == 6) {
    cross(p, 16, 3.5, 3.2);
  } else {
    glossyOrb(p, QRectF(1.5, 1.5, 13, 13), statusColour(index));
    if (index & 1) smallDescriptionMark(p);
  }
  p.end();
  return img;
}

QImage minimise() {
  QImage img = blackImage(16, 16);
  QPainter p;
  beginPainting(p, img);
  p.setPen(QPen(kGlyph, 2.6, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(4, 11.5), QPointF(12, 11.5));
  p.end();
  return img;
}

QImage windowSize() {
  QImage img = blackImage(16, 16);
  QPainter p;
  beginPainting(p, img);
  p.setPen(QPen(kGlyph, 1.2));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(2.5, 2.5, 11, 11));
  p.setPen(Qt::NoPen);
  p.setBrush(kGlyph);
  p.drawRect(QRectF(2.5, 2.5, 11, 2.5));
  // The resize grip in the corner.
  QPainterPath grip;
  grip.moveTo(13.5, 7.5);
  grip.lineTo(13.5, 13.5);
  grip.lineTo(7.5, 13.5);
  grip.closeSubpath();
  p.setBrush(QColor(120, 180, 255));
  p.drawPath(grip);
  p.end();
  return img;
}

QImage plusMinus(bool plus) {
  QImage img = blackImage(16, 16);
  QPainter p;
  beginPainting(p, img);
  const QColor c = plus ? QColor(110, 220, 90) : QColor(238, 92, 80);
  p.setPen(QPen(c, 3.0, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(3.5, 8), QPointF(12.5, 8));
  if (plus) p.drawLine(QPointF(8, 3.5), QPointF(8, 12.5));
  p.end();
  return img;
}

QImage pencil() {
  QImage img = blackImage(16, 16);
  QPainter p;
  beginPainting(p, img);
  p.translate(8, 8);
  p.rotate(-45);
  // Drawn lying along x, tip to the left, then turned to point down-left.
  p.setPen(Qt::NoPen);
  QPainterPath tip;
  tip.moveTo(-7.5, 0);
  tip.lineTo(-3.5, -2.2);
  tip.lineTo(-3.5, 2.2);
  tip.closeSubpath();
  p.setBrush(QColor(240, 212, 160));
  p.drawPath(tip);
  QPainterPath lead;
  lead.moveTo(-7.5, 0);
  lead.lineTo(-5.9, -0.9);
  lead.lineTo(-5.9, 0.9);
  lead.closeSubpath();
  p.setBrush(QColor(140, 140, 150));
  p.drawPath(lead);
  QLinearGradient body(0, -2.2, 0, 2.2);
  body.setColorAt(0, QColor(255, 226, 90));
  body.setColorAt(1, QColor(220, 160, 20));
  p.setBrush(body);
  p.drawRect(QRectF(-3.5, -2.2, 7.5, 4.4));
  p.setBrush(QColor(190, 196, 206));
  p.drawRect(QRectF(4.0, -2.2, 1.5, 4.4));
  p.setBrush(QColor(240, 130, 150));
  p.drawRoundedRect(QRectF(5.5, -2.2, 2.4, 4.4), 1, 1);
  p.end();
  return img;
}

// A white "i" of two shapes, independent of any installed font.
void letterI(QPainter& p, const QPointF& c, double h, const QColor& colour) {
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  const double w = h * 0.2;
  p.drawEllipse(QPointF(c.x(), c.y() - h * 0.38), w * 0.62, w * 0.62);
  p.drawRoundedRect(QRectF(c.x() - w / 2, c.y() - h * 0.16, w, h * 0.62), w * 0.3, w * 0.3);
}

QImage about() {
  QImage img = blackImage(16, 16);
  QPainter p;
  beginPainting(p, img);
  glossyOrb(p, QRectF(1.5, 1.5, 13, 13), QColor(60, 120, 230));
  letterI(p, QPointF(8, 8.2), 9.5, Qt::white);
  p.end();
  return img;
}

QImage arrow(bool up) {
  QImage img = blackImage(16, 16);
  QPainter p;
  beginPainting(p, img);
  QPainterPath tri;
  const double y0 = up ? 4.0 : 12.0;
  const double y1 = up ? 11.5 : 4.5;
  tri.moveTo(8, y0);
  tri.lineTo(14, y1);
  tri.lineTo(2, y1);
  tri.closeSubpath();
  QLinearGradient g(0, 4, 0, 12);
  g.setColorAt(0, QColor(235, 242, 255));
  g.setColorAt(1, QColor(130, 170, 235));
  p.setPen(QPen(QColor(110, 150, 220), 0.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(g);
  p.drawPath(tri);
  p.end();
  return img;
}

// A door with a knob and two sound arcs beside it.
QImage knock() {
  QImage img = blackImage(16, 16);
  QPainter p;
  beginPainting(p, img);
  QLinearGradient wood(2, 0, 9, 0);
  wood.setColorAt(0, QColor(200, 134, 64));
  wood.setColorAt(1, QColor(156, 96, 40));
  p.setPen(QPen(QColor(120, 72, 30), 0.8));
  p.setBrush(wood);
  p.drawRect(QRectF(1.5, 2, 7, 12.5));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 220, 80));
  p.drawEllipse(QPointF(6.8, 8.6), 0.9, 0.9);
  p.setPen(QPen(QColor(170, 210, 255), 1.1, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(7.5, 6, 4, 5), -55 * 16, 110 * 16);
  p.drawArc(QRectF(7.5, 4, 7, 9), -55 * 16, 110 * 16);
  p.end();
  return img;
}

// A speech bubble with two text lines, the "with description" mark of the
// large pictures.
void bubble(QPainter& p, const QRectF& r) {
  QPainterPath b;
  b.addRoundedRect(r, 3, 3);
  QPainterPath tail;
  tail.moveTo(r.left() + 2.5, r.bottom() - 1);
  tail.lineTo(r.left() + 0.5, r.bottom() + 2.4);
  tail.lineTo(r.left() + 5.5, r.bottom() - 1);
  tail.closeSubpath();
  b = b.united(tail);
  p.setPen(QPen(Qt::black, 2.2));
  p.setBrush(Qt::NoBrush);
  p.drawPath(b);
  p.setPen(QPen(QColor(50, 120, 220), 0.9));
  p.setBrush(QColor(246, 250, 255));
  p.drawPath(b);
  p.setPen(QPen(kMarkBlue, 1.3, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(r.left() + 3, r.top() + 3.3), QPointF(r.right() - 3, r.top() + 3.3));
  p.drawLine(QPointF(r.left() + 3, r.top() + 6.3), QPointF(r.right() - 5, r.top() + 6.3));
}

QImage largeStatus(int index) {
  QImage img = blackImage(32, 32);
  QPainter p;
  beginPainting(p, img);
  const bool described = index & 1;
  const QRectF ball = described ? QRectF(2, 1.5, 23, 23) : QRectF(3, 3, 26, 26);
  glossyOrb(p, ball, statusColour(index));
  if (index >= 4) {
    // Busy: a white bar across the ball, like a no-entry sign.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 248, 230));
    const QPointF c = ball.center();
    p.drawRoundedRect(QRectF(c.x() - ball.width() * 0.3, c.y() - 1.8, ball.width() * 0.6, 3.6), 1.5, 1.5);
  } else if (index >= 2) {
    // Available: a white tick.
    QPainterPath tick;
    const QPointF c = ball.center();
    const double s = ball.width() / 26.0;
    tick.moveTo(c.x() - 6 * s, c.y() + 0.5 * s);
    tick.lineTo(c.x() - 1.8 * s, c.y() + 4.6 * s);
    tick.lineTo(c.x() + 6.5 * s, c.y() - 4.5 * s);
    p.setPen(QPen(QColor(250, 255, 245), 3.0 * s, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(tick);
  } else {
    // Not available: a white ring, the "off" sign.
    const QPointF c = ball.center();
    const double r = ball.width() * 0.23;
    p.setPen(QPen(QColor(255, 235, 230), ball.width() * 0.1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, r, r);
  }
  if (described) bubble(p, QRectF(17.5, 17.5, 13, 9.5));
  p.end();
  return img;
}

QPainterPath gearPath(const QPointF& c, double outer, double inner, double hole,
                      int teeth, double phaseDeg) {
  QPainterPath g;
  const int n = teeth * 4;
  for (int i = 0; i < n; ++i) {
    // Each tooth: two points on the outer radius, two on the inner one.
    const double a = qDegreesToRadians(phaseDeg + 360.0 * i / n);
    const double r = (i % 4 == 0 || i % 4 == 1) ? outer : inner;
    const QPointF pt(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
    if (i == 0) g.moveTo(pt); else g.lineTo(pt);
  }
  g.closeSubpath();
  g.addEllipse(c, hole, hole);
  g.setFillRule(Qt::OddEvenFill);
  return g;
}

void gear(QPainter& p, const QPointF& c, double outer, int teeth, double phase) {
  QPainterPath path = gearPath(c, outer, outer * 0.74, outer * 0.3, teeth, phase);
  QLinearGradient steel(c.x() - outer, c.y() - outer, c.x() + outer, c.y() + outer);
  steel.setColorAt(0, QColor(236, 240, 248));
  steel.setColorAt(1, QColor(128, 136, 156));
  p.setPen(QPen(QColor(100, 108, 128), 0.7));
  p.setBrush(steel);
  p.drawPath(path);
}

QImage settings() {
  QImage img = blackImage(32, 32);
  QPainter p;
  beginPainting(p, img);
  gear(p, QPointF(8, 10), 7.4, 8, 0);
  gear(p, QPointF(8.5, 22.8), 5.6, 7, 12);
  p.end();
  return img;
}

// The emoticon picker's button, 20 pixels square: a smiling face in the top
// left of its 32-pixel place.
QImage emoticonButton() {
  QImage img = blackImage(32, 32);
  QPainter p;
  beginPainting(p, img);
  glossyOrb(p, QRectF(1.5, 1.5, 17, 17), QColor(246, 196, 32));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(70, 44, 10));
  p.drawEllipse(QPointF(7.2, 8.0), 1.3, 1.7);
  p.drawEllipse(QPointF(12.8, 8.0), 1.3, 1.7);
  QPainterPath smile;
  smile.moveTo(5.6, 11.4);
  smile.quadTo(10, 16.2, 14.4, 11.4);
  p.setPen(QPen(QColor(70, 44, 10), 1.5, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  p.drawPath(smile);
  p.end();
  return img;
}

// The resting tray icon: a green ball with a white whirl.
void whirlBall(QPainter& p, const QRectF& r) {
  glossyOrb(p, r, QColor(44, 176, 70));
  const QPointF c = r.center();
  QPainterPath s;
  const double k = r.width() / 22.0;
  for (int i = 0; i <= 60; ++i) {
    const double t = i / 60.0;
    const double a = qDegreesToRadians(-90 + 540 * t);
    const double rad = (1.0 + 6.6 * t) * k;
    const QPointF pt(c.x() + rad * std::cos(a), c.y() + rad * std::sin(a));
    if (i == 0) s.moveTo(pt); else s.lineTo(pt);
  }
  p.setPen(QPen(QColor(245, 255, 245), 1.8 * k, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPath(s);
}

void envelope(QPainter& p, const QRectF& r, const QColor& paper, const QColor& edge) {
  p.setPen(QPen(edge, 1.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
  p.setBrush(paper);
  p.drawRect(r);
  QPainterPath flap;
  flap.moveTo(r.topLeft());
  flap.lineTo(r.center().x(), r.top() + r.height() * 0.58);
  flap.lineTo(r.topRight());
  p.setBrush(Qt::NoBrush);
  p.drawPath(flap);
}

}  // namespace

std::vector<QImage> smallList() {
  std::vector<QImage> list;
  for (int i = 0; i <= 6; ++i) list.push_back(smallStatus(i));
  list.push_back(minimise());
  list.push_back(windowSize());
  list.push_back(plusMinus(true));
  list.push_back(plusMinus(false));
  list.push_back(pencil());
  list.push_back(about());
  list.push_back(arrow(true));
  list.push_back(arrow(false));
  list.push_back(knock());
  return list;
}

std::vector<QImage> largeList() {
  std::vector<QImage> list;
  for (int i = 0; i <= 5; ++i) list.push_back(largeStatus(i));
  list.push_back(settings());
  list.push_back(emoticonButton());
  return list;
}

// The tray shows its icon on the desktop's panel, whatever its colour: the
// frames are drawn on a transparent ground, not on black.
QImage clearImage(int width, int height) {
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  return image;
}

std::vector<QImage> trayFrames() {
  std::vector<QImage> frames;
  QPainter p;

  QImage rest = clearImage(22, 22);
  beginPainting(p, rest);
  whirlBall(p, QRectF(1.5, 1.5, 19, 19));
  p.end();
  frames.push_back(rest);

  // Then the whirl with a letter in front, a bright letter, a glowing one.
  QImage badge = rest.copy();
  beginPainting(p, badge);
  p.setCompositionMode(QPainter::CompositionMode_Clear);
  p.fillRect(QRectF(9, 11, 13, 11), Qt::transparent);
  p.setCompositionMode(QPainter::CompositionMode_SourceOver);
  envelope(p, QRectF(10.5, 12.5, 10, 7.5), QColor(255, 246, 210), QColor(190, 140, 40));
  p.end();
  frames.push_back(badge);

  QImage letter = clearImage(22, 22);
  beginPainting(p, letter);
  envelope(p, QRectF(2.5, 5.5, 17, 11.5), QColor(255, 246, 210), QColor(190, 140, 40));
  p.end();
  frames.push_back(letter);

  QImage glow = clearImage(22, 22);
  beginPainting(p, glow);
  QRadialGradient halo(11, 11, 11);
  halo.setColorAt(0.0, QColor(255, 220, 90));
  halo.setColorAt(0.6, QColor(200, 140, 20, 200));
  halo.setColorAt(1.0, QColor(200, 140, 20, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(halo);
  p.drawEllipse(QRectF(0, 0, 22, 22));
  envelope(p, QRectF(2.5, 5.5, 17, 11.5), QColor(255, 255, 240), QColor(150, 100, 10));
  p.end();
  frames.push_back(glow);

  return frames;
}

namespace {

// The logo over whatever ground the image already has, drawn on a 96 x 96
// square scaled to the image.
QImage logoOn(QImage img) {
  QPainter p;
  beginPainting(p, img);
  p.scale(img.width() / 96.0, img.height() / 96.0);
  whirlBall(p, QRectF(4, 4, 74, 74));
  // A speech bubble over its lower right: a conversation.
  const QRectF b(50, 56, 42, 30);
  QPainterPath bubble;
  bubble.addRoundedRect(b, 8, 8);
  QPainterPath tail;
  tail.moveTo(b.left() + 8, b.bottom() - 2);
  tail.lineTo(b.left() + 2, b.bottom() + 8);
  tail.lineTo(b.left() + 18, b.bottom() - 2);
  tail.closeSubpath();
  bubble = bubble.united(tail);
  p.setPen(QPen(Qt::black, 4));
  p.setBrush(Qt::NoBrush);
  p.drawPath(bubble);
  QLinearGradient paper(0, b.top(), 0, b.bottom());
  paper.setColorAt(0, QColor(255, 255, 255));
  paper.setColorAt(1, QColor(210, 226, 250));
  p.setPen(QPen(QColor(50, 120, 220), 1.6));
  p.setBrush(paper);
  p.drawPath(bubble);
  p.setPen(QPen(kMarkBlue, 3.0, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(b.left() + 9, b.top() + 10), QPointF(b.right() - 9, b.top() + 10));
  p.drawLine(QPointF(b.left() + 9, b.top() + 19), QPointF(b.right() - 16, b.top() + 19));
  p.end();
  return img;
}

}  // namespace

QImage logo() { return logoOn(blackImage(96, 96)); }

// The desktop's menus and panels show it on their own colours.
QImage appIcon(int size) { return logoOn(clearImage(size, size)); }

}  // namespace rysownik
