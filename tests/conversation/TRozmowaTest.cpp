#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <vector>

#include "conversation/view/TRozmowa.h"
#include "platform/desktop/ShellOpen.h"
#include "ui/UiTestSupport.h"
#include "ui/SkinFonts.h"
#include "ui/UNaForm.h"

namespace {

class RecordingShell : public ShellOpen {
 public:
  bool Open(const QString& path, const QString&) override {
    opened.push_back(path);
    return true;
  }
  std::vector<QString> opened;
};

constexpr uint32_t kNoon = 1796731200;  // 2026-12-08 12:00 UTC
constexpr int kWidth = 200, kHeight = 120, kTaw = kWidth - 16;

class Rozmowa : public SkinTest {
 protected:
  void SetUp() override {
    SkinTest::SetUp();
    ASSERT_TRUE(dir.isValid());
    QDir(dir.path()).mkpath(QStringLiteral("ikony"));
    // A 10 x 10 picture on black ground with one white pixel at (5, 5).
    QImage smile(10, 10, QImage::Format_RGB32);
    smile.fill(Qt::black);
    smile.setPixel(5, 5, qRgb(255, 255, 255));
    ASSERT_TRUE(smile.save(dir.filePath(QStringLiteral("ikony/usmiech.bmp")), "BMP"));
    view = std::make_unique<TRozmowa>(shell, dir.path(), -60);
    view->SetToday([] { return DayNumber(2026, 12, 8); });
    view->resize(kWidth, kHeight);
    view->show();
  }

  // Top row of box i when the content is on the bottom edge.
  int TopOf(std::size_t i) const {
    int64_t top = kHeight - view->Layout().TotalHeight() + (i == 0 ? 0 : view->Layout().Ends()[i - 1]);
    return static_cast<int>(top);
  }

  static unsigned Brightest(const QImage& img, QRect area) {
    unsigned best = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
      for (int x = area.left(); x <= area.right(); ++x) best = std::max(best, MaxChannel(At(img, x, y)));
    return best;
  }

  void Press(QPoint at) { QTest::mousePress(view.get(), Qt::LeftButton, Qt::NoModifier, at); }

  QTemporaryDir dir;
  RecordingShell shell;
  std::unique_ptr<TRozmowa> view;
};

}  // namespace

TEST_F(Rozmowa, BoxesOfEachKindWithTheirShadesOnTheBottomEdge) {
  view->AddMessage("HHHH", kNoon, Received);
  view->AddMessage("HHHH", kNoon, Delivered);
  view->AddMessage("HHHH", kNoon, Queued);
  view->AddMessage("HHHH", kNoon, NotDelivered);
  const QImage img = Render(*view);
  const ColourScheme& s = Skin::get().scheme();
  // The queued and not-delivered fills lean toward olive and red.
  EXPECT_EQ(colours().messageShades[Queued][3], KolorPomiedzy(s.wyslane, 0x00A0A0, 0.1f));
  EXPECT_EQ(colours().messageShades[NotDelivered][3], KolorPomiedzy(s.wyslane, 0x0000FF, 0.1f));
  const uint32_t fills[4] = {s.odebrane, s.wyslane, colours().queuedBox, colours().notDeliveredBox};

  ASSERT_EQ(view->Messages().back().Height, 23);
  EXPECT_EQ(TopOf(0), kHeight - 4 * 23);
  for (int k = 0; k < 4; ++k) {
    const int top = TopOf(k), bottom = top + 22;
    SCOPED_TRACE(k);
    EXPECT_EQ(At(img, 120, top + 12), fills[k]);
    EXPECT_EQ(At(img, kTaw - 1, top + 12), fills[k]);
    for (int j = 0; j < 3; ++j) {
      EXPECT_EQ(At(img, 60, top + j), colours().messageShades[k][j]);
      EXPECT_EQ(At(img, 60, bottom - j), colours().messageShades[k][j]);
    }
    const QRect label(kTaw / 2, top + 2, kTaw / 2, 12);
    if (k == NotDelivered) {
      EXPECT_GT(CountOf(img, s.komunikat, label), 0);
      EXPECT_EQ(CountOf(img, s.czas, label), 0);
    } else {
      EXPECT_GT(CountOf(img, s.czas, label), 0);
    }
    // Received text in the text colour (white), own text dimmed (217);
    // smoothing only darkens the edges of the strokes toward the box.
    const unsigned brightest = Brightest(img, QRect(2, top + 4, 40, 15));
    if (k == Received) {
      EXPECT_GT(brightest, 230u);
    } else {
      EXPECT_LE(brightest, 217u);
      EXPECT_GT(brightest, 160u);
    }
  }
  // The newest box's bottom line is the control's bottom row; the strip on
  // the right stays empty without a scroll bar.
  EXPECT_EQ(At(img, 60, kHeight - 1), colours().messageShades[NotDelivered][0]);
  EXPECT_FALSE(view->ScrollBarVisible());
  EXPECT_EQ(CountOf(img, 0x555555, QRect(kTaw, 0, 16, kHeight)), 0);
  EXPECT_EQ(view->Messages()[2].TimeLabel, "(oczekuje) 12:00");
}

