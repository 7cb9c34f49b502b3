#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <vector>

#include "support/Noon.h"
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
    view = std::make_unique<TRozmowa>(shell, dir.path());
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
  // A link opens on a click that selects nothing: press and release.
  void Click(QPoint at) { QTest::mouseClick(view.get(), Qt::LeftButton, Qt::NoModifier, at); }

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

  Click(QPoint(5, top + o.Y + o.Height / 2));  // on "zobacz"
  EXPECT_TRUE(shell.opened.empty());
  Click(QPoint(o.X + 2 + o.Width / 2, top + o.Y + o.Height / 2));
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

TEST_F(Rozmowa, PictureNamedLikeALinkIsAPicture) {
  // A picture file may be named "|0", as the first link of a message is.
  QImage bar(10, 10, QImage::Format_RGB32);
  bar.fill(Qt::black);
  bar.setPixel(5, 5, qRgb(255, 255, 255));
  ASSERT_TRUE(bar.save(dir.filePath(QStringLiteral("ikony/|0.bmp")), "BMP"));
  view->AddMessage("<|0> www.wp.pl", kNoon, Received);
  const Wiersz& w = view->Messages().back();
  ASSERT_EQ(w.Objects.size(), 2u);
  EXPECT_EQ(w.Objects[0].Name, "|0");
  EXPECT_EQ(w.Objects[0].Kind, InlineKind::Picture);
  EXPECT_EQ(w.Objects[1].Name, "|0");
  EXPECT_EQ(w.Objects[1].Kind, InlineKind::Link);
  const int lineTop = TopOf(0) + 4;
  const QImage img = Render(*view);
  EXPECT_EQ(At(img, w.Objects[0].X + 2 + 5, lineTop + 5), 0xFFFFFFu);  // drawn as the picture
  EXPECT_TRUE(view->CachedPictureName().endsWith(QStringLiteral("ikony/|0.bmp")));

  Click(QPoint(w.Objects[0].X + 2 + 5, lineTop + 5));
  EXPECT_TRUE(shell.opened.empty());  // the picture opens nothing
  QTest::mouseRelease(view.get(), Qt::LeftButton);
  Click(QPoint(w.Objects[1].X + 2 + w.Objects[1].Width / 2, lineTop + 6));
  ASSERT_EQ(shell.opened.size(), 1u);
  EXPECT_EQ(shell.opened[0], QStringLiteral("http://www.wp.pl"));
}

// After a resize, whether by the width alone or followed by LayoutMessage of
// every entry as the chat window does it, every scroll position paints and
// hit-tests as a view laid out afresh at that width.
TEST_F(Rozmowa, ResizedViewShowsWhatAFreshLayoutShows) {
  std::vector<std::string> texts;
  for (int i = 0; i < 60; ++i) {
    std::string t = "wiadomosc " + std::to_string(i) + " :) zobacz www.wp.pl/" + std::to_string(i);
    if (i % 3 == 0) t += " i jeszcze troche slow, zeby zawinac na kilka linijek <usmiech> koniec";
    if (i % 7 == 0) t += "\r\n" + std::string(80, 'x') + " http://example.com/" + std::string(50, 'q');
    // A box taller than the view, with pictures and links on every line.
    for (int line = 0; i == 30 && line < 40; ++line) t += "\r\nlinia " + std::to_string(line) + " :) www.a.pl/" + std::to_string(line);
    texts.push_back(t);
    view->AddMessage(t, kNoon - (i % 2) * 86400, static_cast<uint8_t>(i % 4));
  }
  for (const bool eachMessage : {false, true}) {
    for (const int width : {140, 260, 200}) {
      SCOPED_TRACE(std::to_string(width) + (eachMessage ? " and LayoutMessage" : ""));
      view->resize(width, kHeight);
      if (eachMessage)
        for (std::size_t i = 0; i < view->Messages().size(); ++i) view->LayoutMessage(i);
      TRozmowa fresh(shell, dir.path());
      fresh.SetToday([] { return DayNumber(2026, 12, 8); });
      fresh.resize(width, kHeight);
      fresh.show();
      for (std::size_t i = 0; i < texts.size(); ++i)
        fresh.AddMessage(texts[i], kNoon - (i % 2) * 86400, static_cast<uint8_t>(i % 4));
      ASSERT_EQ(view->Layout().TotalHeight(), fresh.Layout().TotalHeight());
      const int64_t excess = fresh.Layout().TotalHeight() - kHeight;
      ASSERT_GT(excess, 1000);
      // Box 30 from its middle, where the lines above the view hold objects.
      const int64_t inTall = excess - fresh.Layout().Ends()[29] - 300;
      for (const int64_t offset : {int64_t(0), int64_t(37), excess / 3, inTall, inTall + 7, excess - 5, excess}) {
        SCOPED_TRACE(offset);
        view->SetScrollOffset(offset);
        fresh.SetScrollOffset(offset);
        EXPECT_TRUE(Render(*view) == Render(fresh));
        int links = 0;
        for (int y = 0; y < kHeight; y += 2) {
          for (int x = 0; x < width - kScrollStrip; x += 3) {
            const Odnosnik* a = view->Layout().LinkAt(x, y, kHeight);
            const Odnosnik* b = fresh.Layout().LinkAt(x, y, kHeight);
            ASSERT_EQ(a == nullptr, b == nullptr) << x << "," << y;
            if (a) {
              ASSERT_EQ(a->Url, b->Url) << x << "," << y;
              ++links;
            }
          }
        }
        EXPECT_GT(links, 0);
      }
    }
  }
}

