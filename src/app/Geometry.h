#pragma once
// The main window's default place and client size, from the primary
// screen's size.

struct WindowGeometry {
  int left = 0;
  int top = 0;
  int width = 0;   // client width
  int height = 0;  // client height
  bool operator==(const WindowGeometry&) const = default;
};

// n * mul / div rounded to the nearest integer, ties to even.
int ScaleHalfEven(int n, int mul, int div);

WindowGeometry DefaultGeometry(int screenWidth, int screenHeight);
