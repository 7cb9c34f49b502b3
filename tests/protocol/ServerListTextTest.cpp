#include <gtest/gtest.h>

#include "platform/Cp1250.h"
#include "protocol/ServerListText.h"

using namespace server_list;

namespace {

ServerListEntry Entry(uint32_t numer, std::string nazwisko, std::string wyswietl, std::string telefon = {},
                      std::string email = {}) {
  return ServerListEntry{numer, std::move(nazwisko), std::move(wyswietl), std::move(telefon), std::move(email)};
}

}  // namespace

TEST(ServerListText, ExportSplitsTheNameAtItsFirstBlankAndPrefixesThePhone) {
  EXPECT_EQ(ExportLine(Entry(1234, T("Jan Maria Rokita"), T("Janek"), "600-700-800", "jan@example.pl")),
            T("Jan;Maria Rokita;;Janek;+48600700800;;1234;jan@example.pl;0;;0;;0;\r\n"));
  EXPECT_EQ(ExportLine(Entry(7, "Zosia", "Zosia")), "Zosia;;;Zosia;;;7;;0;;0;;0;\r\n");
  EXPECT_EQ(ExportLine(Entry(8, "", "")), ";;;;;;8;;0;;0;;0;\r\n");
  // Nothing in a field may end it or the line.
  EXPECT_EQ(ExportLine(Entry(9, "Ala;Kot", "a\r\nb", "12;", std::string("x\0y", 3))),
            "Ala;Kot;;a  b;+4812 ;;9;x y;0;;0;;0;\r\n");
  EXPECT_EQ(ExportList({Entry(1, "A", "a"), Entry(2, "B", "b")}),
            "A;;;a;;;1;;0;;0;;0;\r\nB;;;b;;;2;;0;;0;;0;\r\n");
}

TEST(ServerListText, ImportReadsFieldsAndDropsLinesWithoutANumber) {
  const std::string text = T(
      "Jan;Maria Rokita;;Janek;+48600700800;;1234;jan@example.pl;0;;0;;0;\r\n"
      "  ; Ewa ;nick;Ewa;;grupa;0055;e@x\r\n"     // outer blanks go, leading zeros do not matter
      "Bez;numeru;;Nikt;;;0;;\r\n"               // number 0
      "Litery;;;Nikt;;;12a;\r\n"                 // unreadable number
      "Za;duży;;Nikt;;;2147483648;\r\n"          // beyond any number
      "tylko;dwa\r\n"                            // too few fields
      "a;b;c\r\n"
      "\r\n"
      "Ostatni;;;Ost;123;;77");                   // a last line without CR, phone kept as it is
  const auto entries = Parse(text);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0], Entry(1234, T("Jan Maria Rokita"), "Janek", "600700800", "jan@example.pl"));
  EXPECT_EQ(entries[1], Entry(55, "Ewa", "Ewa", "", "e@x"));
  EXPECT_EQ(entries[2], Entry(77, "Ostatni", "Ost", "123", ""));

  // Fields are cut to the record's capacities.
  const auto cut = Parse(std::string(70, 'n') + ";;;" + std::string(40, 'w') + ";12345678901234;;5;" +
                         std::string(60, 'e'));
  ASSERT_EQ(cut.size(), 1u);
  EXPECT_EQ(cut[0].nazwisko, std::string(64, 'n'));
  EXPECT_EQ(cut[0].wyswietl, std::string(36, 'w'));
  EXPECT_EQ(cut[0].telefon, "678901234");
  EXPECT_EQ(cut[0].email, std::string(48, 'e'));
}

TEST(ServerListText, LineEndsAreCarriageReturnsTakingTheByteAfterThem) {
  // LF alone ends nothing: two lines read as one, whose number is the first's.
  const auto lf = Parse("A;;;a;;;1;;0;;0;;0;\nB;;;b;;;2;;0;;0;;0;\n");
  ASSERT_EQ(lf.size(), 1u);
  EXPECT_EQ(lf[0].numer, 1u);
  // A lone CR takes the next byte with it.
  const auto cr = Parse("A;;;a;;;1;\rXB;;;b;;;2;");
  ASSERT_EQ(cr.size(), 2u);
  EXPECT_EQ(cr[1].nazwisko, "B");
}

TEST(ServerListText, AnExportedListReadsBackAsItWasWithBrokenBytesBlanked) {
  const std::vector<ServerListEntry> list = {
      Entry(1001, T("Łucja Nowak"), T("Łucja"), "600700800", "lucja@example.pl"),
      Entry(1002, "Cher", "Cher"),
      Entry(1003, "Anna;Maria\r\nZ", "x;y", "", "a\nb"),
  };
  const auto back = Parse(ExportList(list));
  ASSERT_EQ(back.size(), 3u);
  EXPECT_EQ(back[0], list[0]);
  EXPECT_EQ(back[1], list[1]);
  EXPECT_EQ(back[2], Entry(1003, "Anna Maria  Z", "x y", "", "a b"));
}
