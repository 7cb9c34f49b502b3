#pragma once

#include <cstdint>
#include <string>

// Identity file pieces built by hand: a little-endian word, and a contact
// record of 168 bytes with its number and its name (a length byte, then
// the bytes), the rest zero.
inline std::string Word(uint32_t w) {
  return std::string{char(w & 0xFF), char((w >> 8) & 0xFF), char((w >> 16) & 0xFF), char(w >> 24)};
}

inline std::string RecordBytes(uint32_t numer, const std::string& name) {
  std::string b(168, '\0');
  b.replace(0, 4, Word(numer));
  b[69] = char(name.size());
  b.replace(70, name.size(), name);
  return b;
}
