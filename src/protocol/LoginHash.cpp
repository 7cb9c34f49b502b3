#include "protocol/LoginHash.h"
#include <QCryptographicHash>
#include <algorithm>

#include "platform/Cp1250.h"

#include <bit>

uint32_t LoginHash(std::string_view password, uint32_t seed) {
  uint32_t y = seed;
  uint32_t x = 0;
  for (unsigned char c : password) {
    // After the three shifts x keeps the previous byte in its top bits; only
    // its low byte is replaced.
    x = (x & 0xFFFFFF00u) | c;
    y ^= x;
    y += x;
    x <<= 8;
    y ^= x;
    x <<= 8;
    y -= x;
    x <<= 8;
    y ^= x;
    y = std::rotl(y, static_cast<int>(y & 31));
  }
  return y;
}

std::array<unsigned char, 20> LoginHashSha1(std::string_view password, uint32_t seed) {
  const std::string utf8 = cp1250::toUtf8(password);
  QCryptographicHash sha1(QCryptographicHash::Sha1);
  sha1.addData(QByteArrayView(utf8.data(), static_cast<qsizetype>(utf8.size())));
  const char seedBytes[4] = {char(seed), char(seed >> 8), char(seed >> 16), char(seed >> 24)};
  sha1.addData(QByteArrayView(seedBytes, 4));
  const QByteArray digest = sha1.result();
  std::array<unsigned char, 20> out{};
  std::copy_n(reinterpret_cast<const unsigned char*>(digest.constData()), out.size(), out.begin());
  return out;
}
