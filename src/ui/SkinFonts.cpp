#include "ui/SkinFonts.h"

#include <QFontDatabase>
#include <QGuiApplication>

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
// least 9 pixels before "ą", "ę" and "ł" stay legible. On a plain screen it
// is drawn without smoothing, as the bitmap font was, in crisp one-pixel
// strokes; on a zoomed one (18 pixels and more) smoothing reads better.
// Unsmoothed glyphs placed at fractional advances land a pixel early or late,
// so that letters touch here and gape there and a 2.9-pixel space can shrink
// to the gap between two letters ("zarazwracam"). Fully hinted, every
// advance is whole pixels (a space is 3), and without kerning no pair is
// pulled together: the bitmap font had neither.
QFont SmallFontAt(qreal devicePixelRatio) {
  QFont f = pixelFont("Small Fonts", 9, devicePixelRatio > 1.25 ? QFont::PreferAntialias : QFont::NoAntialias);
  f.setHintingPreference(QFont::PreferFullHinting);
  f.setKerning(false);
  return f;
}

QFont SmallFont() {
  static const QFont f = SmallFontAt(qGuiApp ? qGuiApp->devicePixelRatio() : 1.0);
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
