#include "conversation/view/TFEmoty.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTest>
#include <QTimer>
#include <functional>

#include "../ui/UiTestSupport.h"
#include "ui/TButon.h"

namespace {

// The picker over the program's own pictures.
const QString kProgramDir = QStringLiteral(WM_ASSETS_DIR);

int chooseAndThen(TFEmoty& picker, std::function<void()> user) {
  QTimer::singleShot(0, [&] {
    user();
    if (picker.isVisible()) picker.close();  // never leave the test waiting
  });
  return picker.Choose(nullptr);
}

void clickOn(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); }

}  // namespace

struct PickerTest : SkinTest {
  void SetUp() override {
    SkinTest::SetUp();
    Skin::get().LoadPictures();
  }
};

TEST_F(PickerTest, ButtonsOverlapOnTheirPitchAndLaterOnesLieOnTop) {
  TFEmoty picker(kProgramDir);
  EXPECT_EQ(picker.size(), QSize(302, 178));
  EXPECT_EQ(picker.windowTitle(), QString::fromUtf8("Ikonki do wstawienia"));
  EXPECT_EQ(picker.Przyciski[0]->geometry(), QRect(10, 30, 40, 30));
  EXPECT_EQ(picker.Przyciski[10]->geometry(), QRect(40, 55, 40, 30));
  EXPECT_EQ(picker.Przyciski[44]->geometry(), QRect(250, 130, 40, 30));
  EXPECT_EQ(picker.BZamknij->geometry(), QRect(3, 3, 16, 16));
  // Where buttons 0 and 1 overlap, the second one is hit.
  EXPECT_EQ(picker.childAt(45, 40), picker.Przyciski[1]);
}

TEST_F(PickerTest, ResultIsEightPlusTheIndexOrSevenWhenClosed) {
  TFEmoty picker(kProgramDir);
  int result = chooseAndThen(picker, [&] { clickOn(picker.Przyciski[0]); });
  EXPECT_EQ(result, 8);
  EXPECT_EQ(TFEmoty::InsertedText(result), ":)");
  result = chooseAndThen(picker, [&] { clickOn(picker.Przyciski[44]); });
  EXPECT_EQ(result, 52);
  EXPECT_EQ(TFEmoty::InsertedText(result), "<strzalka>");
  result = chooseAndThen(picker, [&] { clickOn(picker.BZamknij); });
  EXPECT_EQ(result, 7);
  EXPECT_EQ(TFEmoty::InsertedText(result), "");
  // Closed any other way, nothing is inserted either.
  EXPECT_EQ(TFEmoty::InsertedText(chooseAndThen(picker, [&] { picker.close(); })), "");
}

TEST_F(PickerTest, PicturesStandOnTheWindowColour) {
  ColourScheme s;
  s.tlo = 0x402010;
  ApplyColourScheme(s);
  TFEmoty picker(kProgramDir);
  picker.ensurePolished();
  picker.resize(302, 178);
  const QImage image = Render(picker);
  // The black corner of a picture, centred in its button; the last button
  // of a row has no neighbour lying over it.
  const QRect b = picker.Przyciski[8]->geometry();
  const QImage picture(kProgramDir + "/ikony/ke.bmp");
  ASSERT_FALSE(picture.isNull());
  const int x = b.x() + (b.width() - picture.width()) / 2;
  const int y = b.y() + (b.height() - picture.height()) / 2;
  ASSERT_EQ(FromQRgb(picture.pixel(0, 0)), 0u);  // drawn on black
  EXPECT_EQ(At(image, x, y), s.tlo);
}

TEST_F(PickerTest, MissingPicturesStillOfferTheirText) {
  TFEmoty picker(QStringLiteral("/nonexistent"));
  const int result = chooseAndThen(picker, [&] { clickOn(picker.Przyciski[3]); });
  EXPECT_EQ(TFEmoty::InsertedText(result), ":D");
  EXPECT_EQ(picker.Przyciski[3]->toolTip(), ":D");
}
