#include <gtest/gtest.h>

#include "platform/Cp1250.h"
#include "protocol/StatusMap.h"

TEST(StatusMap, CodesFromIndices) {
  const uint8_t visible[] = {1, 21, 2, 4, 3, 5, 6};
  const uint8_t invisible[] = {20, 22, 2, 4, 3, 5, 6};
  for (uint32_t i = 0; i < 7; ++i) {
    EXPECT_EQ(status::CodeFromIndex(i, false), visible[i]) << i;
    EXPECT_EQ(status::CodeFromIndex(i, true), invisible[i]) << i;
  }
  EXPECT_EQ(status::CodeFromIndex(7, false), 7);
  EXPECT_EQ(status::CodeFromIndex(0x103, false), 4);  // only the low 8 bits
}

TEST(StatusMap, IndicesFromCodesAndBack) {
  const struct { uint32_t code; uint8_t index; } table[] = {
      {1, 0}, {20, 0}, {21, 1}, {22, 1}, {2, 2}, {4, 3}, {3, 4}, {5, 5}, {6, 6}};
  for (auto [code, index] : table) {
    EXPECT_EQ(status::IndexFromCode(code), index) << code;
    EXPECT_EQ(status::CodeHasDescription(code), (index & 1) == 1) << code;
  }
  EXPECT_EQ(status::IndexFromCode(7), 7);      // unknown codes stay as they are
  EXPECT_EQ(status::IndexFromCode(0x1502), 2);  // only the low 8 bits
}

TEST(StatusMap, LabelsOwnAndContact) {
  std::string label;
  ASSERT_TRUE(status::Label(1, true, label));
  EXPECT_EQ(label, T("nie ma mnie"));
  ASSERT_TRUE(status::Label(0, false, label));
  EXPECT_EQ(label, T("niedostępny"));
  ASSERT_TRUE(status::Label(3, false, label));
  EXPECT_EQ(label, T("dostępny"));
  ASSERT_TRUE(status::Label(5, true, label));
  EXPECT_EQ(label, T("zaraz wracam"));
  ASSERT_TRUE(status::Label(6, false, label));
  EXPECT_EQ(label, T("zablokowany"));

  label = "unchanged";
  EXPECT_FALSE(status::Label(7, false, label));
  EXPECT_EQ(label, "unchanged");
}
