#include <gtest/gtest.h>

#include <map>
#include <string>

#include "support/Noon.h"
#include "conversation/ConversationLayout.h"
#include "platform/Cp1250.h"
#include "support/ZoneScope.h"

namespace {

// Every byte of message text is 6 pixels wide ('M' 8) and 13 high, every
// byte of a time label 5 pixels; pictures are the ones listed, with their sizes.
class FakeMeasure : public LayoutMeasure {
 public:
  int TextWidth(const std::string& text) override {
    int width = 0;
    for (char c : text) width += c == 'M' ? 8 : 6;
    return width;
  }
  int TextHeight(const std::string&) override { return 13; }
  int LabelWidth(const std::string& text) override { return 5 * static_cast<int>(text.size()); }
  bool PictureSize(const std::string& name, int& width, int& height) override {
    auto it = pictures.find(name);
    if (it == pictures.end()) return false;
    width = it->second.first;
    height = it->second.second;
    return true;
  }
  std::map<std::string, std::pair<int, int>> pictures{{"usmiech", {18, 18}}, {"kwiatek", {20, 30}}};
};

// 2026-12-08 12:00 UTC and the day number of that date.
const int32_t kToday = DayNumber(2026, 12, 8);

class Layout : public ::testing::Test {
 protected:
  FakeMeasure measure;
  // Read on a clock at UTC.
  ConversationLayout view{measure, [] { return kToday; }, [](int64_t t) { return t; }};

  const Wiersz& Add(const std::string& text, uint8_t kind = Delivered, uint32_t time = kNoon) {
    view.AddMessage(text, time, kind);
    return view.Messages().back();
  }
};

}  // namespace

TEST(DayNumbers, CountFrom18991230) {
  EXPECT_EQ(DayNumber(1899, 12, 30), 0);
  EXPECT_EQ(DayNumber(1970, 1, 1), 25569);
  int y, m, d;
  DateOfDay(DayNumber(2024, 2, 29), y, m, d);
  EXPECT_EQ(y * 10000 + m * 100 + d, 20240229);
}

TEST(TimeLabels, TimeAloneTodayWithTheDateOtherwise) {
  // The label reads the local clock it is given, the same for every kind.
  EXPECT_EQ(TimeLabelFor(kNoon + 5 * 60, Delivered, kToday), "12:05");
  EXPECT_EQ(TimeLabelFor(kNoon + 5 * 60, Received, kToday), "12:05");
  EXPECT_EQ(TimeLabelFor(kNoon - 86400, Delivered, kToday), "12:00, 7.12.2026");
  EXPECT_EQ(TimeLabelFor(kNoon - 3 * 3600 - 60, Delivered, kToday), "8:59");  // no leading zero
  EXPECT_EQ(TimeLabelFor(kNoon, Queued, kToday), "(oczekuje) 12:00");
  EXPECT_EQ(TimeLabelFor(kNoon, NotDelivered, kToday), "(nie dostarczono) 12:00");
  EXPECT_EQ(TimeLabelFor(0, Received, kToday), "0:00, 1.01.1970");
  EXPECT_EQ(TimeLabelFor(-1800, Received, kToday), "23:30, 31.12.1969");
}

// The partner writes at 17:17 UTC and the user answers a minute later: on
// the machine's clock the answer reads a minute after the question, in
// whatever zone the machine is, summer time and its change included; own
// and received messages of another day carry the same date.
TEST(TimeLabels, AnAnswerReadsAfterItsQuestionInEveryZone) {
  FakeMeasure measure;
  constexpr uint32_t kQuestion = 1796750220;  // 2026-12-08 17:17 UTC
  constexpr uint32_t kSummerNoon = 1783512000;  // 2026-07-08 12:00 UTC
  struct Case {
    const char* zone;
    const char* question;
    const char* answer;
    const char* summer;
  };
  for (const Case& c : {Case{"UTC", "17:17", "17:18", "12:00, 8.07.2026"},
                        Case{"Europe/Warsaw", "18:17", "18:18", "14:00, 8.07.2026"},
                        Case{"America/New_York", "12:17", "12:18", "8:00, 8.07.2026"}}) {
    SCOPED_TRACE(c.zone);
    ZoneScope zone(c.zone);
    ConversationLayout view{measure, [] { return kToday; }};
    view.SetTextAreaWidth(300);
    view.AddMessage("o ktorej?", kQuestion, Received);
    view.AddMessage("zaraz", kQuestion + 60, Delivered);
    view.AddMessage("latem", kSummerNoon, Received);
    view.AddMessage("latem tez", kSummerNoon, Delivered);
    EXPECT_EQ(view.Messages()[0].TimeLabel, c.question);
    EXPECT_EQ(view.Messages()[1].TimeLabel, c.answer);
    EXPECT_EQ(view.Messages()[2].TimeLabel, c.summer);
    EXPECT_EQ(view.Messages()[3].TimeLabel, c.summer) << "own and received times read on one clock";
  }
  // 2026-10-25 in Warsaw: 2:30 summer time, then an hour later 2:30 winter
  // time; on the day of the change the date is not repeated.
  ZoneScope zone("Europe/Warsaw");
  ConversationLayout view{measure, [] { return DayNumber(2026, 10, 25); }};
  view.AddMessage("przed", 1792888200, Received);
  view.AddMessage("po", 1792891800, Queued);
  EXPECT_EQ(view.Messages()[0].TimeLabel, "2:30");
  EXPECT_EQ(view.Messages()[1].TimeLabel, "(oczekuje) 2:30");
}

