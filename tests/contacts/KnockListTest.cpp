#include <gtest/gtest.h>

#include "contacts/KnockList.h"
#include "platform/Cp1250.h"

TEST(KnockList, EachNumberOnceInOrderOfArrival) {
  KnockList k;
  EXPECT_TRUE(k.Empty());
  EXPECT_TRUE(k.Add(333));
  EXPECT_TRUE(k.Add(1000001));
  EXPECT_FALSE(k.Add(333));
  EXPECT_TRUE(k.Add(7));
  EXPECT_EQ(k.Numbers(), (std::vector<std::string>{"333", "1000001", "7"}));
  k.RemoveAt(0);
  k.RemoveAt(5);   // out of range: nothing
  k.RemoveAt(-1);
  EXPECT_EQ(k.Numbers(), (std::vector<std::string>{"1000001", "7"}));
  // A dropped number knocks again as a new entry, at the end.
  EXPECT_TRUE(k.Add(333));
  EXPECT_EQ(k.At(2), "333");
  k.Clear();
  EXPECT_TRUE(k.Empty());
}

TEST(KnockList, HintCountsPersonsWithTheRightEnding) {
  KnockList k;
  EXPECT_EQ(cp1250::toUtf8(k.Hint()), "Masz pukanie od 0 osoby");
  k.Add(1);
  EXPECT_EQ(cp1250::toUtf8(k.Hint()), "Masz pukanie od 1 osoby");
  k.Add(2);
  EXPECT_EQ(cp1250::toUtf8(k.Hint()), "Masz pukanie od 2 osób");
  for (uint32_t n = 3; n <= 12; ++n) k.Add(n);
  EXPECT_EQ(cp1250::toUtf8(k.Hint()), "Masz pukanie od 12 osób");
}
