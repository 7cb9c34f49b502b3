#include "ui/SkinFonts.h"

#include <QFontDatabase>

namespace {

const char* const kSubstitute = "DejaVu Sans";

QFont pixelFont(const char* family, int pixels, QFont::StyleStrategy strategy = QFont::PreferAntialias) {
  QFont f(QString::fromLatin1(family));
  f.setPixelSize(pixels);
  f.setStyleStrategy(strategy);
  return f;
}

int pointsToPixels(int points) { return (points * 96 + 36) / 72; }

}  // namespace

void InstallFontSubstitutes() {
  for (const char* family : {"MS Sans Serif", "Small Fonts", "Tahoma", "Arial"})
    QFont::insertSubstitution(QString::fromLatin1(family), QString::fromLatin1(kSubstitute));
}

// "Small Fonts" 7 is a 9-pixel bitmap font on Windows; DejaVu Sans needs at
// least 9 pixels before "ą", "ę" and "ł" stay legible. Drawn without
// smoothing, as the bitmap font was: captions keep crisp one-pixel strokes.
QFont SmallFont() {
  static const QFont f = pixelFont("Small Fonts", 9, QFont::NoAntialias);
  return f;
}

// "MS Sans Serif" 8 has an 11-pixel em at 96 dpi; DejaVu Sans is wider, so it
// takes one pixel less to wrap like the original within fixed label widths.
QFont SansSerifFont() {
  static const QFont f = pixelFont("MS Sans Serif", 11);
  return f;
}

QFont TahomaFont(int points) { return pixelFont("Tahoma", pointsToPixels(points)); }

QFont ArialFont(int points) { return pixelFont("Arial", pointsToPixels(points)); }
