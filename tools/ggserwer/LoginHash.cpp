#include "ggserwer/LoginHash.h"

namespace ggserwer {

std::uint32_t loginHash(std::uint32_t seed, const QByteArray& password) {
  std::uint32_t y = seed;
  std::uint32_t x = 0;
  for (char ch : password) {
    const auto c = static_cast<std::uint8_t>(ch);
    // The previous byte stays in the top 8 bits of x after the three shifts.
    x = (x & ~0xFFu) | c;
    y ^= x;
    y += x;
    x <<= 8;
    y ^= x;
    x <<= 8;
    y -= x;
    x <<= 8;
    y ^= x;
    const std::uint32_t z = y & 31u;
    if (z != 0) y = (y << z) | (y >> (32u - z));
  }
  return y;
}

}  // namespace ggserwer
