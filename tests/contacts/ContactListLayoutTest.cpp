#include <gtest/gtest.h>

#include <QCollator>
#include <QLocale>
#include <string>
#include <vector>

#include "contacts/ContactListLayout.h"
#include "contacts/ContactStore.h"
#include "platform/Cp1250.h"

namespace {

// 6 pixels a byte: a 238-pixel list leaves 218 for a line, 36 characters.
int SixPerByte(const std::string& s) { return 6 * static_cast<int>(s.size()); }
constexpr int kWidth = 238;

std::vector<std::string> Wrap(const std::string& opis, bool selected, int width = kWidth) {
  return WrapDescription(opis, selected, width, SixPerByte);
}

using Lines = std::vector<std::string>;

TKontakt Contact(const char* name, uint8_t status, const std::string& opis = {}) {
  TKontakt k;
  k.wyswietl = name;
  k.status = status;
  k.opis = opis;
  return k;
}

}  // namespace

TEST(DescriptionWrap, LineBreaksFlowOnUnselectedRowsAndEndLinesOnTheSelectedOne) {
  const std::string mark = std::string(1, '\xAC') + " ";
  EXPECT_EQ(Wrap("a\r\nb", false), (Lines{"a" + mark + "b"}));
  EXPECT_EQ(Wrap("a\r\nb", true), (Lines{"a", "b"}));
  // A lone LF and a lone CR are line breaks too.
  EXPECT_EQ(Wrap("a\nb", false), (Lines{"a" + mark + "b"}));
  EXPECT_EQ(Wrap("a\rb", false), (Lines{"a" + mark + "b"}));
  EXPECT_EQ(Wrap("a\nb\rc", true), (Lines{"a", "b", "c"}));
  // Blank lines on the selected row do not give empty lines: what follows a
  // break starts at its first printable character.
  EXPECT_EQ(Wrap("a\r\n\r\n  b", true), (Lines{"a", "b"}));
  // A blank before the break is taken with the other blanks after the word,
  // and the break with it: the next word joins the line.
  EXPECT_EQ(Wrap("a \r\nb", true), (Lines{"a b"}));
  // CR LF counts as one break on an unselected row, two CRs as two.
  EXPECT_EQ(Wrap("a\r\n\r\nb", false), (Lines{"a" + mark + mark + "b"}));
}

TEST(DescriptionWrap, BlanksAndControlCharactersAroundTheTextAreDropped) {
  EXPECT_EQ(Wrap("  \t x y \r\n ", false), (Lines{"x y"}));
  EXPECT_EQ(Wrap("\r\nx\r\n", true), (Lines{"x"}));
  // Runs of spaces between words fold into one.
  EXPECT_EQ(Wrap("x    y", false), (Lines{"x y"}));
}

TEST(DescriptionWrap, EmptyOrBlankDescriptionStillTakesOneLine) {
  EXPECT_EQ(Wrap("", false), (Lines{""}));
  EXPECT_EQ(Wrap("   ", false), (Lines{""}));
  EXPECT_EQ(Wrap(" \r\n ", true), (Lines{""}));
}

TEST(DescriptionWrap, WordsWrapAtTheWidthLessTwenty) {
  const std::string six(6, 'x');  // 36 pixels
  // Five words and four spaces: 34 characters, 204 pixels; a sixth word
  // makes 41 characters (246 > 218), so it opens a second line.
  std::string text;
  for (int i = 0; i < 6; ++i) text += (i ? " " : "") + six;
  const std::string five = six + " " + six + " " + six + " " + six + " " + six;
  EXPECT_EQ(Wrap(text, false), (Lines{five, six}));
  // 36 characters (216 pixels) fit in 218, 37 (222) do not.
  const std::string a34(34, 'a'), a35(35, 'a');
  EXPECT_EQ(Wrap(a34 + " b", false), (Lines{a34 + " b"}));
  EXPECT_EQ(Wrap(a35 + " b", false), (Lines{a35, "b"}));
  // The room follows the control's width: 100 leaves 80, 13 characters.
  EXPECT_EQ(Wrap("abcdef abcdef abcdef", false, 100), (Lines{"abcdef abcdef", "abcdef"}));
  // The not-sign of a line break is measured like any character.
  EXPECT_EQ(Wrap(a34 + "\r\nb", false), (Lines{a34 + "\xAC", "b"}));
}

TEST(DescriptionWrap, WordTooWideStandsAloneOnItsLine) {
  const std::string wide(50, 'w');  // 300 pixels
  EXPECT_EQ(Wrap(wide, false), (Lines{wide}));
  EXPECT_EQ(Wrap("x " + wide + " y", false), (Lines{"x", wide, "y"}));
  EXPECT_EQ(Wrap(wide + " " + wide, true), (Lines{wide, wide}));
}

