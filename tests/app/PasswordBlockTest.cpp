#include <gtest/gtest.h>

#include <string>

#include "app/PasswordBlock.h"

namespace {

// The key stream written out: k0 = number & 0xFF, k[i] = k[i-1] ^ i.
std::string HandBlock(const std::string& p32, uint32_t numer) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  uint8_t k = numer & 0xFF;
  for (int i = 1; i <= 32; ++i) {
    k ^= uint8_t(i);
    const uint8_t s = uint8_t(p32[i - 1]) ^ k;
    out += kHex[s >> 4];
    out += kHex[s & 15];
  }
  return out;
}

}  // namespace

TEST(PasswordBlockTest, ThirtyTwoBytesFillTheBlockWithoutTerminator) {
  const std::string pw = "abcdefghijklmnopqrstuvwxyz012345";
  ASSERT_EQ(pw.size(), 32u);
  EXPECT_EQ(ScramblePassword(pw, 0x1234), HandBlock(pw, 0x1234));
  EXPECT_EQ(UnscramblePassword(HandBlock(pw, 0x1234), 0x1234), pw);
  EXPECT_EQ(ScramblePassword(pw + "XYZ", 0x1234), HandBlock(pw, 0x1234)) << "cut to 32";
}

TEST(PasswordBlockTest, ThirtyOneBytesHaveTheTerminatorLast) {
  const std::string pw(31, '\xB9');  // Windows-1250 "ą"
  EXPECT_EQ(ScramblePassword(pw, 77), HandBlock(pw + '\0', 77));
  EXPECT_EQ(UnscramblePassword(ScramblePassword(pw, 77), 77), pw);
}

TEST(PasswordBlockTest, ShortPasswordsRoundTripWithRandomTail) {
  const std::string a = ScramblePassword("tajne", 4242);
  const std::string b = ScramblePassword("tajne", 4242);
  EXPECT_EQ(a.substr(0, 12), HandBlock(std::string("tajne") + '\0' + std::string(26, '\0'), 4242).substr(0, 12));
  EXPECT_NE(a, b) << "bytes after the terminator are random";
  EXPECT_EQ(UnscramblePassword(a, 4242), "tajne");
  EXPECT_EQ(UnscramblePassword(ScramblePassword("", 1), 1), "");
  // Numbers sharing the low 8 bits share the key stream.
  EXPECT_EQ(UnscramblePassword(a, 4242 + 256), "tajne");
  EXPECT_NE(UnscramblePassword(a, 4243), "tajne");
}

TEST(PasswordBlockTest, LowerCaseDigitsReadAndDamagedBlocksGiveNoPassword) {
  std::string block = ScramblePassword("haslo", 9);
  for (char& c : block) c = char(std::tolower(static_cast<unsigned char>(c)));
  EXPECT_EQ(UnscramblePassword(block, 9), "haslo");
  block[40] = 'g';
  EXPECT_EQ(UnscramblePassword(block, 9), "");
  EXPECT_EQ(UnscramblePassword(block.substr(0, 63), 9), "");
}
