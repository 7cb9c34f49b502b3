#pragma once
// The colour maths shared by every skinned window: the blend of two colours,
// the colours derived from the scheme, and the per-pixel icon tint. Plain C++;
// the QImage side of the tint lives in Tint.h.
//
// Colours are 32-bit values with red in the low byte (0x00BBGGRR).

#include <cstdint>

#include "ui/ColourScheme.h"

// The system's button-face colour, which the frame shades blend toward. The
// program has no system palette to ask, so it uses the classic Windows button
// face, light grey 0xC0C0C0 (red in the low byte: 0x00C0C0C0).
inline constexpr uint32_t kButtonFace = 0x00C0C0C0;

// (1 - t) * c1 + t * c2 per channel, rounded half to even. A t outside [0, 1]
// (or not a number) is an internal error: it is reported and the result is 0.
uint32_t KolorPomiedzy(uint32_t c1, uint32_t c2, float t);

// The largest of the red, green and blue channels.
unsigned MaxChannel(uint32_t c);

// One pixel of the icon tint: brightness = MaxChannel(pixel) / 85 + offset;
// above 1 the pixel stays, otherwise each channel becomes the larger of its own
// value and round((1 - brightness) * the colour's channel). Black turns into
// the colour, dark pixels take a share of it, bright ones keep theirs.
uint32_t TintPixel(uint32_t pixel, uint32_t colour, float offset);

// Message kinds of the conversation view; they index the message shades.
enum MessageShadeKind : int { kShadeReceived = 0, kShadeDelivered = 1, kShadeQueued = 2, kShadeNotDelivered = 3 };

struct DerivedColours {
  // KolorPomiedzy(background, button face, k / 4) for k = 1, 2, 3: shade 0 is
  // nearest the background, shade 2 nearest the button face.
  uint32_t frameShade[3] = {};
  uint32_t dimmedText = 0;       // KolorPomiedzy(text, background, 0.15)
  uint32_t queuedBox = 0;        // sent background blended 10 % toward yellow
  uint32_t notDeliveredBox = 0;  // sent background blended 10 % toward red
  // By message kind: shades k = 1, 2, 3 from the background toward the box
  // colour, then the box colour itself.
  uint32_t messageShades[4][4] = {};

  bool operator==(const DerivedColours&) const = default;
};

// Computes the derived colours of a scheme: frame shades, dimmed text, the
// queued and not-delivered box colours, then the shades of the four groups.
DerivedColours RecomputeDerivedColours(const ColourScheme& scheme);