TEST(ContactListLayoutTest, RowsOfEighteenPixelsWithTenPixelDescriptionLines) {
  const TKontakt a = Contact("Ala", 3, "opis"), b = Contact("Bolek", 2, "ukryty opis"),
                 c = Contact("Celina", 1, "x\r\ny"), d = Contact("Darek", 0, "nieobecny");
  const ContactListLayout l = LayOutContactList({&a, &b, &c, &d}, -1, kWidth, 0, SixPerByte);
  ASSERT_EQ(l.rows.size(), 4u);
  // Ala: present with a description: bold, one line under the name.
  EXPECT_EQ(l.rows[0].y, 0);
  EXPECT_TRUE(l.rows[0].bold);
  EXPECT_EQ(l.rows[0].icon, 3);
  ASSERT_EQ(l.rows[0].lines.size(), 1u);
  EXPECT_EQ(l.rows[0].lines[0].y, 18);
  EXPECT_EQ(l.rows[0].lines[0].text, "opis");
  EXPECT_EQ(l.rows[0].bottom, 27);
  // Bolek: status 2 keeps its description to itself.
  EXPECT_EQ(l.rows[1].y, 28);
  EXPECT_TRUE(l.rows[1].bold);
  EXPECT_TRUE(l.rows[1].lines.empty());
  EXPECT_EQ(l.rows[1].bottom, 45);
  // Celina: not present, description shown.
  EXPECT_FALSE(l.rows[2].bold);
  ASSERT_EQ(l.rows[2].lines.size(), 1u);
  EXPECT_EQ(l.rows[2].bottom, 46 + 18 + 10 - 1);
  // Darek: status 0, no description.
  EXPECT_FALSE(l.rows[3].bold);
  EXPECT_TRUE(l.rows[3].lines.empty());
  EXPECT_EQ(l.rows[3].y, 74);
  EXPECT_EQ(l.rows[3].bottom, 91);
  EXPECT_EQ(l.contentEnd, 92);
  for (const ContactRow& r : l.rows) EXPECT_FALSE(r.selected);
}

TEST(ContactListLayoutTest, OnlyOddStatusIndicesShowTheDescription) {
  for (uint8_t status = 0; status <= 6; ++status) {
    const TKontakt k = Contact("K", status, "opis");
    const ContactListLayout l = LayOutContactList({&k}, -1, kWidth, 0, SixPerByte);
    EXPECT_EQ(l.rows[0].lines.size(), (status & 1) ? 1u : 0u) << int(status);
    EXPECT_EQ(l.rows[0].bold, status >= 2) << int(status);
  }
}

TEST(ContactListLayoutTest, SelectedRowKeepsItsLineBreaksAndTheOffsetMovesEveryRow) {
  const TKontakt a = Contact("A", 1, "a\r\nb"), b = Contact("B", 1, "a\r\nb");
  const ContactListLayout l = LayOutContactList({&a, &b}, 1, kWidth, 25, SixPerByte);
  EXPECT_FALSE(l.rows[0].selected);
  EXPECT_TRUE(l.rows[1].selected);
  EXPECT_EQ(l.rows[0].y, -25);
  EXPECT_EQ(l.rows[0].lines.size(), 1u);
  EXPECT_EQ(l.rows[0].bottom, -25 + 28 - 1);
  ASSERT_EQ(l.rows[1].lines.size(), 2u);
  EXPECT_EQ(l.rows[1].y, 3);
  EXPECT_EQ(l.rows[1].lines[0].y, 21);
  EXPECT_EQ(l.rows[1].lines[1].y, 31);
  EXPECT_EQ(l.rows[1].lines[1].text, "b");
  EXPECT_EQ(l.rows[1].bottom, 40);
  EXPECT_EQ(l.contentEnd, 41);
}

TEST(ContactListLayoutTest, StoreGivesDisplayOrderRecordIndicesAndSelection) {
  ContactStore store{QCollator(QLocale(QLocale::Polish))};
  TKontakt z = Contact("Zenon", 0), a = Contact("Adam", 0);
  z.numer = 1;
  a.numer = 2;
  store.Add(z);
  store.Add(a);
  store.ApplyStatus(1, 2, "", 99);  // Zenon present: first
  store.SetSelected(1);
  const ContactListLayout l = LayOutContactList(store, kWidth, 0, SixPerByte);
  ASSERT_EQ(l.rows.size(), 2u);
  EXPECT_EQ(l.rows[0].name, "Zenon");
  EXPECT_EQ(l.rows[0].record, 0);
  EXPECT_EQ(l.rows[1].name, "Adam");
  EXPECT_EQ(l.rows[1].record, 1);
  EXPECT_TRUE(l.rows[1].selected);
  EXPECT_TRUE(LayOutContactList(ContactStore{}, kWidth, 0, SixPerByte).rows.empty());
}

