#pragma once
// The system numbers a status 0 to 6 (its "status index"): bit 0 set means
// the status carries a description, 2 or more means present. The wire carries
// status codes instead; these maps translate between the two.

#include <cstdint>
#include <string>

namespace status {

constexpr uint8_t kNiedostepny = 0;
constexpr uint8_t kNiedostepnyZOpisem = 1;
constexpr uint8_t kDostepny = 2;
constexpr uint8_t kDostepnyZOpisem = 3;
constexpr uint8_t kZarazWracam = 4;
constexpr uint8_t kZarazWracamZOpisem = 5;
constexpr uint8_t kZablokowany = 6;

// Only the low 8 bits of the index count. Index 0 and 1 go out as invisible
// (20, 22) when the flag is set, else as not available (1, 21). Values
// outside 0..6 are returned unchanged.
uint8_t CodeFromIndex(uint32_t index, bool invisible);

// Only the low 8 bits of the code count; unknown codes are returned
// unchanged, so they stay without a label.
uint8_t IndexFromCode(uint32_t code);

// True for the codes that carry a description: 4, 5, 21, 22.
bool CodeHasDescription(uint32_t code);

// The Polish label of an index; own chooses "nie ma mnie" over "niedostępny"
// for 0 and 1. An index without a label leaves label unchanged and returns
// false.
bool Label(uint32_t index, bool own, std::string& label);

}  // namespace status
