#include <gtest/gtest.h>

#include "platform/TimeZone.h"

TEST(TimeZone, StandardTimeIsMinusSixtyElseMinusHundredTwenty) {
  EXPECT_EQ(TimeZoneOffsetFor(0), -60);
  EXPECT_EQ(TimeZoneOffsetFor(1), -120);
  EXPECT_EQ(TimeZoneOffsetFor(-1), -120);  // the C library cannot tell
  // Stored as 16 bits, the two values read back as the unsigned numbers
  // other code may compare with.
  EXPECT_EQ(static_cast<uint16_t>(TimeZoneOffsetFor(0)), 65476);
  EXPECT_EQ(static_cast<uint16_t>(TimeZoneOffsetFor(1)), 65416);
}

TEST(TimeZone, FollowsTheEnvironmentsZone) {
  setenv("TZ", "UTC", 1);
  tzset();
  EXPECT_EQ(TimeZoneOffset(), -60);
}
