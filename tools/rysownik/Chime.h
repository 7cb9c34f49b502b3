#pragma once

#include <QByteArray>

namespace rysownik {

// The new-message sound: two soft bell tones, rising, about 0.7 s, as a whole
// WAV file (16-bit PCM, mono, 22050 Hz).
QByteArray chimeWav();

}  // namespace rysownik
