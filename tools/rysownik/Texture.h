#pragma once

#include <QImage>

namespace rysownik {

// The 200 x 200 starry texture laid over window backgrounds: black with a few
// hundred sparse points. The same picture comes out on every run.
QImage starTexture();

}  // namespace rysownik
