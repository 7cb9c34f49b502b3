#pragma once
#include <cstdint>
#include <string_view>

// The network's login hash of a password with the server's seed. All of the
// password's bytes count; an empty password gives the seed itself.
uint32_t LoginHash(std::string_view password, uint32_t seed);
