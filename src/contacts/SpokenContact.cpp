#include "contacts/SpokenContact.h"

#include "protocol/StatusMap.h"

namespace {

// Line breaks and other control characters read as one blank; blanks at the
// ends are dropped, as the list drops them when it draws the description.
std::string OneLine(const std::string& text) {
  std::string out;
  bool blank = false;
  for (char c : text) {
    if (static_cast<unsigned char>(c) <= ' ') {
      blank = !out.empty();
      continue;
    }
    if (blank) out += ' ';
    blank = false;
    out += c;
  }
  return out;
}

}  // namespace

std::string SpokenContact(const TKontakt& contact) {
  std::string spoken = contact.wyswietl.empty() ? std::to_string(contact.numer) : contact.wyswietl;
  std::string label;
  if (status::Label(contact.status, false, label)) spoken += ", " + label;
  if (contact.MaOpis())
    if (const std::string opis = OneLine(contact.opis); !opis.empty()) spoken += ", " + opis;
  return spoken;
}
