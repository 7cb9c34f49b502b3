#include "ui/Tint.h"

#include "ui/Skin.h"
#include "ui/UNaForm.h"

void TintBitmap(QImage& bitmap, uint32_t colour, float offset) {
  if (bitmap.isNull()) return;
  if (bitmap.format() != QImage::Format_RGB32 && bitmap.format() != QImage::Format_ARGB32)
    bitmap = bitmap.convertToFormat(bitmap.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  for (int y = 0; y < bitmap.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(bitmap.scanLine(y));
    for (int x = 0; x < bitmap.width(); ++x) {
      const QRgb p = line[x];
      const uint32_t tinted = TintPixel(FromQRgb(p), colour, offset);
      line[x] = qRgba(tinted & 0xFF, (tinted >> 8) & 0xFF, (tinted >> 16) & 0xFF, qAlpha(p));
    }
  }
}

void TintWithBackground(QImage& bitmap, float offset) { TintBitmap(bitmap, Skin::get().scheme().tlo, offset); }
