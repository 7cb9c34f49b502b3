#pragma once
// The password as the identity file keeps it: 32 bytes, XORed with a key
// stream drawn from the low 8 bits of the number, as 64 upper-case
// hexadecimal characters. Obscures the password; it does not protect it.

#include <cstddef>
#include <cstdint>
#include <string>

// Password bytes, cut to 32; a shorter password is followed by a zero byte
// and random bytes up to 32, so two saves differ after the terminator.
// The longest password the block keeps.
constexpr size_t kMaxHaslo = 32;

std::string ScramblePassword(const std::string& password, uint32_t numer);

// The password up to the first zero byte. Digits may be of either case. A
// block that is not 64 hexadecimal digits is damaged and reads back as the
// empty password: the user is asked for it at the next login.
std::string UnscramblePassword(const std::string& block, uint32_t numer);
