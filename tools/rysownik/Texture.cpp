#include "Texture.h"

#include "Drawing.h"

#include <algorithm>
#include <cstdint>

namespace rysownik {
namespace {

// A small fixed generator of our own: standard distributions may differ
// between library versions, and the texture must not change by itself.
class Lcg {
 public:
  explicit Lcg(uint32_t seed) : state_(seed) {}
  uint32_t next() {
    state_ = state_ * 1664525u + 1013904223u;
    return state_ >> 8;
  }
  int below(int n) { return static_cast<int>(next() % static_cast<uint32_t>(n)); }

 private:
  uint32_t state_;
};

// Adds light to a pixel (stars may overlap), keeping each channel in range.
void addLight(QImage& img, int x, int y, int r, int g, int b) {
  const int w = img.width(), h = img.height();
  x = (x + w) % w;  // the texture is tiled, so its points wrap around
  y = (y + h) % h;
  const QRgb old = img.pixel(x, y);
  img.setPixel(x, y, qRgb(std::min(255, qRed(old) + r), std::min(255, qGreen(old) + g),
                          std::min(255, qBlue(old) + b)));
}

}  // namespace

QImage starTexture() {
  QImage img = blackImage(200, 200);
  Lcg rng(20040611u);
  const int kStars = 340;
  for (int i = 0; i < kStars; ++i) {
    const int x = rng.below(200);
    const int y = rng.below(200);
    const int kind = rng.below(100);
    int v;
    if (kind < 72) v = 28 + rng.below(50);        // dim
    else if (kind < 94) v = 90 + rng.below(80);   // medium
    else v = 190 + rng.below(66);                 // bright
    // A faint cast: some stars bluish, some warm.
    const int cast = rng.below(3);
    const int r = cast == 1 ? v * 8 / 10 : v;
    const int g = v * 9 / 10 + (cast == 2 ? v / 10 : 0);
    const int b = cast == 2 ? v * 7 / 10 : v;
    addLight(img, x, y, r, g, b);
    if (kind >= 94) {
      // Bright stars get a small cross of half light.
      for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
        addLight(img, x + dx, y + dy, r / 3, g / 3, b / 3);
    }
  }
  return img;
}

}  // namespace rysownik
