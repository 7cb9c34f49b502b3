#include "app/Geometry.h"

#include <algorithm>

int ScaleHalfEven(int n, int mul, int div) {
  const long long num = static_cast<long long>(n) * mul;
  long long q = num / div;
  const long long twiceRest = 2 * (num % div);
  if (twiceRest > div || (twiceRest == div && (q & 1))) ++q;
  return static_cast<int>(q);
}

WindowGeometry DefaultGeometry(int screenWidth, int screenHeight) {
  WindowGeometry g;
  g.width = 250;
  g.height = 550;
  if (screenHeight < 600) g.height = std::max(screenHeight - 50, 200);
  if (screenWidth < 800) g.width = 200;
  if (screenWidth > 1024) g.width = ScaleHalfEven(screenWidth, 250, 1024);
  if (screenHeight > 768) g.height = ScaleHalfEven(screenHeight, 550, 768);
  g.top = (screenHeight - g.height) / 3;
  g.left = screenWidth - g.width - 28;
  return g;
}
