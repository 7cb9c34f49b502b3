#include "platform/desktop/WindowPlace.h"

#include <QGuiApplication>

namespace {
std::optional<bool>& Override() {
  static std::optional<bool> answer;
  return answer;
}
}  // namespace

bool PlatformTellsWindowPlace() {
  if (Override()) return *Override();
  // "wayland", "wayland-egl", "wayland-brcm": Qt's names of its Wayland platforms.
  return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

void OverridePlatformTellsWindowPlace(std::optional<bool> answer) { Override() = answer; }
