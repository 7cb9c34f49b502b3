#pragma once
// The icon tint of UNaForm applied to a whole picture, and the conversion of
// the program's 0x00BBGGRR colour values to Qt colours.

#include <QColor>
#include <QImage>
#include <cstdint>

// Tints every pixel of the picture in place (see TintPixel). The picture is
// converted to 32-bit RGB first when it is in another format.
void TintBitmap(QImage& bitmap, uint32_t colour, float offset);

// TintBitmap toward the current scheme's background colour.
void TintWithBackground(QImage& bitmap, float offset);

// A colour of the program (red in the low byte) as a QColor. Only the low
// 24 bits are used, so a value with a selector in its top byte shows as its
// plain RGB part.
inline QColor Kolor(uint32_t bgr) { return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }

// The other way: a QRgb (0xAARRGGBB) as a program colour (0x00BBGGRR).
inline uint32_t FromQRgb(QRgb p) { return qRed(p) | (qGreen(p) << 8) | (qBlue(p) << 16); }
