#include "app/Geometry.h"

#include <algorithm>

int ScaleHalfEven(int n, int mul, int div) {
  const long long num = static_cast<long long>(n) * mul;
  long long q = num / div;
  const long long twiceRest = 2 * (num % div);
  if (twiceRest > div || (twiceRest == div && (q & 1))) ++q;
  return static_cast<int>(q);
}

namespace {

// Left and top of a window of the given size in the area.
QPoint DefaultPlace(const QRect& area, int width, int height) {
  return {area.x() + area.width() - width - 28, area.y() + (area.height() - height) / 3};
}

}  // namespace

WindowGeometry DefaultGeometry(const QRect& area) {
  const int screenWidth = area.width(), screenHeight = area.height();
  WindowGeometry g;
  g.width = 250;
  g.height = 550;
  if (screenHeight < 600) g.height = std::max(screenHeight - 50, 200);
  if (screenWidth < 800) g.width = 200;
  if (screenWidth > 1024) g.width = ScaleHalfEven(screenWidth, 250, 1024);
  if (screenHeight > 768) g.height = ScaleHalfEven(screenHeight, 550, 768);
  const QPoint place = DefaultPlace(area, g.width, g.height);
  g.left = place.x();
  g.top = place.y();
  return g;
}

WindowGeometry KeepOnScreens(const WindowGeometry& saved, const std::vector<QRect>& screens,
                             const QRect& primary) {
  const QRect strip(saved.left, saved.top, std::max(saved.width, 1), 20);
  for (const QRect& screen : screens)
    if (screen.intersects(strip)) return saved;
  WindowGeometry moved = saved;
  const QPoint place = DefaultPlace(primary, saved.width, saved.height);
  // Larger than the area: its top left corner stays on it.
  moved.left = std::max(place.x(), primary.x());
  moved.top = std::max(place.y(), primary.y());
  return moved;
}
