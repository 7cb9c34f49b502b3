#include <gtest/gtest.h>

#include "app/Geometry.h"

TEST(Geometry, DefaultsForSmallUsualAndLargeScreens) {
  EXPECT_EQ(DefaultGeometry(640, 480), (WindowGeometry{640 - 200 - 28, (480 - 430) / 3, 200, 430}));
  EXPECT_EQ(DefaultGeometry(1024, 768), (WindowGeometry{1024 - 250 - 28, (768 - 550) / 3, 250, 550}));
  // 312.5 rounds to 312 (ties to even); 1024 * 550 / 768 = 733.33.
  EXPECT_EQ(DefaultGeometry(1280, 1024), (WindowGeometry{940, 97, 312, 733}));
  EXPECT_EQ(DefaultGeometry(320, 200).height, 200);  // at least 200
}

TEST(Geometry, HalfEvenRounding) {
  EXPECT_EQ(ScaleHalfEven(1280, 250, 1024), 312);  // 312.5
  EXPECT_EQ(ScaleHalfEven(1288, 250, 1024), 314);  // 314.45
  EXPECT_EQ(ScaleHalfEven(1292, 250, 1024), 315);  // 315.43
  EXPECT_EQ(ScaleHalfEven(1, 3, 2), 2);            // 1.5
  EXPECT_EQ(ScaleHalfEven(5, 1, 2), 2);            // 2.5
}