TEST_F(Layout, OneLineMessageHeightAndTotals) {
  view.SetTextAreaWidth(300);
  const Wiersz& w = Add("ala ma kota");
  EXPECT_EQ(w.TimeLabel, "12:00");
  ASSERT_EQ(w.Lines.size(), 1u);
  EXPECT_EQ(w.Lines[0], "ala ma kota");
  EXPECT_EQ(w.Height, 8 + 15);
  Add("a\r\n\r\nb");
  EXPECT_EQ(view.Messages().back().Lines, (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(view.TotalHeight(), 23 + 8 + 45);
  // Only CR LF ends a paragraph; leading spaces are pieces of their own.
  EXPECT_EQ(Add("  a\nb\rc").Lines, (std::vector<std::string>{"  a\nb\rc"}));
}

TEST_F(Layout, WrapsBeforeTheWordThatDoesNotFitAndLeavesRoomForTheLabel) {
  // Label "12:00" is 25 px: the first line has 100 - 25 - 5 = 70 px (11
  // bytes), later lines 95 px (15 bytes).
  view.SetTextAreaWidth(100);
  const Wiersz& w = Add("aaaa bbbb cccc dddd eeee ffff");
  EXPECT_EQ(w.Lines, (std::vector<std::string>{"aaaa bbbb ", "cccc dddd eeee ", "ffff"}));
  EXPECT_EQ(w.Height, 8 + 3 * 15);
}

TEST_F(Layout, TooWideWordIsSplitWithASoftHyphen) {
  view.SetTextAreaWidth(100);  // 70 px, then 95 px
  const Wiersz& w = Add("x " + std::string(30, 'w'));
  // After "x " (12 px) the word fills the rest of the first line: 8 bytes
  // and the hyphen make 54 px; the next line takes 14 and the hyphen.
  ASSERT_EQ(w.Lines.size(), 3u);
  EXPECT_EQ(w.Lines[0], "x " + std::string(8, 'w') + kSoftHyphen);
  EXPECT_EQ(w.Lines[1], std::string(14, 'w') + kSoftHyphen);
  EXPECT_EQ(w.Lines[2], std::string(8, 'w'));
}

TEST_F(Layout, NarrowViewStillEndsPlacingEachPieceAlone) {
  view.SetTextAreaWidth(8);  // no width left for any text at all
  const Wiersz& w = Add("ab <usmiech> c");
  ASSERT_EQ(w.Objects.size(), 1u);
  // Every line holds exactly one piece; the word is cut to one byte each.
  EXPECT_EQ(w.Lines, (std::vector<std::string>{std::string("a") + kSoftHyphen, "b ", "\x01 ", "c"}));
  EXPECT_EQ(w.Objects[0].X, 0);
  EXPECT_EQ(w.Objects[0].Y, 4 + 2 * 15);
  EXPECT_EQ(w.Height, 8 + 15 + 15 + 19 + 15);
}

TEST_F(Layout, WwwWordBecomesALinkAndShorthandsInsideAnAddressStay) {
  view.SetTextAreaWidth(400);
  const Wiersz& w = Add("zobacz www.wp.pl/x teraz");
  ASSERT_EQ(w.Links.size(), 1u);
  EXPECT_EQ(w.Links[0].Url, "http://www.wp.pl/x");
  EXPECT_EQ(w.Links[0].Caption, "www.wp.pl/x");
  ASSERT_EQ(w.Objects.size(), 1u);
  EXPECT_EQ(w.Objects[0].Name, "|0");
  EXPECT_EQ(w.Objects[0].Width, 6 * 11);
  EXPECT_EQ(w.Objects[0].Height, 13);
  EXPECT_EQ(w.Objects[0].X, 6 * 7);
  EXPECT_EQ(w.Lines[0], "zobacz \x01 teraz");

  const Wiersz& v = Add("http://a.pl/:) :)");
  ASSERT_EQ(v.Links.size(), 1u);
  EXPECT_EQ(v.Links[0].Url, "http://a.pl/:)");
  // The smile after the space is a picture.
  ASSERT_EQ(v.Objects.size(), 2u);
  EXPECT_EQ(v.Objects[1].Name, "usmiech");
  EXPECT_EQ(v.Lines[0], "\x01 \x01");
}

TEST_F(Layout, AddressBoundsAndUnsafeSchemes) {
  view.SetTextAreaWidth(400);
  const Wiersz& w = Add("ftp>ftp://x.pl/a<b");
  ASSERT_EQ(w.Links.size(), 1u);
  EXPECT_EQ(w.Links[0].Url, "ftp://x.pl/a");
  EXPECT_EQ(w.Lines[0], "ftp>\x01<b");
  // As in the archive, "abchttp" is no scheme a link may have.
  EXPECT_TRUE(Add("go abchttp://x.pl").Links.empty());
  const Wiersz& v = Add("javascript://alert(1) file:///etc/passwd");
  EXPECT_TRUE(v.Links.empty());
  EXPECT_EQ(v.Lines[0], "javascript://alert(1) file:///etc/passwd");
}

TEST_F(Layout, LongAddressIsShortenedUnder200PixelsButOpensWhole) {
  view.SetTextAreaWidth(400);
  const std::string address = "http://example.com/" + std::string(60, 'q');
  const Wiersz& w = Add(address);
  ASSERT_EQ(w.Links.size(), 1u);
  EXPECT_EQ(w.Links[0].Url, address);
  // 199 px at most: 33 bytes, of which 3 are the dots.
  EXPECT_EQ(w.Links[0].Caption, address.substr(0, 30) + "...");
  EXPECT_EQ(w.Objects[0].Width, 198);
  // 198 px is short enough to stay whole.
  const Wiersz& v = Add("http://" + std::string(33 - 7, 'r'));
  EXPECT_EQ(v.Links[0].Caption, "http://" + std::string(33 - 7, 'r'));
  // Exactly 200 px is too wide, and so is a prefix that makes 200 px with
  // the dots: 42 + 128 + 30 px, cut to 42 + 128 + 6 (+ 18 for "...").
  const std::string exact = "http://" + std::string(16, 'M') + "qqqqq";
  const Wiersz& x = Add(exact);
  EXPECT_EQ(x.Links[0].Caption, "http://" + std::string(16, 'M') + "q...");
  EXPECT_EQ(x.Objects[0].Width, 194);
  const Wiersz& u = Add("www." + std::string(30, 's'));  // 34 bytes, 204 px
  EXPECT_EQ(u.Links[0].Caption, "www." + std::string(26, 's') + "...");
}

TEST_F(Layout, PictureTagsOnlyForExistingPictures) {
  view.SetTextAreaWidth(400);
  const Wiersz& w = Add(T("a <Uśmiech> b <nieznany> <> <kwiatek"));
  ASSERT_EQ(w.Objects.size(), 1u);
  EXPECT_EQ(w.Objects[0].Name, "usmiech");
  EXPECT_EQ(w.Objects[0].Width, 18);
  EXPECT_EQ(w.Objects[0].Height, 19);
  EXPECT_EQ(w.Lines[0], "a \x01 b <nieznany> <> <kwiatek");
  EXPECT_EQ(w.Height, 8 + 19);  // the picture raises its line

  measure.pictures.erase("usmiech");
  EXPECT_EQ(Add("<usmiech>").Lines[0], "<usmiech>");
}

TEST_F(Layout, ObjectsKeepTheirPlacesAcrossLines) {
  view.SetTextAreaWidth(100);  // 70 px first line, 95 px later
  const Wiersz& w = Add("abcdefghij <kwiatek> www.a.pl");
  ASSERT_EQ(w.Objects.size(), 2u);
  // The 66-px word and its space fill the first line; the picture (20 px)
  // no longer fits after 66 px.
  EXPECT_EQ(w.Lines, (std::vector<std::string>{"abcdefghij ", "\x01 \x01"}));
  EXPECT_EQ(w.Objects[0].X, 0);
  EXPECT_EQ(w.Objects[0].Y, 4 + 15);
  EXPECT_EQ(w.Objects[1].X, 20 + 6);
  EXPECT_EQ(w.Objects[1].Y, 4 + 15);
  EXPECT_EQ(w.Height, 8 + 15 + 31);
}

TEST_F(Layout, SenderPlaceholderBytesAreDropped) {
  view.SetTextAreaWidth(400);
  const Wiersz& w = Add("a\x01\x01 b :)");
  ASSERT_EQ(w.Objects.size(), 1u);
  EXPECT_EQ(w.Lines[0], "a b \x01");
  EXPECT_EQ(w.Text, "a\x01\x01 b :)");  // the stored text is as received
}

TEST_F(Layout, WidthChangeLaysOutEverythingAgain) {
  view.SetTextAreaWidth(400);
  Add("aaaa bbbb cccc dddd eeee ffff");
  Add("aaaa bbbb cccc dddd eeee ffff");
  EXPECT_EQ(view.TotalHeight(), 2 * 23);
  view.SetTextAreaWidth(100);
  EXPECT_EQ(view.Messages()[0].Lines.size(), 3u);
  EXPECT_EQ(view.TotalHeight(), 2 * (8 + 45));
  EXPECT_EQ(view.Ends()[0], 8 + 45);
}

TEST_F(Layout, AddingThe30002ndMessageLeavesOne) {
  view.SetTextAreaWidth(200);
  for (int i = 0; i < 30001; ++i) view.AddMessage("x", kNoon, Received);
  EXPECT_EQ(view.Messages().size(), 30001u);
  view.SetScrollOffset(500);
  view.AddMessage("ostatnia", kNoon, Received);
  ASSERT_EQ(view.Messages().size(), 1u);
  EXPECT_EQ(view.Messages()[0].Text, "ostatnia");
  EXPECT_EQ(view.TotalHeight(), 23);
  EXPECT_EQ(view.ScrollOffset(), 0);
}

TEST_F(Layout, ShortContentSitsOnTheBottomWithoutABar) {
  view.SetTextAreaWidth(200);
  Add("a");
  Add("b");
  view.SetScrollOffset(40);
  PaintPlan plan = view.Plan(100);
  EXPECT_FALSE(plan.scrollBar);
  EXPECT_FALSE(view.ScrollBarVisible());
  EXPECT_EQ(view.ScrollOffset(), 0);
  EXPECT_EQ(plan.firstTop, 100 - 46);  // the last box's bottom row is row 99
  EXPECT_EQ(plan.first, 0u);
  EXPECT_EQ(plan.last, 2u);
  EXPECT_FALSE(view.PressScrollStrip(195, 50, 100));
}

TEST_F(Layout, ScrollArithmeticOfPaintAndDrag) {
  view.SetTextAreaWidth(200);
  for (int i = 0; i < 10; ++i) Add("m");  // 10 boxes of 23 px: 230 px
  PaintPlan plan = view.Plan(100);       // excess 130
  EXPECT_TRUE(plan.scrollBar);
  EXPECT_EQ(plan.thumbY, 96);  // at the bottom: newest content
  EXPECT_EQ(plan.firstTop, -130);
  EXPECT_EQ(plan.first, 5u);  // box 5 spans -15..7
  EXPECT_EQ(plan.last, 10u);

  // A click in the text area is no drag.
  EXPECT_FALSE(view.PressScrollStrip(200, 50, 100));
  // The top of the strip shows the oldest content.
  EXPECT_TRUE(view.PressScrollStrip(201, 0, 100));
  EXPECT_TRUE(view.Dragging());
  EXPECT_EQ(view.ScrollOffset(), 130);
  plan = view.Plan(100);
  EXPECT_EQ(plan.firstTop, 0);
  EXPECT_EQ(plan.thumbY, 4);
  EXPECT_EQ(plan.first, 0u);
  EXPECT_EQ(plan.last, 5u);  // box 4 starts at 92, box 5 at 115

  // Halfway down the track, half the excess; (1 - 47/92) * 130 = 63.6.
  EXPECT_TRUE(view.DragTo(50, 100));
  EXPECT_EQ(view.ScrollOffset(), 65);
  EXPECT_TRUE(view.DragTo(51, 100));
  EXPECT_EQ(view.ScrollOffset(), 64);
  // Beyond the track's ends the pointer is clamped.
  EXPECT_TRUE(view.DragTo(500, 100));
  EXPECT_EQ(view.ScrollOffset(), 0);
  EXPECT_TRUE(view.DragTo(51, 100));
  EXPECT_EQ(view.Plan(100).thumbY, 51);  // (1 - 64/130) * 92 + 4 = 50.7
  view.Release();
  EXPECT_FALSE(view.DragTo(96, 100));
  EXPECT_EQ(view.ScrollOffset(), 64);

  // A taller view drops the offset to what is left to scroll.
  view.SetScrollOffset(130);
  view.Plan(200);
  EXPECT_EQ(view.ScrollOffset(), 30);
  // Content that fits ends any drag.
  view.PressScrollStrip(201, 10, 200);
  EXPECT_TRUE(view.Dragging());
  view.Plan(300);
  EXPECT_FALSE(view.Dragging());
}

TEST_F(Layout, LinkHitTestFollowsTheScroll) {
  view.SetTextAreaWidth(400);
  Add("see www.a.pl now");  // link at X 24, 48 px wide, 13 high, Y 4
  for (int i = 0; i < 9; ++i) Add("m");
  view.Plan(100);  // 230 px in 100: the link box is scrolled out
  EXPECT_EQ(view.LinkAt(40, 10, 100), nullptr);
  view.SetScrollOffset(130);
  view.Plan(100);
  const Odnosnik* link = view.LinkAt(40, 10, 100);
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(link->Url, "http://www.a.pl");
  // Edges are outside: x from 27 to 73, y from 5 to 16.
  EXPECT_EQ(view.LinkAt(26, 10, 100), nullptr);
  EXPECT_NE(view.LinkAt(27, 10, 100), nullptr);
  EXPECT_NE(view.LinkAt(73, 10, 100), nullptr);
  EXPECT_EQ(view.LinkAt(74, 10, 100), nullptr);
  EXPECT_EQ(view.LinkAt(40, 4, 100), nullptr);
  EXPECT_NE(view.LinkAt(40, 5, 100), nullptr);
  EXPECT_NE(view.LinkAt(40, 16, 100), nullptr);
  EXPECT_EQ(view.LinkAt(40, 17, 100), nullptr);
  // Text and the next box are no link.
  EXPECT_EQ(view.LinkAt(10, 10, 100), nullptr);
  EXPECT_EQ(view.LinkAt(40, 30, 100), nullptr);
}

TEST_F(Layout, BoxTallerThan16BitsKeepsItsHeight) {
  // 5,000 lines of 15 pixels: the box is 75,008 pixels high, its last line a
  // link that the pointer finds with the box scrolled to its bottom.
  view.SetTextAreaWidth(400);
  std::string text;
  for (int i = 0; i < 4999; ++i) text += "a\r\n";
  const Wiersz& w = Add(text + "www.a.pl");
  EXPECT_EQ(w.Height, 8 + 5000 * 15);
  EXPECT_EQ(w.Objects.at(0).Y, 4 + 4999 * 15);
  Add("b");
  EXPECT_EQ(view.TotalHeight(), 75008 + 23);
  view.SetScrollOffset(23);  // the tall box's bottom on the bottom edge
  view.Plan(100);
  const Odnosnik* link = view.LinkAt(10, 100 - 4 - 7, 100);
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(link->Url, "http://www.a.pl");
}

// A selection is kept in the laid-out text, so it holds the same characters
// at any width; a copy writes pictures as their shorthand, links as their
// address, and across messages each time label on a line of its own.
TEST_F(Layout, SelectionHoldsItsTextAtEveryWidthAndCopiesAsWritten) {
  view.SetTextAreaWidth(300);
  Add("hej :) zobacz www.wp.pl/x <Kwiatek>", Received);
  Add("ok", Delivered, kNoon + 60);
  // "hej ", the smile, " zobacz ", the link, " ", the flower.
  EXPECT_EQ(view.LaidOutText(0), "hej \x01 zobacz \x01 \x01\r\n");
  EXPECT_EQ(view.TextLength(0), 16u);
  EXPECT_FALSE(view.HasSelection());

  view.Select({0, 4}, {0, 15});
  EXPECT_EQ(view.SelectedText(), ":) zobacz www.wp.pl/x ");
  view.Select({0, 16}, {0, 0});  // either way round
  EXPECT_EQ(view.SelectedText(), "hej :) zobacz www.wp.pl/x <kwiatek>");
  view.SelectAll();
  EXPECT_EQ(view.SelectedText(), "12:00\nhej :) zobacz www.wp.pl/x <kwiatek>\n12:01\nok");
  EXPECT_TRUE(view.LabelSelected(0));
  // Ending at the very start of a message holds nothing of it, starting at
  // the very end of one nothing of that.
  view.Select({0, 15}, {1, 0});
  EXPECT_EQ(view.SelectedText(), "<kwiatek>");
  EXPECT_FALSE(view.LabelSelected(0));
  view.Select({0, 16}, {1, 1});
  EXPECT_EQ(view.SelectedText(), "o");
  view.Select({0, 16}, {1, 0});
  EXPECT_FALSE(view.HasSelection());

  // Words: letters, a picture or a link alone, a run of spaces.
  EXPECT_EQ(view.WordAt({0, 8}), std::make_pair(TextPosition{0, 6}, TextPosition{0, 12}));
  EXPECT_EQ(view.WordAt({0, 13}), std::make_pair(TextPosition{0, 13}, TextPosition{0, 14}));
  EXPECT_EQ(view.WordAt({0, 3}), std::make_pair(TextPosition{0, 3}, TextPosition{0, 4}));
  EXPECT_EQ(view.WordAt({1, 5}), std::make_pair(TextPosition{1, 0}, TextPosition{1, 2}));

  // The pointer: the box of message 0 starts at the top of a view as tall as
  // the content; "hej" begins 2 pixels in, 6 pixels a letter.
  const int height = static_cast<int>(view.TotalHeight());
  EXPECT_EQ(view.PositionAt(9, 9, height), (TextPosition{0, 1}));        // left half of "e"
  EXPECT_EQ(view.PositionAt(13, 9, height), (TextPosition{0, 2}));       // right half
  EXPECT_EQ(view.PositionAt(13, 9, height, true), (TextPosition{0, 1}));  // the "e" itself
  EXPECT_EQ(view.PositionAt(290, 9, height), (TextPosition{0, 16}));     // beyond the line: its end
  EXPECT_EQ(view.PositionAt(5, -30, height), (TextPosition{0, 0}));
  EXPECT_EQ(view.PositionAt(5, height + 30, height), (TextPosition{1, 2}));
  EXPECT_EQ(view.PositionAt(14, height - 5, height), (TextPosition{1, 2}));
}

TEST_F(Layout, BrokenWordsHyphensAreNotTextAndGoWithTheirHead) {
  view.SetTextAreaWidth(60);
  // First line 60 - 25 - 5 = 30 px: "aaaa" and the hyphen; then 55 px.
  const Wiersz& w = Add(std::string(20, 'a'));
  ASSERT_EQ(w.Lines, (std::vector<std::string>{"aaaa\xAD", "aaaaaaaa\xAD", "aaaaaaaa"}));
  EXPECT_EQ(w.LineStarts, (std::vector<uint32_t>{0, 4, 12}));
  ASSERT_EQ(w.Hyphens.size(), 2u);
  EXPECT_EQ(view.LineOffset(0, 1, 0), 4u);
  EXPECT_EQ(view.LineOffset(0, 1, 8), 12u);  // the hyphen: where the word goes on
  EXPECT_EQ(view.LineOffset(0, 1, 9), 12u);

  view.Select({0, 2}, {0, 6});
  EXPECT_EQ(view.SelectedInLine(0, 0), std::make_pair(std::size_t{2}, std::size_t{5}));  // with the hyphen
  EXPECT_EQ(view.SelectedInLine(0, 1), std::make_pair(std::size_t{0}, std::size_t{2}));
  EXPECT_EQ(view.SelectedInLine(0, 2), std::make_pair(std::size_t{0}, std::size_t{0}));
  EXPECT_EQ(view.SelectedText(), "aaaa");

  view.SetTextAreaWidth(300);  // one line now: the same four letters
  ASSERT_EQ(w.Lines.size(), 1u);
  EXPECT_TRUE(w.Hyphens.empty());
  EXPECT_EQ(view.SelectedInLine(0, 0), std::make_pair(std::size_t{2}, std::size_t{6}));
  EXPECT_EQ(view.SelectedText(), "aaaa");

  // Scrolling stays within the content.
  view.SetTextAreaWidth(60);
  view.ScrollBy(1000, 20);
  EXPECT_EQ(view.ScrollOffset(), view.TotalHeight() - 20);
  view.ScrollBy(-5, 20);
  EXPECT_EQ(view.ScrollOffset(), view.TotalHeight() - 25);
  view.ScrollBy(-1000, 20);
  EXPECT_EQ(view.ScrollOffset(), 0);
}
