#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QString>
#include <vector>

// Shared brushes of the generator. Every picture starts on a black ground:
// the program's tint turns black into the window colour and keeps pixels whose
// largest channel is 85 or more, so nothing meant to be seen may be darker.
namespace rysownik {

QImage blackImage(int width, int height);

// An antialiased painter over the image.
void beginPainting(QPainter& p, QImage& image);

// A shaded ball: light from the upper left, a rim a little darker than the
// base colour and a soft highlight.
void glossyOrb(QPainter& p, const QRectF& r, const QColor& base);

// Pictures side by side, each starting at i * its width.
QImage strip(const std::vector<QImage>& pictures);

// Pixels of the image, 8 times larger, for looking at small icons.
QImage enlarged(const QImage& image, int factor = 8);

// What the program shows: black turned to colour, dark pixels taking a
// share of it, pixels with a channel of 85 or more kept.
QImage tinted(const QImage& image, const QColor& colour, double offset = 0);

// Saves or reports the failure on stderr; returns success.
bool savePng(const QImage& image, const QString& path);
bool saveBmp24(const QImage& image, const QString& path);

}  // namespace rysownik
