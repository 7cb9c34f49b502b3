#include "Chime.h"

#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace rysownik {
namespace {

constexpr int kRate = 22050;
constexpr double kPi = 3.14159265358979323846;

// One struck tone: a quick 6 ms rise, then an exponential fall; a little of
// the octave and the twelfth gives it a bell colour.
void addTone(std::vector<double>& out, double startS, double freq, double gain, double decayS) {
  const int start = static_cast<int>(startS * kRate);
  for (int i = start; i < static_cast<int>(out.size()); ++i) {
    const double t = static_cast<double>(i - start) / kRate;
    const double attack = std::min(1.0, t / 0.006);
    const double env = attack * std::exp(-t / decayS);
    const double w = 2 * kPi * freq * t;
    out[i] += gain * env * (std::sin(w) + 0.28 * std::sin(2 * w) * std::exp(-t / 0.08) +
                            0.10 * std::sin(3 * w) * std::exp(-t / 0.05));
  }
}

void putU32(QByteArray& b, uint32_t v) {
  char s[4];
  qToLittleEndian(v, s);
  b.append(s, 4);
}

void putU16(QByteArray& b, uint16_t v) {
  char s[2];
  qToLittleEndian(v, s);
  b.append(s, 2);
}

}  // namespace

QByteArray chimeWav() {
  const double lengthS = 0.72;
  std::vector<double> mix(static_cast<size_t>(lengthS * kRate), 0.0);
  addTone(mix, 0.00, 987.77, 0.42, 0.16);   // B5
  addTone(mix, 0.14, 1318.51, 0.40, 0.20);  // E6, a fourth above

  // A short fade at the end so the file does not stop with a click.
  const int fade = kRate / 50;
  for (int i = 0; i < fade; ++i) mix[mix.size() - 1 - i] *= static_cast<double>(i) / fade;

  const uint32_t dataBytes = static_cast<uint32_t>(mix.size() * 2);
  QByteArray wav;
  wav.reserve(44 + static_cast<int>(dataBytes));
  wav.append("RIFF", 4);
  putU32(wav, 36 + dataBytes);
  wav.append("WAVE", 4);
  wav.append("fmt ", 4);
  putU32(wav, 16);           // size of the format block
  putU16(wav, 1);            // PCM
  putU16(wav, 1);            // mono
  putU32(wav, kRate);
  putU32(wav, kRate * 2);    // bytes per second
  putU16(wav, 2);            // bytes per sample frame
  putU16(wav, 16);           // bits per sample
  wav.append("data", 4);
  putU32(wav, dataBytes);
  for (double s : mix) {
    const double clipped = std::clamp(s, -1.0, 1.0);
    putU16(wav, static_cast<uint16_t>(static_cast<int16_t>(std::lround(clipped * 32767))));
  }
  return wav;
}

}  // namespace rysownik
