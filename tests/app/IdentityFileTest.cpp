#include <gtest/gtest.h>

#include <string>

#include "IdentityBytes.h"
#include "app/IdentityFile.h"
#include "platform/Cp1250.h"

namespace {

// The seven colour entries of the default scheme, in the written order.
std::string DefaultColours() {
  return Word(0x80000204) + Word(0x000000) + Word(0x80000B04) + Word(0xFFFFFF) +
         Word(0x80000D04) + Word(0xF0CAA6) + Word(0x80000E04) + Word(0x0000FF) +
         Word(0x80000F04) + Word(0x30DADA) + Word(0x80001404) + Word(0xA04040) +
         Word(0x80001504) + Word(0x404840);
}

const std::string kBlock(64, 'A');

}  // namespace

TEST(IdentityFileTest, WritesTheHandBuiltBytes) {
  TKontakt k;
  k.numer = 700;
  k.wyswietl = T("Łoś");
  k.status = 4;          // run-time fields are not written
  k.opis = "nie";
  const std::string empty = identity_file::Build("", ColourScheme{}, 123456, kBlock, {k});
  EXPECT_EQ(empty, DefaultColours() + Word(123456) + kBlock + RecordBytes(700, T("Łoś")));

  const std::string opis70(70, 'o');
  const std::string withOpis = identity_file::Build(opis70, ColourScheme{}, 5, kBlock, {});
  EXPECT_EQ(withOpis, Word(0x80000146) + opis70 + DefaultColours() + Word(5) + kBlock);
}

TEST(IdentityFileTest, ReadsEntriesSkipsUnknownKindsAndKeepsLongDescriptions) {
  const std::string opis(120, 'x');
  const std::string bytes = Word(0x800001 << 8 | 120) + opis +
                            Word(0x80004A0A) + std::string(10, '\x7F') +  // kind 0x4A, 10 bytes
                            Word(0x80000C04) + Word(0x111111) +           // kind 12: derived, ignored
                            Word(0x80000206) + Word(0x00ABCDEF) + "zz" +  // only 4 bytes count
                            Word(0x80001502) + "ab" +                     // too short: ignored
                            Word(0x7FFFFFFF) + kBlock + RecordBytes(1, "a") + RecordBytes(2, "b");
  const auto c = identity_file::Parse(bytes);
  ASSERT_TRUE(c);
  EXPECT_EQ(c->opis, opis);
  EXPECT_EQ(c->tlo, 0x00ABCDEFu);
  EXPECT_FALSE(c->tekst);
  EXPECT_FALSE(c->wyslane);
  EXPECT_EQ(c->numer, 0x7FFFFFFFu);
  EXPECT_EQ(c->blokHasla, kBlock);
  ASSERT_EQ(c->kontakty.size(), 2u);
  EXPECT_EQ(c->kontakty[1].wyswietl, "b");

  ColourScheme kolory;
  kolory.tekst = 0x123;
  identity_file::ApplyColours(*c, kolory);
  EXPECT_EQ(kolory.tlo, 0x00ABCDEFu);
  EXPECT_EQ(kolory.tekst, 0x123u);

  // Written back, the file keeps the whole description.
  const std::string again = identity_file::Build(*c->opis, kolory, c->numer, c->blokHasla, c->kontakty);
  EXPECT_EQ(again.substr(0, 4 + 120), Word(0x80000178) + opis);
}

TEST(IdentityFileTest, RefusesFilesEndingInsideAnyPart) {
  const std::string whole = Word(0x80000103) + "abc" + DefaultColours() + Word(42) + kBlock +
                            RecordBytes(1, "a");
  ASSERT_TRUE(identity_file::Parse(whole));
  const size_t inEntry = 5;                      // inside the description payload
  const size_t inTag = 4 + 3 + 2;                // inside the first colour tag
  const size_t inNumber = whole.size() - 168 - 64 - 2;
  const size_t inBlock = whole.size() - 168 - 10;
  const size_t inRecord = whole.size() - 1;
  for (size_t cut : {size_t(0), size_t(2), inEntry, inTag, inNumber, inBlock, inRecord}) {
    EXPECT_FALSE(identity_file::Parse(std::string_view(whole).substr(0, cut))) << "cut at " << cut;
  }
  EXPECT_TRUE(identity_file::Parse(std::string_view(whole).substr(0, whole.size() - 168)))
      << "no records is valid";
  EXPECT_FALSE(identity_file::Parse(DefaultColours() + Word(0) + kBlock)) << "number 0";
}
