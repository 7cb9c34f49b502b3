#include <gtest/gtest.h>

#include "platform/Cp1250.h"
#include "protocol/LoginHash.h"

// Vectors worked out by hand and by an independent script.
TEST(LoginHash, KnownVectors) {
  EXPECT_EQ(LoginHash("", 0x12345678u), 0x12345678u);  // empty password: the seed
  EXPECT_EQ(LoginHash("a", 0x12345678u), 0xE9C34CDDu);
  EXPECT_EQ(LoginHash("A", 0), 0xFAFD060Au);
  EXPECT_EQ(LoginHash("ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`", 0xDEADBEEFu), 0x54C9AACDu);
  // Bytes above 127 count as unsigned.
  EXPECT_EQ(LoginHash(T("hasło"), 0x01020304u), 0x13C99718u);
}

TEST(LoginHash, EveryByteCountsEvenAZero) {
  const std::string withZero("ab\0c", 4);
  EXPECT_NE(LoginHash(withZero, 7), LoginHash("ab", 7));
  EXPECT_NE(LoginHash(withZero, 7), LoginHash("abc", 7));
}