// The view empties itself when it holds more than 30,000 messages: the
// 30,002nd and the 60,003rd message each start it anew. A conversation
// longer than 16 bits can count goes on painting and hit-testing.
TEST_F(Rozmowa, SeventyThousandMessages) {
  for (int i = 1; i <= 70000; ++i) {
    view->AddMessage(i % 1000 == 0 ? "zobacz www.wp.pl/" + std::to_string(i) : "m " + std::to_string(i), kNoon,
                     Received);
    if (i == 30001 || i == 30002 || i == 60002 || i == 60003) {
      SCOPED_TRACE(i);
      const std::size_t expected = i == 30001 || i == 60002 ? 30001 : 1;
      ASSERT_EQ(view->Messages().size(), expected);
      EXPECT_EQ(view->Messages().back().Text, "m " + std::to_string(i));
      EXPECT_EQ(view->Messages().front().Text, "m " + std::to_string(i - int(expected) + 1));
      EXPECT_EQ(view->Layout().TotalHeight(), int64_t(expected) * 23);
    }
    if (i == 30001) view->SetScrollOffset(5000);
    if (i == 30002) {
      EXPECT_EQ(view->ScrollOffset(), 0);
    }
  }
  // Messages 60,003 to 70,000 remain.
  ASSERT_EQ(view->Messages().size(), 9998u);
  EXPECT_EQ(view->Messages().front().Text, "m 60003");
  EXPECT_EQ(view->Layout().Ends()[9997], 9998 * 23);
  EXPECT_EQ(view->Layout().TotalHeight(), 9998 * 23);

  // The newest box holds "zobacz" and the link to message 70,000.
  QImage img = Render(*view);
  EXPECT_TRUE(view->ScrollBarVisible());
  EXPECT_EQ(At(img, 60, kHeight - 1), colours().messageShades[Received][0]);
  const InlineObject& o = view->Messages().back().Objects.at(0);
  Click(QPoint(o.X + 2 + o.Width / 2, kHeight - 23 + o.Y + o.Height / 2));
  ASSERT_EQ(shell.opened.size(), 1u);
  EXPECT_EQ(shell.opened[0], QStringLiteral("http://www.wp.pl/70000"));
  QTest::mouseRelease(view.get(), Qt::LeftButton);

  // Scrolled up by more than 16 bits hold, to message 65,000 (box 4,997 of
  // the view) on the bottom edge: its link opens.
  view->SetScrollOffset(int64_t(9998 - 4998) * 23);
  img = Render(*view);
  EXPECT_EQ(At(img, 60, kHeight - 1), colours().messageShades[Received][0]);
  Click(QPoint(o.X + 2 + o.Width / 2, kHeight - 23 + o.Y + o.Height / 2));
  ASSERT_EQ(shell.opened.size(), 2u);
  EXPECT_EQ(shell.opened[1], QStringLiteral("http://www.wp.pl/65000"));
}

// Lines of a box far above the view are passed over in painting; what shows
// of a tall box scrolled through must be what a view tall enough to hold it
// whole shows of the same rows.
TEST_F(Rozmowa, TallBoxScrolledThroughPaintsAsSeenWhole) {
  std::string tall = "poczatek";
  for (int line = 0; line < 40; ++line) tall += "\r\nlinia " + std::to_string(line) + " :) www.a.pl/" + std::to_string(line);
  view->AddMessage(tall, kNoon, Received);
  view->AddMessage("po", kNoon, Delivered);
  TRozmowa whole(shell, dir.path());
  whole.SetToday([] { return DayNumber(2026, 12, 8); });
  whole.resize(kWidth, 1200);
  whole.show();
  whole.AddMessage(tall, kNoon, Received);
  whole.AddMessage("po", kNoon, Delivered);
  const int64_t total = whole.Layout().TotalHeight();
  ASSERT_GT(total, 600);
  ASSERT_LT(total, 1200);
  const QImage all = Render(whole);
  const int wholeTop = 1200 - static_cast<int>(total);  // content row 0 in the tall view
  for (const int64_t offset : {int64_t(0), int64_t(200), int64_t(333), total - kHeight - 1}) {
    SCOPED_TRACE(offset);
    view->SetScrollOffset(offset);
    const QImage part = Render(*view);
    const int contentTop = static_cast<int>(total - kHeight - offset);  // content row at row 0
    int differing = 0;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kTaw; ++x) differing += At(part, x, y) != At(all, x, wholeTop + contentTop + y);
    EXPECT_EQ(differing, 0);
  }
}
