#include "protocol/StatusMap.h"

#include "platform/Cp1250.h"

namespace status {

uint8_t CodeFromIndex(uint32_t index, bool invisible) {
  const uint8_t i = static_cast<uint8_t>(index);
  switch (i) {
    case 0: return invisible ? 20 : 1;
    case 1: return invisible ? 22 : 21;
    case 2: return 2;
    case 3: return 4;
    case 4: return 3;
    case 5: return 5;
    case 6: return 6;
    default: return i;
  }
}

uint8_t IndexFromCode(uint32_t code) {
  const uint8_t c = static_cast<uint8_t>(code);
  switch (c) {
    case 1: case 20: return 0;
    case 21: case 22: return 1;
    case 2: return 2;
    case 4: return 3;
    case 3: return 4;
    case 5: return 5;
    case 6: return 6;
    default: return c;
  }
}

bool CodeHasDescription(uint32_t code) {
  return code == 4 || code == 5 || code == 21 || code == 22;
}

bool Label(uint32_t index, bool own, std::string& label) {
  static const std::string kNieMaMnie = T("nie ma mnie");
  static const std::string kNiedostepny = T("niedostępny");
  static const std::string kDostepny = T("dostępny");
  static const std::string kZarazWracam = T("zaraz wracam");
  static const std::string kZablokowany = T("zablokowany");
  switch (index) {
    case 0: case 1: label = own ? kNieMaMnie : kNiedostepny; return true;
    case 2: case 3: label = kDostepny; return true;
    case 4: case 5: label = kZarazWracam; return true;
    case 6: label = kZablokowany; return true;
    default: return false;
  }
}

}  // namespace status
