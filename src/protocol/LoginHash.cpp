#include "protocol/LoginHash.h"

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
