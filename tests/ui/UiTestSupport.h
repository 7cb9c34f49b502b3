#pragma once
// Helpers of the ui tests: a scheme reset for every test and pixel look-ups.

#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>
#include <cstdint>

#include "ui/Skin.h"
#include "ui/Tint.h"

class SkinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Skin::get().SetTexture(QImage());
    ApplyColourScheme(ColourScheme{});
  }
  void TearDown() override { SetUp(); }

  static const DerivedColours& colours() { return Skin::get().colours(); }
};

// The pixel as a program colour (0x00BBGGRR).
inline uint32_t At(const QImage& image, int x, int y) { return FromQRgb(image.pixel(x, y)); }

inline QImage Render(QWidget& w) { return w.grab().toImage().convertToFormat(QImage::Format_RGB32); }

// The smallest x and y at which the colour occurs inside the rectangle, or
// (-1, -1).
inline QPoint FirstOf(const QImage& image, uint32_t colour, QRect area) {
  int minX = -1, minY = -1;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (At(image, x, y) == colour) {
        if (minX < 0 || x < minX) minX = x;
        if (minY < 0 || y < minY) minY = y;
      }
  return {minX, minY};
}

inline int CountOf(const QImage& image, uint32_t colour, QRect area) {
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) n += At(image, x, y) == colour;
  return n;
}
