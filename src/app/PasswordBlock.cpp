#include "app/PasswordBlock.h"

#include <QRandomGenerator>
#include <array>

namespace {

constexpr int kBajty = 32;

std::array<uint8_t, kBajty> KeyStream(uint32_t numer) {
  std::array<uint8_t, kBajty> k{};
  uint8_t prev = static_cast<uint8_t>(numer & 0xFF);
  for (int i = 1; i <= kBajty; ++i) {
    prev = static_cast<uint8_t>(prev ^ i);
    k[i - 1] = prev;
  }
  return k;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::string ScramblePassword(const std::string& password, uint32_t numer) {
  std::array<uint8_t, kBajty> p{};
  const size_t len = std::min<size_t>(password.size(), kBajty);
  for (size_t i = 0; i < len; ++i) p[i] = static_cast<uint8_t>(password[i]);
  if (len < kBajty) {
    p[len] = 0;
    for (size_t i = len + 1; i < kBajty; ++i) {
      p[i] = static_cast<uint8_t>(QRandomGenerator::global()->bounded(256));
    }
  }
  const auto k = KeyStream(numer);
  static const char kHex[] = "0123456789ABCDEF";
  std::string block;
  block.reserve(2 * kBajty);
  for (int i = 0; i < kBajty; ++i) {
    const uint8_t s = p[i] ^ k[i];
    block += kHex[s >> 4];
    block += kHex[s & 0x0F];
  }
  return block;
}

std::string UnscramblePassword(const std::string& block, uint32_t numer) {
  if (block.size() != 2 * kBajty) return {};
  std::array<uint8_t, kBajty> s{};
  for (int i = 0; i < kBajty; ++i) {
    const int hi = HexValue(block[2 * i]);
    const int lo = HexValue(block[2 * i + 1]);
    if (hi < 0 || lo < 0) return {};
    s[i] = static_cast<uint8_t>(hi << 4 | lo);
  }
  const auto k = KeyStream(numer);
  std::string password;
  for (int i = 0; i < kBajty; ++i) {
    const uint8_t c = s[i] ^ k[i];
    if (c == 0) break;
    password += static_cast<char>(c);
  }
  return password;
}
