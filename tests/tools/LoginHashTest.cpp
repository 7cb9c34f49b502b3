#include <gtest/gtest.h>

#include <QByteArray>

#include "ggserwer/LoginHash.h"

namespace {

// Written again from the description, in 64-bit arithmetic with explicit
// masking, so that a slip in either version shows as a mismatch.
std::uint32_t referenceHash(std::uint64_t seed, const QByteArray& password) {
  const std::uint64_t m = 0xFFFFFFFFull;
  std::uint64_t y = seed & m, x = 0;
  for (int i = 0; i < password.size(); ++i) {
    x = (x - (x % 256)) + static_cast<unsigned char>(password.at(i));
    y = (y ^ x) & m;
    y = (y + x) & m;
    x = (x * 256) & m;
    y ^= x;
    x = (x * 256) & m;
    y = (y + (m + 1) - x) & m;
    x = (x * 256) & m;
    y ^= x;
    const unsigned z = static_cast<unsigned>(y % 32);
    y = ((y << z) | (y >> (32 - z))) & m;  // in 64 bits y >> 32 is 0 when z == 0
  }
  return static_cast<std::uint32_t>(y);
}

}  // namespace

TEST(LoginHash, EmptyPasswordGivesTheSeed) {
  EXPECT_EQ(ggserwer::loginHash(0, {}), 0u);
  EXPECT_EQ(ggserwer::loginHash(0xCAFEBABE, {}), 0xCAFEBABEu);
}

TEST(LoginHash, KnownValues) {
  // "a" from seed 0, step by step: y = 0x61, 0xC2, 0x61C2, 0xFF9F61C2,
  // 0x9E9F61C2; z = 2; rotated: 0x7A7D870A.
  EXPECT_EQ(ggserwer::loginHash(0, "a"), 0x7A7D870Au);
  EXPECT_EQ(ggserwer::loginHash(0x12345678, "a"), 0xE9C34CDDu);
  // 32 bytes "ABC...`": the top bytes of x carry over between bytes.
  QByteArray p32;
  for (char c = 'A'; c < 'A' + 32; ++c) p32.append(c);
  EXPECT_EQ(ggserwer::loginHash(0xDEADBEEF, p32), 0x54C9AACDu);
  // Windows-1250 letters above 0x7F must not be sign-extended: "hasłoŻółć".
  EXPECT_EQ(ggserwer::loginHash(0x9A3C51E7, QByteArray::fromHex("686173b36faff3b3e6")), 0xCBFB5B6Bu);
}

TEST(LoginHash, AgreesWithAnIndependentVersionOnEveryByte) {
  QByteArray all;
  for (int b = 0; b < 256; ++b) all.append(static_cast<char>(b));
  for (std::uint32_t seed : {0u, 1u, 0x80000000u, 0xFFFFFFFFu, 0x2F6B1A93u}) {
    for (int len : {1, 2, 7, 32, 256})
      EXPECT_EQ(ggserwer::loginHash(seed, all.right(len)), referenceHash(seed, all.right(len)))
          << "seed " << seed << " length " << len;
  }
}