TEST(ContactListLayoutTest, ClickSelectsTheRowWhoseBottomIsBelowIt) {
  const TKontakt a = Contact("A", 1, "opis"), b = Contact("B", 0);
  const ContactListLayout l = LayOutContactList({&a, &b}, -1, kWidth, 0, SixPerByte);
  // Row A spans 0..27, its description 18..27; row B 28..45.
  EXPECT_EQ(PositionAt(l, 0), 0);
  EXPECT_EQ(PositionAt(l, 26), 0);  // the lower part of the description
  // The row's last pixel already belongs to the next row: bottom > y.
  EXPECT_EQ(PositionAt(l, 27), 1);
  EXPECT_EQ(PositionAt(l, 44), 1);
  EXPECT_EQ(PositionAt(l, 45), -1);
  EXPECT_EQ(PositionAt(l, 300), -1);
  EXPECT_EQ(PositionAt(ContactListLayout{}, 0), -1);
}

TEST(ListScrolling, PageDownOnA421PixelListStopsWithTheLastRowAtTheBottom) {
  // 60 rows of 18 pixels: 1080 high.
  const int64_t content = 1080;
  uint32_t off = ScrollPageDown(0, 421, content);
  EXPECT_EQ(off, 371u);
  off = ScrollPageDown(off, 421, content - 371);
  EXPECT_EQ(off, 659u);  // 1080 - 421: only 288 remained
  EXPECT_EQ(content - off, 421);  // the last row ends exactly at the bottom
  // Nothing below any more: page down does nothing.
  EXPECT_EQ(ScrollPageDown(off, 421, content - off), off);
  EXPECT_EQ(ScrollPageDown(0, 421, 421), 0u);
  EXPECT_EQ(ScrollPageDown(0, 421, 100), 0u);
  EXPECT_TRUE(MoreBelow(421, 422));
  EXPECT_FALSE(MoreBelow(421, 421));
}

TEST(ListScrolling, PageUpGoesBackAPageOrToTheTop) {
  EXPECT_EQ(ScrollPageUp(659, 421), 288u);
  EXPECT_EQ(ScrollPageUp(372, 421), 1u);
  EXPECT_EQ(ScrollPageUp(371, 421), 0u);
  EXPECT_EQ(ScrollPageUp(10, 421), 0u);
  EXPECT_EQ(ScrollPageUp(0, 421), 0u);
  // A list smaller than 50 pixels still moves back.
  EXPECT_LT(ScrollPageUp(100, 30), 100u);
}

TEST(ListScrolling, WheelMovesTwentyPixelsOrToEitherEnd) {
  EXPECT_EQ(ScrollWheelUp(45), 25u);
  EXPECT_EQ(ScrollWheelUp(21), 1u);
  EXPECT_EQ(ScrollWheelUp(20), 0u);
  EXPECT_EQ(ScrollWheelUp(3), 0u);
  EXPECT_EQ(ScrollWheelDown(0, 421, 500), 20u);   // 79 below
  EXPECT_EQ(ScrollWheelDown(0, 421, 441), 20u);   // exactly 20 below
  EXPECT_EQ(ScrollWheelDown(100, 421, 428), 107u);  // 7 below
  EXPECT_EQ(ScrollWheelDown(100, 421, 421), 100u);  // nothing below
}

TEST(ListScrolling, ScrolledPastTheEndAfterRemovalsRecoversByScrollingUp) {
  // Scrolled down by 2000, then most contacts went: the last row now ends
  // 1900 pixels above the control's top.
  const uint32_t off = 2000;
  const int64_t contentEnd = -1900;
  // Nothing is below: the down moves are no-ops, and nothing wraps.
  EXPECT_EQ(ScrollPageDown(off, 421, contentEnd), off);
  EXPECT_EQ(ScrollWheelDown(off, 421, contentEnd), off);
  // Up moves bring the offset back to 0 in a bounded number of steps.
  uint32_t o = off;
  int steps = 0;
  while (o != 0 && steps < 100) {
    const uint32_t next = ScrollPageUp(o, 421);
    ASSERT_LT(next, o);
    o = next;
    ++steps;
  }
  EXPECT_EQ(o, 0u);
  EXPECT_EQ(steps, 6);  // 2000 = 5 * 371 + 145
  // Large offsets never wrap past the 32-bit range.
  EXPECT_EQ(ScrollPageDown(0xFFFFFF00u, 421, int64_t{1} << 40), 0xFFFFFFFFu);
  EXPECT_EQ(ScrollWheelDown(0xFFFFFFF0u, 421, int64_t{1} << 40), 0xFFFFFFFFu);
}
