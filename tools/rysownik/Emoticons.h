#pragma once

#include <QImage>
#include <QString>
#include <vector>

namespace rysownik {

// One emoticon picture: its file name without ".bmp" and how to draw it.
struct Emoticon {
  QString name;
  QImage (*draw)();
};

// The 45 emoticons in the order of the program's emoticon table, 20 x 20 each.
const std::vector<Emoticon>& emoticons();

}  // namespace rysownik
