#pragma once
// The main window's default place and client size, from the primary
// screen's available area (the screen less the desktop's panels), and
// keeping a saved place within reach when the screens have changed.

#include <QRect>
#include <vector>

struct WindowGeometry {
  int left = 0;
  int top = 0;
  int width = 0;   // client width
  int height = 0;  // client height
  bool operator==(const WindowGeometry&) const = default;
};

// n * mul / div rounded to the nearest integer, ties to even.
int ScaleHalfEven(int n, int mul, int div);

// Sized by the area's size and placed within the area, wherever the area
// lies on the desktop: near its right edge, a third of the way down.
WindowGeometry DefaultGeometry(const QRect& area);
inline WindowGeometry DefaultGeometry(int screenWidth, int screenHeight) {
  return DefaultGeometry(QRect(0, 0, screenWidth, screenHeight));
}

// A saved place whose title strip (its top 20 pixels, where the window is
// dragged) shows on none of the screens' areas is moved, keeping its size,
// to where the default place of the primary screen's area puts a window:
// a monitor that has gone must not take the window with it.
WindowGeometry KeepOnScreens(const WindowGeometry& saved, const std::vector<QRect>& screens,
                             const QRect& primary);
