#include <gtest/gtest.h>

#include "platform/TimeZone.h"
#include "support/ZoneScope.h"

namespace {
constexpr int64_t kWinterNoon = 1796731200;  // 2026-12-08 12:00 UTC
constexpr int64_t kSummerNoon = 1783512000;  // 2026-07-08 12:00 UTC
constexpr int64_t kHour = 3600;
}  // namespace

TEST(TimeZone, TheLocalClockIsTheMachinesZoneWithItsSummerTime) {
  {
    ZoneScope zone("UTC");
    EXPECT_EQ(LocalWallSeconds(kWinterNoon), kWinterNoon);
    EXPECT_EQ(LocalWallSeconds(kSummerNoon), kSummerNoon);
  }
  {
    ZoneScope zone("Europe/Warsaw");
    EXPECT_EQ(LocalWallSeconds(kWinterNoon), kWinterNoon + kHour);
    EXPECT_EQ(LocalWallSeconds(kSummerNoon), kSummerNoon + 2 * kHour);
  }
  {
    ZoneScope zone("America/New_York");
    EXPECT_EQ(LocalWallSeconds(kWinterNoon), kWinterNoon - 5 * kHour);
    EXPECT_EQ(LocalWallSeconds(kSummerNoon), kSummerNoon - 4 * kHour);
  }
  {
    ZoneScope zone("Asia/Kolkata");  // half an hour counts too
    EXPECT_EQ(LocalWallSeconds(kWinterNoon), kWinterNoon + 5 * kHour + 1800);
  }
}

TEST(TimeZone, EachMomentTakesTheOffsetInForceThenAcrossAChange) {
  ZoneScope zone("Europe/Warsaw");
  // 2026-03-29 01:00 UTC: 2:00 becomes 3:00.
  EXPECT_EQ(LocalWallSeconds(1774745999) % 86400, 1 * kHour + 59 * 60 + 59);
  EXPECT_EQ(LocalWallSeconds(1774746000) % 86400, 3 * kHour);
  // 2026-10-25 01:00 UTC: 3:00 becomes 2:00, and 2:30 comes twice.
  EXPECT_EQ(LocalWallSeconds(1792888200) % 86400, 2 * kHour + 1800);
  EXPECT_EQ(LocalWallSeconds(1792891800) % 86400, 2 * kHour + 1800);
  {
    ZoneScope other("America/New_York");
    // 2026-03-08 07:00 UTC: 2:00 becomes 3:00.
    EXPECT_EQ(LocalWallSeconds(1772953199) % 86400, 1 * kHour + 59 * 60 + 59);
    EXPECT_EQ(LocalWallSeconds(1772953200) % 86400, 3 * kHour);
  }
}
