#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPointF>

// Parts of the emoticon faces. All coordinates are in the 20 x 20 picture:
// the head is a ball of radius 8.6 around (10, 10); a picture that needs room
// for a hat or a halo shrinks and moves the painter before drawing the face.
namespace rysownik::face {

constexpr int kSize = 20;

extern const QColor kSkin;  // the yellow of a plain face
extern const QColor kInk;   // eyes, brows and mouths; light enough to survive the tint

enum class Eyes { Dots, Happy, Wink, Wide, Squeeze, Sleep, Half, Spiral };
enum class Mouth { Smile, Frown, Flat, Skew, O, Grin, Laugh, Tongue, Kiss, Smirk, Wavy, Square };
enum class Brows { Angry, Worried, RaisedRight, Raised };

QImage canvas();

// Runs body on a fresh antialiased picture.
template <typename F>
QImage paint(F body) {
  QImage img = canvas();
  QPainter p;
  p.begin(&img);
  p.setRenderHint(QPainter::Antialiasing, true);
  body(p);
  p.end();
  return img;
}


void head(QPainter& p, const QColor& base = kSkin);
// dx, dy move the pupils (looking aside, down).
void eyes(QPainter& p, Eyes kind, double dx = 0, double dy = 0);
void mouth(QPainter& p, Mouth kind);
void brows(QPainter& p, Brows kind);
void blush(QPainter& p);
// A drop of water hanging from top.
void drop(QPainter& p, const QPointF& top, double size, const QColor& colour = QColor(90, 170, 255));
void heart(QPainter& p, const QPointF& centre, double size, const QColor& colour);
// A five-pointed star.
void star(QPainter& p, const QPointF& centre, double radius, const QColor& colour);

}  // namespace rysownik::face
