#pragma once
// Whether the window system tells a program where its top-level windows are
// and carries out the program's moves. X11 does. A Wayland compositor keeps
// the places to itself: a window's position reads 0,0 there and a move is
// not done, so a place read there would be made up, and only the
// compositor can move a window (QWindow::startSystemMove).

#include <optional>

bool PlatformTellsWindowPlace();

// A test answers the question itself; nullopt asks the platform again.
void OverridePlatformTellsWindowPlace(std::optional<bool> answer);
