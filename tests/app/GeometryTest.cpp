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

// The primary screen's area where the desktop puts it: right of another
// screen, below a panel. A saved place stays while its title strip shows
// on some screen, and comes onto the primary when its monitor has gone.
TEST(Geometry, DefaultPlaceIsWithinThePrimaryAreaAndALostWindowComesBack) {
  const QRect left(0, 0, 1024, 768), primary(1024, 32, 1280, 992);  // a 32-pixel panel on top
  const WindowGeometry g = DefaultGeometry(primary);
  EXPECT_EQ(g, (WindowGeometry{1024 + 1280 - 312 - 28, 32 + (992 - 710) / 3, 312, 710}));

  const WindowGeometry onLeft{100, 100, 250, 545};
  EXPECT_EQ(KeepOnScreens(onLeft, {left, primary}, primary), onLeft);
  const WindowGeometry stripJustShowing{1000, -15, 250, 545};  // 5 pixels of its strip on the left screen
  EXPECT_EQ(KeepOnScreens(stripJustShowing, {left, primary}, primary), stripJustShowing);
  // The left monitor has gone: the window comes to the primary's default place.
  EXPECT_EQ(KeepOnScreens(onLeft, {primary}, primary),
            (WindowGeometry{1024 + 1280 - 250 - 28, 32 + (992 - 545) / 3, 250, 545}));
  // Only the bottom of the window showing is not enough: the strip is what is dragged.
  EXPECT_EQ(KeepOnScreens({1100, -500, 250, 545}, {primary}, primary).top, 32 + (992 - 545) / 3);
  // Taller than the area: its top stays on it.
  EXPECT_EQ(KeepOnScreens({-3000, 0, 250, 1200}, {primary}, primary).top, 32);
}
