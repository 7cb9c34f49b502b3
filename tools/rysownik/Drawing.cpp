#include "Drawing.h"

#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <cstdio>

namespace rysownik {

QImage blackImage(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::black);
  return image;
}

void beginPainting(QPainter& p, QImage& image) {
  p.begin(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

void glossyOrb(QPainter& p, const QRectF& r, const QColor& base) {
  QRadialGradient g(r.left() + r.width() * 0.38, r.top() + r.height() * 0.34,
                    r.width() * 0.62);
  g.setColorAt(0.0, base.lighter(150));
  g.setColorAt(0.55, base);
  g.setColorAt(1.0, base.darker(135));
  p.setPen(QPen(base.darker(165), r.width() > 20 ? 1.2 : 0.9));
  p.setBrush(g);
  p.drawEllipse(r);

  // The highlight: a pale ellipse in the upper left quarter.
  QRectF h(r.left() + r.width() * 0.22, r.top() + r.height() * 0.12,
           r.width() * 0.42, r.height() * 0.30);
  QRadialGradient hg(h.center(), h.width() / 2);
  hg.setColorAt(0.0, QColor(255, 255, 255, 190));
  hg.setColorAt(1.0, QColor(255, 255, 255, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(hg);
  p.drawEllipse(h);
}

QImage strip(const std::vector<QImage>& pictures) {
  if (pictures.empty()) return QImage();
  const int w = pictures.front().width();
  const int h = pictures.front().height();
  QImage out = blackImage(w * static_cast<int>(pictures.size()), h);
  QPainter p(&out);
  for (size_t i = 0; i < pictures.size(); ++i)
    p.drawImage(static_cast<int>(i) * w, 0, pictures[i]);
  p.end();
  return out;
}

QImage enlarged(const QImage& image, int factor) {
  return image.scaled(image.width() * factor, image.height() * factor,
                      Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

QImage tinted(const QImage& image, const QColor& colour, double offset) {
  QImage out = image.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < out.height(); ++y) {
    for (int x = 0; x < out.width(); ++x) {
      const QRgb px = out.pixel(x, y);
      const double c = std::max({qRed(px), qGreen(px), qBlue(px)}) / 85.0 + offset;
      if (c > 1) continue;
      auto ch = [&](int own, int tint) { return std::max(static_cast<int>(std::lround((1 - c) * tint)), own); };
      out.setPixel(x, y, qRgb(ch(qRed(px), colour.red()), ch(qGreen(px), colour.green()),
                              ch(qBlue(px), colour.blue())));
    }
  }
  return out;
}

bool savePng(const QImage& image, const QString& path) {
  if (image.save(path, "PNG")) return true;
  std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
  return false;
}

bool saveBmp24(const QImage& image, const QString& path) {
  // Qt writes an RGB888 image as a plain 24-bit BMP without alpha.
  if (image.convertToFormat(QImage::Format_RGB888).save(path, "BMP")) return true;
  std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
  return false;
}

}  // namespace rysownik
