// The password block: unscrambling what was scrambled gives the password
// back for every password of up to 32 bytes without a zero byte (longer ones
// are cut to 32, a zero byte ends one); any 64-digit block of either case
// reads back as at most 32 bytes without a zero, anything else as empty.
//
// Input: 4 bytes of the identity number, then the password or block.

#include <cctype>
#include <cstdint>
#include <cstring>
#include <string>

#include "FuzzCheck.h"
#include "app/PasswordBlock.h"

namespace {

bool IsUpperHex(const std::string& s) {
  for (char c : s)
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  uint32_t numer;
  std::memcpy(&numer, data, 4);
  const std::string rest(reinterpret_cast<const char*>(data + 4), size - 4);

  const std::string block = ScramblePassword(rest, numer);
  FUZZ_REQUIRE(block.size() == 64 && IsUpperHex(block), "the block is not 64 upper-case hexadecimal digits");
  const std::string password = rest.substr(0, 32).substr(0, rest.substr(0, 32).find('\0'));
  FUZZ_REQUIRE(UnscramblePassword(block, numer) == password, "unscramble of scramble is not the password");
  std::string lower = block;
  for (char& c : lower) c = char(std::tolower(static_cast<unsigned char>(c)));
  FUZZ_REQUIRE(UnscramblePassword(lower, numer) == password, "a lower-case block reads otherwise");

  // The rest read as a stored block, as a damaged or foreign file gives it.
  const std::string read = UnscramblePassword(rest, numer);
  bool hex = rest.size() == 64;
  for (char c : rest) hex = hex && std::isxdigit(static_cast<unsigned char>(c));
  if (!hex) FUZZ_REQUIRE(read.empty(), "a damaged block gave a password");
  FUZZ_REQUIRE(read.size() <= 32 && read.find('\0') == std::string::npos, "a block gave more than a password");
  if (hex && !read.empty()) {
    FUZZ_REQUIRE(UnscramblePassword(ScramblePassword(read, numer), numer) == read, "a stored password does not survive a save");
  }
  return 0;
}
