#include <gtest/gtest.h>

#include <string>

#include "contacts/Kontakt.h"
#include "platform/Cp1250.h"

namespace {

// A record laid out by hand, field by field.
std::string HandRecord() {
  std::string b(168, '\0');
  b[0] = 0x39; b[1] = 0x30; b[2] = 0x00; b[3] = 0x00;  // 12345
  const std::string nazwisko = T("Łucja Żak");
  b[4] = char(nazwisko.size());
  b.replace(5, nazwisko.size(), nazwisko);
  b[69] = 5;
  b.replace(70, 5, "Lucka");
  b[106] = 9;
  b.replace(107, 9, "601234567");
  b[116] = 9;
  b.replace(117, 9, "lu@wp.pl.");
  b[165] = 'x'; b[166] = 'y'; b[167] = 'z';
  return b;
}

}  // namespace

TEST(KontaktTest, ParsesAndWritesTheHandBuiltLayoutByteForByte) {
  const std::string bytes = HandRecord();
  const TKontakt k = TKontakt::Parse(bytes);
  EXPECT_EQ(k.numer, 12345u);
  EXPECT_EQ(k.nazwisko, T("Łucja Żak"));
  EXPECT_EQ(k.wyswietl, "Lucka");
  EXPECT_EQ(k.telefon, "601234567");
  EXPECT_EQ(k.email, "lu@wp.pl.");
  EXPECT_EQ(k.status, 0);
  EXPECT_TRUE(k.opis.empty());

  const auto out = k.Serialise();
  EXPECT_EQ(std::string(out.begin(), out.end()), bytes);
}

TEST(KontaktTest, WritingZeroesEveryByteAfterATextAndCutsToCapacity) {
  std::string bytes(168, '\0');
  bytes[69] = 3;
  bytes.replace(70, 36, std::string(36, 'Q'));  // stale bytes after "QQQ"
  const TKontakt parsed = TKontakt::Parse(bytes);
  const auto out = parsed.Serialise();
  EXPECT_EQ(out[69], 3);
  for (size_t i = 73; i < 106; ++i) EXPECT_EQ(out[i], 0) << i;

  TKontakt longer;
  longer.numer = 0xA1B2C3D4;
  longer.wyswietl = std::string(50, 'w');
  longer.telefon = "+48601234567";
  const auto cut = longer.Serialise();
  EXPECT_EQ(cut[0], 0xD4);
  EXPECT_EQ(cut[3], 0xA1);
  EXPECT_EQ(cut[69], 36);
  EXPECT_EQ(cut[106], 9);  // the phone never spills into the e-mail field
  EXPECT_EQ(cut[116], 0);
  EXPECT_EQ(TKontakt::Parse(cut.data()).telefon, "+48601234");
}

TEST(KontaktTest, ALengthByteBeyondTheFieldReadsAsTheCapacity) {
  std::string bytes(168, 'a');
  bytes[106] = char(200);  // phone claims 200 characters
  const TKontakt k = TKontakt::Parse(bytes);
  EXPECT_EQ(k.telefon, std::string(9, 'a'));
}
