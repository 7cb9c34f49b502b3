#pragma once
#include <cstdint>
#include <string_view>

// The network's login hash of a password with the server's seed. All of the
// password's bytes count; an empty password gives the seed itself.
uint32_t LoginHash(std::string_view password, uint32_t seed);

#include <array>
#include <string>

// The login hash of today's network: SHA-1 over the password's bytes in
// UTF-8 (the program holds it in Windows-1250) followed by the seed's four
// bytes as they came, little-endian.
std::array<unsigned char, 20> LoginHashSha1(std::string_view password, uint32_t seed);
