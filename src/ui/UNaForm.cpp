#include "ui/UNaForm.h"

#include <algorithm>
#include <cmath>

#include "platform/Cp1250.h"
#include "platform/MessageBox.h"

namespace {

unsigned channel(uint32_t c, int n) { return (c >> (8 * n)) & 0xFF; }

// The default rounding mode of the floating-point unit rounds half to even.
unsigned roundChannel(double v) {
  double r = std::nearbyint(v);
  return static_cast<unsigned>(std::clamp(r, 0.0, 255.0));
}

}  // namespace

uint32_t KolorPomiedzy(uint32_t c1, uint32_t c2, float t) {
  // Written as a positive range test so that a NaN counts as outside.
  if (!(t >= 0.0f && t <= 1.0f)) {
    MessageBox(T("Błąd wewnętrzny EKolorPomiedzy.ParametrSpoza"), kOstrzezenie);
    return 0;
  }
  // Only the 24 colour bits take part; the top byte is never a palette or
  // system-colour selector in this program.
  const double tt = t;
  uint32_t out = 0;
  for (int n = 0; n < 3; ++n) {
    double v = (1.0 - tt) * channel(c1, n) + tt * channel(c2, n);
    out |= roundChannel(v) << (8 * n);
  }
  return out;
}

unsigned MaxChannel(uint32_t c) { return std::max({channel(c, 0), channel(c, 1), channel(c, 2)}); }

uint32_t TintPixel(uint32_t pixel, uint32_t colour, float offset) {
  const double c = MaxChannel(pixel) / 85.0 + offset;
  if (c > 1.0) return pixel;
  uint32_t out = pixel & 0xFF000000u;
  for (int n = 0; n < 3; ++n) {
    unsigned v = std::max(roundChannel((1.0 - c) * channel(colour, n)), channel(pixel, n));
    out |= v << (8 * n);
  }
  return out;
}

DerivedColours RecomputeDerivedColours(const ColourScheme& s) {
  DerivedColours d;
  for (int k = 1; k <= 3; ++k) d.frameShade[k - 1] = KolorPomiedzy(s.tlo, kButtonFace, k / 4.0f);
  d.dimmedText = KolorPomiedzy(s.tekst, s.tlo, 0.15f);
  d.queuedBox = KolorPomiedzy(s.wyslane, 0x00A0A0, 0.1f);
  d.notDeliveredBox = KolorPomiedzy(s.wyslane, 0x0000FF, 0.1f);
  const uint32_t boxes[4] = {s.odebrane, s.wyslane, d.queuedBox, d.notDeliveredBox};
  for (int kind = 0; kind < 4; ++kind) {
    for (int k = 1; k <= 3; ++k) d.messageShades[kind][k - 1] = KolorPomiedzy(s.tlo, boxes[kind], k / 4.0f);
    d.messageShades[kind][3] = boxes[kind];
  }
  return d;
}