TEST_F(Rozmowa, ScrollBarAppearsWithTallContentAndFollowsTheDrag) {
  for (int i = 0; i < 4; ++i) view->AddMessage("m", kNoon, Received);
  EXPECT_EQ(CountOf(Render(*view), 0x555555, QRect(kTaw, 0, 16, kHeight)), 0);
  for (int i = 0; i < 6; ++i) view->AddMessage("m", kNoon, Received);  // 230 px in 120

  QImage img = Render(*view);
  EXPECT_TRUE(view->ScrollBarVisible());
  EXPECT_EQ(At(img, kTaw + 4, 0), 0x555555u);
  EXPECT_EQ(At(img, kTaw + 7, 60), 0x555555u);
  EXPECT_EQ(At(img, kTaw + 6, kHeight - 4), 0x0000DAu);  // the thumb at the newest end
  EXPECT_EQ(At(img, kTaw + 6, 4), 0x555555u);

  Press(QPoint(kTaw + 6, 0));
  EXPECT_TRUE(view->Dragging());
  EXPECT_EQ(view->ScrollOffset(), 230 - kHeight);
  img = Render(*view);
  EXPECT_EQ(At(img, kTaw + 6, 4), 0x00A8DAu);  // dragged: orange at the oldest end
  EXPECT_GT(CountOf(img, 0x005475, QRect(kTaw, 0, 16, 9)), 0);  // its outline
  EXPECT_EQ(At(img, 60, 0), colours().messageShades[Received][0]);  // the oldest box's top line

  QTest::mouseMove(view.get(), QPoint(kTaw + 6, kHeight / 2));
  EXPECT_EQ(view->ScrollOffset(), 55);  // (1 - 56/112) * 110
  QTest::mouseRelease(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(kTaw + 6, kHeight / 2));
  EXPECT_FALSE(view->Dragging());
  img = Render(*view);
  EXPECT_EQ(At(img, kTaw + 6, kHeight / 2), 0x0000DAu);
  // Moving without the button scrolls nothing.
  QTest::mouseMove(view.get(), QPoint(kTaw + 6, 4));
  EXPECT_EQ(view->ScrollOffset(), 55);
}

TEST_F(Rozmowa, LinkClickOpensTheAddressAndTextClicksNothing) {
  view->AddMessage("zobacz www.wp.pl/poczta teraz", kNoon, Delivered);
  const Wiersz& w = view->Messages().back();
  ASSERT_EQ(w.Objects.size(), 1u);
  const InlineObject& o = w.Objects[0];
  const int top = TopOf(0);
  const QImage img = Render(*view);
  // The link is drawn in the text colour although own text is dimmed.
  EXPECT_GT(CountOf(img, Skin::get().scheme().tekst, QRect(o.X + 2, top + o.Y, o.Width, o.Height)), 0);

  Press(QPoint(5, top + o.Y + o.Height / 2));  // on "zobacz"
  EXPECT_TRUE(shell.opened.empty());
  Press(QPoint(o.X + 2 + o.Width / 2, top + o.Y + o.Height / 2));
  ASSERT_EQ(shell.opened.size(), 1u);
  EXPECT_EQ(shell.opened[0], QStringLiteral("http://www.wp.pl/poczta"));
  QTest::mouseRelease(view.get(), Qt::LeftButton);
  QTest::mousePress(view.get(), Qt::RightButton, Qt::NoModifier, QPoint(o.X + 2 + o.Width / 2, top + o.Y + 6));
  EXPECT_EQ(shell.opened.size(), 1u);
}

