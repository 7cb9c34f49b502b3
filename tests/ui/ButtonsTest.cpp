#include <QSignalSpy>
#include <QTest>

#include "UiTestSupport.h"
#include "ui/TButon.h"
#include "ui/TImageList.h"
#include "ui/TNapisButon.h"
#include "ui/TSkinnedForm.h"

namespace {

// Two 16 x 16 pictures: white, then black with a grey dot at (2, 2).
TImageList twoPictures() {
  QImage strip(32, 16, QImage::Format_RGB32);
  strip.fill(Qt::black);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) strip.setPixel(x, y, qRgb(255, 255, 255));
  strip.setPixel(18, 2, qRgb(0x80, 0x80, 0x80));
  return TImageList(strip, 16);
}

ColourScheme scheme(uint32_t tlo) {
  ColourScheme s;
  s.tlo = tlo;
  s.tekstura = false;
  return s;
}

}  // namespace

using Buttons = SkinTest;

TEST_F(Buttons, ImageListCutsTheStrip) {
  const TImageList il = twoPictures();
  EXPECT_EQ(il.count(), 2);
  EXPECT_EQ(il.size(), QSize(16, 16));
  EXPECT_EQ(il.picture(0).pixel(15, 15), qRgb(255, 255, 255));
  EXPECT_EQ(il.picture(1).pixel(2, 2), qRgb(0x80, 0x80, 0x80));
  EXPECT_TRUE(il.picture(2).isNull());
  EXPECT_EQ(TImageList(QImage(40, 16, QImage::Format_RGB32), 16).count(), 2);
}

TEST_F(Buttons, FaceIsThePictureTintedTowardTheBackground) {
  ApplyColourScheme(scheme(0x306090));
  const TImageList il = twoPictures();
  TSkinnedForm form;
  form.resize(100, 100);
  auto* b = new TButon(&form);
  b->move(10, 30);
  b->SetIL(&il);
  b->SetNumer(1);
  QImage img = Render(*b);
  EXPECT_EQ(img.size(), QSize(18, 18));
  EXPECT_EQ(At(img, 0, 0), 0x306090u);       // black becomes the background
  EXPECT_EQ(At(img, 2, 2), 0x808080u);       // bright enough to stay
  EXPECT_EQ(At(img, 17, 17), 0x306090u);     // outside the 16 x 16 picture
  const qint64 key = b->face().cacheKey();
  b->SetNumer(1);  // the same number rebuilds nothing
  EXPECT_EQ(b->face().cacheKey(), key);
  b->SetNumer(0);
  EXPECT_NE(b->face().cacheKey(), key);
  EXPECT_EQ(At(b->face(), 5, 5), 0xFFFFFFu);

  // In the title strip (top <= 4) the tint is offset by a half.
  b->SetNumer(1);
  b->move(10, 4);
  img = Render(*b);
  EXPECT_EQ(At(img, 0, 0), KolorPomiedzy(0, 0x306090, 0.5f));

  // Applying a scheme rebuilds the faces of every open window's buttons.
  b->move(10, 30);
  ApplyColourScheme(scheme(0x102030));
  EXPECT_EQ(At(b->face(), 0, 0), 0x102030u);
}

TEST_F(Buttons, TransparentPartsOfAPictureTakeTheBackground) {
  ApplyColourScheme(scheme(0x405060));
  QImage strip(16, 16, QImage::Format_ARGB32);
  strip.fill(Qt::transparent);
  strip.setPixel(8, 8, qRgba(0xF0, 0xF0, 0xF0, 255));
  const TImageList il(strip, 16);
  TButon b;
  b.move(0, 10);
  b.SetIL(&il);
  const QImage img = Render(b);
  EXPECT_EQ(At(img, 0, 0), 0x405060u);
  EXPECT_EQ(At(img, 8, 8), 0xF0F0F0u);
}

TEST_F(Buttons, WithoutImageListTheFaceIsTheBackground) {
  ApplyColourScheme(scheme(0x445566));
  TButon b;
  b.move(0, 10);
  const QImage img = Render(b);
  EXPECT_EQ(CountOf(img, 0x445566, img.rect()), 18 * 18);
}

TEST_F(Buttons, PressedImageButtonShowsSixDiscs) {
  EXPECT_EQ(TButon::DiscColour(6), 0x148BFC6u);
  EXPECT_EQ(TButon::DiscColour(5), 0x0917F8Cu);
  EXPECT_EQ(TButon::DiscColour(1), 0x1B47EA4u);
  TButon b;
  b.move(0, 10);
  QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(9, 9));
  ASSERT_TRUE(b.pressed());
  QImage img = Render(b);
  // cx = cy = 9: disc 1 covers the centre, disc 6 reaches x = 3.
  EXPECT_EQ(At(img, 9, 9), 0xB47EA4u);
  EXPECT_EQ(At(img, 3, 9), 0x48BFC6u);
  // Disc n starts at x = cx - n.
  EXPECT_EQ(At(img, 6, 9), 0x22FF18u);  // disc 3
  EXPECT_EQ(At(img, 7, 9), 0x6BBEDEu);  // disc 2
  EXPECT_EQ(At(img, 1, 9), 0u);         // outside every disc: the face
  QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(9, 9));
  EXPECT_FALSE(b.pressed());
  img = Render(b);
  EXPECT_EQ(At(img, 9, 9), 0u);
}

