#include "ui/UNaForm.h"

#include <gtest/gtest.h>

#include <QImage>
#include <cmath>

#include "platform/Cp1250.h"
#include "support/ScriptedMessageBox.h"
#include "ui/Tint.h"

TEST(KolorPomiedzy, BlendsEachChannelRoundingHalfToEven) {
  EXPECT_EQ(KolorPomiedzy(0x000000, 0xFFFFFF, 0.5f), 0x808080u);  // 127.5 -> 128
  EXPECT_EQ(KolorPomiedzy(0x123456, 0xABCDEF, 0.0f), 0x123456u);
  EXPECT_EQ(KolorPomiedzy(0x123456, 0xABCDEF, 1.0f), 0xABCDEFu);
  // 0.5 -> 0, 1.5 -> 2, 2.5 -> 2 in the red, green and blue channels.
  EXPECT_EQ(KolorPomiedzy(0x000000, 0x050301, 0.5f), 0x020200u);
  // Channels stay in place: red 255 -> 191.25, blue 255 -> 63.75.
  EXPECT_EQ(KolorPomiedzy(0x0000FF, 0xFF0000, 0.25f), 0x4000BFu);
  // The top byte takes no part.
  EXPECT_EQ(KolorPomiedzy(0xFF000000u, 0xFFFFFFFFu, 0.5f), 0x808080u);
}

TEST(KolorPomiedzy, FactorOutsideTheRangeIsReportedAndGivesBlack) {
  ScriptedMessageBox box;
  EXPECT_EQ(KolorPomiedzy(0xFFFFFF, 0xFFFFFF, -0.01f), 0u);
  EXPECT_EQ(KolorPomiedzy(0xFFFFFF, 0xFFFFFF, 1.01f), 0u);
  EXPECT_EQ(KolorPomiedzy(0xFFFFFF, 0xFFFFFF, std::nanf("")), 0u);
  ASSERT_EQ(box.shown().size(), 3u);
  for (const auto& m : box.shown()) {
    EXPECT_EQ(m.text, T("Błąd wewnętrzny EKolorPomiedzy.ParametrSpoza"));
    EXPECT_EQ(m.kind, kOstrzezenie);
  }
}

TEST(MaxChannel, TakesTheLargestOfTheThree) {
  EXPECT_EQ(MaxChannel(0x102030), 0x30u);
  EXPECT_EQ(MaxChannel(0x402010), 0x40u);
  EXPECT_EQ(MaxChannel(0xFF000000u), 0u);
}

TEST(DerivedColours, DefaultSchemeOnBlack) {
  ScriptedMessageBox box;
  const DerivedColours d = RecomputeDerivedColours(ColourScheme{});
  EXPECT_EQ(d.dimmedText, 0xD9D9D9u);  // 255 * 0.85 = 216.75 -> 217
  // Background black toward button face 0xC0: 48, 96, 144.
  EXPECT_EQ(d.frameShade[0], 0x303030u);
  EXPECT_EQ(d.frameShade[1], 0x606060u);
  EXPECT_EQ(d.frameShade[2], 0x909090u);
  // Sent background 0x404840 10 % toward yellow 0x00A0A0 and toward red.
  EXPECT_EQ(d.queuedBox, 0x3A514Au);
  EXPECT_EQ(d.notDeliveredBox, 0x3A4153u);
  const uint32_t boxes[4] = {0xA04040, 0x404840, d.queuedBox, d.notDeliveredBox};
  for (int kind = 0; kind < 4; ++kind) {
    SCOPED_TRACE(kind);
    EXPECT_EQ(d.messageShades[kind][3], boxes[kind]);
    for (int k = 1; k <= 3; ++k) EXPECT_EQ(d.messageShades[kind][k - 1], KolorPomiedzy(0, boxes[kind], k / 4.0f));
  }
  EXPECT_TRUE(box.shown().empty());
}

TEST(DerivedColours, FollowTheBackground) {
  ColourScheme s;
  s.tlo = 0xFFFFFF;
  s.tekst = 0x000000;
  const DerivedColours d = RecomputeDerivedColours(s);
  EXPECT_EQ(d.frameShade[0], 0xEFEFEFu);  // 239.25, nearest the white background
  EXPECT_EQ(d.frameShade[2], 0xD0D0D0u);
  EXPECT_EQ(d.dimmedText, 0x262626u);  // 38.25
  EXPECT_EQ(d.messageShades[0][0], KolorPomiedzy(0xFFFFFF, 0xA04040, 0.25f));
}

TEST(TintPixel, BlackDarkAndBrightPixels) {
  const uint32_t colour = 0x00FF80;  // red 128, green 255, blue 0
  EXPECT_EQ(TintPixel(0x000000, colour, 0.0f), colour);
  EXPECT_EQ(TintPixel(0x555555, colour, 0.0f), 0x555555u);
  EXPECT_EQ(TintPixel(0xC0C0C0, colour, 0.0f), 0xC0C0C0u);
  // 42 / 85 leaves 0.5059 of the colour: red 64.75 -> 65, green 129, blue keeps 42.
  EXPECT_EQ(TintPixel(0x2A2A2A, colour, 0.0f), 0x2A8141u);
  // With the half offset of the title strip black takes half the colour and
  // anything above 42.5 stays.
  EXPECT_EQ(TintPixel(0x000000, colour, 0.5f), 0x008040u);
  EXPECT_EQ(TintPixel(0x2B0000, colour, 0.5f), 0x2B0000u);
}

TEST(TintBitmap, TintsEveryPixelAndKeepsAlpha) {
  QImage image(3, 2, QImage::Format_ARGB32);
  image.fill(qRgba(0, 0, 0, 255));
  image.setPixel(1, 0, qRgba(0x55, 0x55, 0x55, 255));
  image.setPixel(2, 1, qRgba(0, 0, 0, 0x80));
  TintBitmap(image, 0x302010, 0.0f);  // red 0x10, green 0x20, blue 0x30
  EXPECT_EQ(image.pixel(0, 0), qRgba(0x10, 0x20, 0x30, 255));
  EXPECT_EQ(image.pixel(1, 0), qRgba(0x55, 0x55, 0x55, 255));
  EXPECT_EQ(image.pixel(2, 1), qRgba(0x10, 0x20, 0x30, 0x80));
  EXPECT_EQ(image.pixel(0, 1), qRgba(0x10, 0x20, 0x30, 255));
}