TEST_F(Rozmowa, EmoticonIsTintedWithTheBoxColourAndCachedByColour) {
  view->AddMessage("a :) b", kNoon, Delivered);
  const Wiersz& w = view->Messages().back();
  ASSERT_EQ(w.Objects.size(), 1u);
  const InlineObject& o = w.Objects[0];
  EXPECT_EQ(o.Name, "usmiech");
  EXPECT_EQ(o.Width, 10);
  EXPECT_EQ(o.Height, 11);
  const int lineTop = TopOf(0) + 4;
  const QImage img = Render(*view);
  const uint32_t box = Skin::get().scheme().wyslane;
  EXPECT_EQ(At(img, o.X + 2 + 5, lineTop + 5), 0xFFFFFFu);  // the bright pixel stays
  EXPECT_EQ(At(img, o.X + 2 + 1, lineTop + 1), box);       // black takes the box colour
  EXPECT_EQ(At(img, o.X + 2 + 9, lineTop + 9), box);
  EXPECT_TRUE(view->CachedPictureName().endsWith(QStringLiteral("ikony/usmiech.bmp")));
  EXPECT_EQ(view->CachedPictureColour(), box);

  view->AddMessage(":)", kNoon, Received);
  Render(*view);
  EXPECT_EQ(view->CachedPictureColour(), Skin::get().scheme().odebrane);

  // No such picture: the tag stays as text.
  view->AddMessage("<kwiatek>", kNoon, Received);
  EXPECT_TRUE(view->Messages().back().Objects.empty());
  EXPECT_EQ(view->Messages().back().Lines[0], "<kwiatek>");
}

TEST_F(Rozmowa, WidthChangeLaysOutAgain) {
  const std::string text = "raz dwa trzy cztery piec szesc siedem osiem dziewiec dziesiec";
  view->AddMessage(text, kNoon, Received);
  const std::size_t wide = view->Messages()[0].Lines.size();
  view->resize(100, kHeight);
  EXPECT_GT(view->Messages()[0].Lines.size(), wide);
  EXPECT_EQ(view->Layout().TotalHeight(), view->Messages()[0].Height);
  // Every line fits the narrower text area.
  QFontMetrics m(SansSerifFont());
  for (std::string line : view->Messages()[0].Lines) {
    while (!line.empty() && line.back() == ' ') line.pop_back();
    EXPECT_LE(m.horizontalAdvance(QString::fromLatin1(line.c_str())), 100 - 16 - 5) << line;
  }
}

TEST_F(Rozmowa, DrawsNothingOfItsOwnOutsideTheBoxes) {
  // In a parent of a plain colour: an empty view shows the parent, and above
  // a short stack the parent shows too.
  QWidget parent;
  parent.resize(kWidth, kHeight);
  parent.setAutoFillBackground(true);
  QPalette palette = parent.palette();
  palette.setColor(QPalette::Window, Kolor(0x123456));
  parent.setPalette(palette);
  view->setParent(&parent);
  view->move(0, 0);
  parent.show();
  EXPECT_EQ(CountOf(Render(parent), 0x123456, QRect(0, 0, kWidth, kHeight)), kWidth * kHeight);
  view->AddMessage("a", kNoon, Received);
  const QImage img = Render(parent);
  EXPECT_EQ(At(img, 60, kHeight - 24), 0x123456u);
  EXPECT_EQ(At(img, 60, kHeight - 23), colours().messageShades[Received][0]);
  EXPECT_EQ(At(img, kTaw + 6, kHeight - 10), 0x123456u);  // no bar
  view->setParent(nullptr);
}
