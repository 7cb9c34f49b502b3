#pragma once

#include <QImage>
#include <vector>

// The pictures of the main window's image lists and the tray animation.
namespace rysownik {

// The 16 pictures of the small list (16 x 16), in list order: status icons
// 0..6 by status index, then minimise, window size, plus, minus, edit,
// about, up, down and knock.
std::vector<QImage> smallList();

// The 7 pictures of the large list (32 x 32): status pictures 0..5 by status
// index and the settings gear at 6, drawn in its left 16 columns because the
// settings button is 16 pixels wide.
std::vector<QImage> largeList();

// Tray frames, 22 x 22 on a transparent ground; frame 0 is the resting icon,
// the rest follow it in the new-message animation.
std::vector<QImage> trayFrames();

// The about window's logo, 96 x 96.
QImage logo();
// The same on a transparent ground, size x size: the icon of the desktop entry.
QImage appIcon(int size = 96);

}  // namespace rysownik
