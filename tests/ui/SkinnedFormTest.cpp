#include "ui/TSkinnedForm.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QTimer>
#include <algorithm>
#include <memory>

#include "UiTestSupport.h"
#include "ui/SkinRecolourable.h"
#include "ui/TNapisButon.h"

namespace {

ColourScheme darkBlue() {
  ColourScheme s;
  s.tlo = 0x401008;  // red 8, green 16, blue 64
  s.tekst = 0xE0F0FF;
  s.tekstura = false;
  return s;
}

void sendMouse(QWidget& w, QEvent::Type type, Qt::MouseButton button, QPoint at) {
  Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
  if (type == QEvent::MouseMove) button = Qt::NoButton;
  QMouseEvent e(type, QPointF(at), w.mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
  QCoreApplication::sendEvent(&w, &e);
}

class Counting : public QWidget, public TSkinRecolourable {
 public:
  using QWidget::QWidget;
  void Recolour() override { ++calls; }
  int calls = 0;
};

}  // namespace

using SkinnedForm = SkinTest;

TEST_F(SkinnedForm, BorderRingsTitleStripAndBackground) {
  ApplyColourScheme(darkBlue());
  TSkinnedForm form;
  form.resize(120, 80);
  const QImage img = Render(form);
  const DerivedColours& d = colours();
  const uint32_t bg = darkBlue().tlo;
  const int W = 120, H = 80;
  // Left, right and bottom rings from the edge inward: shades 2, 1, 0, then
  // the background. The right and bottom rings end one pixel inside W and H.
  for (int a = 0; a < 3; ++a) {
    SCOPED_TRACE(a);
    EXPECT_EQ(At(img, a, 50), d.frameShade[2 - a]);
    EXPECT_EQ(At(img, W - 1 - a, 50), d.frameShade[2 - a]);
    EXPECT_EQ(At(img, 60, H - 1 - a), d.frameShade[2 - a]);
    EXPECT_EQ(At(img, 60, a), d.frameShade[2 - a]);
  }
  EXPECT_EQ(At(img, 3, 50), bg);
  EXPECT_EQ(At(img, W - 4, 50), bg);
  EXPECT_EQ(At(img, 60, H - 4), bg);
  // The title strip covers rows 0..19 inside the rings.
  EXPECT_EQ(At(img, W - 10, 3), d.frameShade[0]);
  EXPECT_EQ(At(img, W - 10, 19), d.frameShade[0]);
  EXPECT_EQ(At(img, W - 10, 20), bg);
}

TEST_F(SkinnedForm, CaptionShadowAndOffsetWithAndWithoutCloseButton) {
  ApplyColourScheme(darkBlue());
  const uint32_t dimmed = colours().dimmedText;
  const uint32_t shadow = darkBlue().tekst ^ 0xFFFFFF;
  auto captionAt = [&](bool withClose, QPoint& dimmedAt, QPoint& shadowAt) {
    TSkinnedForm form;
    form.resize(160, 60);
    form.setWindowTitle(QStringLiteral("HHH"));
    if (withClose) {
      auto* close = new QWidget(&form);
      close->setObjectName(QStringLiteral("BZamknij"));
      close->hide();
    }
    const QImage img = Render(form);
    const QRect strip(3, 3, 150, 17);
    dimmedAt = FirstOf(img, dimmed, strip);
    shadowAt = FirstOf(img, shadow, strip);
    // Nothing of the caption spills below the strip.
    EXPECT_EQ(CountOf(img, dimmed, QRect(3, 20, 150, 30)), 0);
  };
  QPoint plainDimmed, plainShadow, closeDimmed, closeShadow;
  captionAt(false, plainDimmed, plainShadow);
  captionAt(true, closeDimmed, closeShadow);
  ASSERT_GE(plainDimmed.x(), 0);
  ASSERT_GE(plainShadow.x(), 0);
  // The caption is drawn from x = 6 (x0 = 5), its shadow one pixel right and
  // down; "H" starts at most a pixel into its cell.
  EXPECT_GE(plainDimmed.x(), 6);
  EXPECT_LE(plainDimmed.x(), 7);
  EXPECT_GE(plainDimmed.y(), 5);
  EXPECT_EQ(plainShadow - plainDimmed, QPoint(1, 1));
  // With the close button the caption starts 15 pixels further right (x0 = 20).
  EXPECT_EQ(closeDimmed - plainDimmed, QPoint(15, 0));
  EXPECT_EQ(closeShadow - plainShadow, QPoint(15, 0));
}

TEST_F(SkinnedForm, TextureTilesAreCombinedByExclusiveOr) {
  QImage texture(200, 200, QImage::Format_RGB32);
  texture.fill(Qt::black);
  texture.setPixel(30, 40, qRgb(255, 255, 255));
  texture.setPixel(60, 70, qRgb(0x10, 0x20, 0x30));
  Skin::get().SetTexture(texture);
  ColourScheme s = darkBlue();
  s.tekstura = true;
  ApplyColourScheme(s);
  TSkinnedForm form;
  form.resize(450, 300);
  QImage img = Render(form);
  // The second row and the third column of tiles, outside strip and border.
  EXPECT_EQ(At(img, 230, 240), s.tlo ^ 0xFFFFFF);
  EXPECT_EQ(At(img, 430, 240), s.tlo ^ 0xFFFFFF);
  EXPECT_EQ(At(img, 260, 270), s.tlo ^ 0x302010);
  EXPECT_EQ(At(img, 231, 240), s.tlo);
  EXPECT_EQ(At(img, 30, 40), s.tlo ^ 0xFFFFFF);  // first tile, below the strip
  s.tekstura = false;
  ApplyColourScheme(s);
  img = Render(form);
  EXPECT_EQ(At(img, 230, 240), s.tlo);
  EXPECT_EQ(At(img, 30, 40), s.tlo);
}

TEST_F(SkinnedForm, DraggedByTheTitleStripWithTheLeftButtonOnly) {
  TSkinnedForm form;
  form.resize(100, 60);
  form.move(100, 100);
  sendMouse(form, QEvent::MouseButtonPress, Qt::LeftButton, {30, 10});
  sendMouse(form, QEvent::MouseMove, Qt::LeftButton, {40, 15});
  EXPECT_EQ(form.pos(), QPoint(110, 105));
  // The pointer is now back at (30, 10) of the moved window.
  sendMouse(form, QEvent::MouseMove, Qt::LeftButton, {28, 13});
  EXPECT_EQ(form.pos(), QPoint(108, 108));
  sendMouse(form, QEvent::MouseButtonRelease, Qt::LeftButton, {28, 13});
  sendMouse(form, QEvent::MouseMove, Qt::NoButton, {50, 30});
  EXPECT_EQ(form.pos(), QPoint(108, 108));

  sendMouse(form, QEvent::MouseButtonPress, Qt::LeftButton, {30, 20});  // below the strip
  sendMouse(form, QEvent::MouseMove, Qt::LeftButton, {40, 30});
  sendMouse(form, QEvent::MouseButtonRelease, Qt::LeftButton, {40, 30});
  sendMouse(form, QEvent::MouseButtonPress, Qt::RightButton, {30, 10});
  sendMouse(form, QEvent::MouseMove, Qt::RightButton, {40, 15});
  sendMouse(form, QEvent::MouseButtonRelease, Qt::RightButton, {40, 15});
  EXPECT_EQ(form.pos(), QPoint(108, 108));
}

TEST_F(SkinnedForm, ApplyColourSchemeRecoloursOpenWindowsByClassAndTag) {
  auto form = std::make_unique<TSkinnedForm>();
  auto* tag0 = new QLabel(form.get());
  auto* tag3 = new QLabel(form.get());
  auto* tag4 = new QLabel(form.get());
  auto* tag7 = new QLabel(form.get());
  SetTag(tag3, 3);
  SetTag(tag4, 4);
  SetTag(tag7, 7);
  QPalette own = tag7->palette();
  own.setColor(QPalette::WindowText, Qt::magenta);
  tag7->setPalette(own);
  auto* page = new QWidget(form.get());  // components inside a container
  auto* edit = new QLineEdit(page);
  auto* editLabel = new QLabel(page);
  SetTag(editLabel, 4);
  editLabel->setBuddy(edit);
  auto* list = new QListWidget(form.get());
  auto* check = new QCheckBox(form.get());
  auto* custom = new Counting(form.get());

  ColourScheme s = darkBlue();
  s.opis = 0x00C0FF;
  s.komunikat = 0x1020F0;
  ApplyColourScheme(s);
  const DerivedColours& d = colours();
  auto fore = [](QWidget* w) { return FromQRgb(w->palette().color(QPalette::WindowText).rgb()); };
  EXPECT_EQ(FromQRgb(form->palette().color(QPalette::Window).rgb()), s.tlo);
  EXPECT_EQ(fore(tag0), d.dimmedText);
  EXPECT_EQ(fore(tag3), s.opis);
  EXPECT_EQ(fore(tag4), s.komunikat);
  EXPECT_EQ(tag7->palette().color(QPalette::WindowText), QColor(Qt::magenta));
  EXPECT_EQ(fore(editLabel), d.dimmedText);
  for (QWidget* w : {static_cast<QWidget*>(edit), static_cast<QWidget*>(list)}) {
    EXPECT_EQ(FromQRgb(w->palette().color(QPalette::Base).rgb()), d.frameShade[0]);
    EXPECT_EQ(FromQRgb(w->palette().color(QPalette::Text).rgb()), s.tekst);
  }
  EXPECT_EQ(fore(check), d.dimmedText);
  EXPECT_EQ(custom->calls, 1);

  // A window made after the scheme was applied takes it when first shown.
  TSkinnedForm later;
  auto* laterLabel = new QLabel(&later);
  later.show();
  EXPECT_EQ(fore(laterLabel), d.dimmedText);
  EXPECT_EQ(FromQRgb(later.palette().color(QPalette::Window).rgb()), s.tlo);

  // A destroyed window leaves the registry.
  TSkinnedForm* gone = form.get();
  form.reset();
  const auto& forms = Skin::get().forms();
  EXPECT_EQ(std::find(forms.begin(), forms.end(), gone), forms.end());
  EXPECT_NE(std::find(forms.begin(), forms.end(), &later), forms.end());
  ApplyColourScheme(ColourScheme{});
  EXPECT_EQ(fore(laterLabel), colours().dimmedText);
}

TEST_F(SkinnedForm, ModalRunEndsWithTheButtonsModalOrCancelOnClose) {
  TSkinnedForm form;
  form.resize(200, 100);
  auto* quiet = new TNapisButon(&form);
  auto* two = new TNapisButon(&form);
  two->SetModal(2);
  two->move(90, 50);
  int quietClicks = 0, twoClicks = 0;
  QObject::connect(quiet, &TNapisButon::OnClick, [&] { ++quietClicks; });
  QObject::connect(two, &TNapisButon::OnClick, [&] {
    ++twoClicks;
    EXPECT_TRUE(form.inModalLoop());  // OnClick runs before the loop ends
  });

  QTimer::singleShot(0, [&] {
    quiet->Click();  // Modal 0: only the event
    EXPECT_TRUE(form.isVisible());
    two->Click();
  });
  EXPECT_EQ(form.ShowModal(), 2);
  EXPECT_EQ(quietClicks, 1);
  EXPECT_EQ(twoClicks, 1);
  EXPECT_FALSE(form.isVisible());

  QTimer::singleShot(0, [&] { form.close(); });
  EXPECT_EQ(form.ShowModal(), kMrCancel);
}