TEST_F(Buttons, RightButtonLeavesNoPressedStateAndAnyReleaseClearsIt) {
  TButon image;
  TNapisButon caption;
  caption.SetNapis("OK");
  QSignalSpy imageClicks(&image, &TButon::OnClick);
  QSignalSpy captionClicks(&caption, &TNapisButon::OnClick);
  auto pressedOf = [&](QWidget* w) {
    return w == &image ? image.pressed() : caption.pressed();
  };
  for (QWidget* w : {static_cast<QWidget*>(&image), static_cast<QWidget*>(&caption)}) {
    const QPoint mid = w->rect().center();
    QTest::mousePress(w, Qt::RightButton, {}, mid);
    EXPECT_FALSE(pressedOf(w));
    QTest::mouseRelease(w, Qt::RightButton, {}, mid);
    EXPECT_FALSE(pressedOf(w));
    // A left press released by the right button is cleared and not a click.
    QTest::mousePress(w, Qt::LeftButton, {}, mid);
    EXPECT_TRUE(pressedOf(w));
    QTest::mouseRelease(w, Qt::RightButton, {}, mid);
    EXPECT_FALSE(pressedOf(w));
    // A left press released outside the control is cleared, no click.
    QTest::mousePress(w, Qt::LeftButton, {}, mid);
    QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(-5, -5));
    EXPECT_FALSE(pressedOf(w));
    // A full left click is one.
    QTest::mouseClick(w, Qt::LeftButton, {}, mid);
    EXPECT_FALSE(pressedOf(w));
  }
  EXPECT_EQ(imageClicks.count(), 1);
  EXPECT_EQ(captionClicks.count(), 1);
}

TEST_F(Buttons, ImageButtonReportsEveryPressAtOnceWithItsButton) {
  TButon image;
  QSignalSpy downs(&image, &TButon::OnMouseDown);
  QSignalSpy clicks(&image, &TButon::OnClick);
  const QPoint mid = image.rect().center();
  QTest::mousePress(&image, Qt::LeftButton, {}, mid);
  ASSERT_EQ(downs.count(), 1);  // before any release
  EXPECT_EQ(clicks.count(), 0);
  EXPECT_EQ(downs[0][0].value<Qt::MouseButton>(), Qt::LeftButton);
  QTest::mouseRelease(&image, Qt::LeftButton, {}, mid);
  QTest::mousePress(&image, Qt::RightButton, {}, mid);
  QTest::mouseRelease(&image, Qt::RightButton, {}, mid);
  QTest::mousePress(&image, Qt::MiddleButton, {}, mid);
  ASSERT_EQ(downs.count(), 3);
  EXPECT_EQ(downs[1][0].value<Qt::MouseButton>(), Qt::RightButton);
  EXPECT_EQ(downs[2][0].value<Qt::MouseButton>(), Qt::MiddleButton);
  EXPECT_EQ(clicks.count(), 1);  // only the left one was a click
}

TEST_F(Buttons, CaptionButtonBevelNormalAndPressed) {
  ApplyColourScheme(scheme(0x202020));
  const DerivedColours& d = colours();
  const uint32_t bg = 0x202020;
  TNapisButon b;
  EXPECT_EQ(b.size(), QSize(81, 25));
  QImage img = Render(b);
  // From the edge inward: background, 25 %, 50 %, 75 %, 50 %, 25 %, face.
  const uint32_t rings[7] = {bg, d.frameShade[0], d.frameShade[1], d.frameShade[2], d.frameShade[1], d.frameShade[0], bg};
  for (int i = 0; i < 7; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(At(img, i, 12), rings[i]);
    EXPECT_EQ(At(img, 80 - i, 12), rings[i]);
    EXPECT_EQ(At(img, 40, i), rings[i]);
    EXPECT_EQ(At(img, 40, 24 - i), rings[i]);
  }
  QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(40, 12));
  img = Render(b);
  EXPECT_EQ(At(img, 5, 12), d.frameShade[0]);
  EXPECT_EQ(At(img, 6, 12), d.frameShade[0]);  // the face stays in the 25 % shade
  EXPECT_EQ(At(img, 40, 12), d.frameShade[0]);
  QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(40, 12));
}

TEST_F(Buttons, CaptionIsCentredDimmedOrInTheHalfShadeWhenDisabled) {
  const DerivedColours& d = colours();
  TNapisButon b;
  b.SetNapis("Rozumiem");
  const QRect face(7, 7, 67, 11);
  QImage img = Render(b);
  const int dimmedPixels = CountOf(img, d.dimmedText, face);
  EXPECT_GT(dimmedPixels, 20);
  // Centred: the ink starts about as far from the left as it ends from the right.
  int left = 81, right = -1;
  for (int y = 0; y < 25; ++y)
    for (int x = 0; x < 81; ++x)
      if (At(img, x, y) == d.dimmedText) left = std::min(left, x), right = std::max(right, x);
  EXPECT_LE(std::abs(left - (80 - right)), 2);

  b.setEnabled(false);
  img = Render(b);
  EXPECT_EQ(CountOf(img, d.dimmedText, img.rect()), 0);
  EXPECT_EQ(CountOf(img, d.frameShade[1], face), dimmedPixels);
  EXPECT_EQ(At(img, 3, 12), d.frameShade[2]);  // the bevel is still there
}

TEST_F(Buttons, ProgramPicturesAreBuiltIn) {
  Skin::get().LoadPictures();
  EXPECT_EQ(Skin::get().IL().count(), 16);
  EXPECT_EQ(Skin::get().IL().size(), QSize(16, 16));
  EXPECT_EQ(Skin::get().ILDuze().count(), 8);
  EXPECT_EQ(Skin::get().ILDuze().size(), QSize(32, 32));
  EXPECT_EQ(Skin::get().texture().size(), QSize(200, 200));
}
