#pragma once
// The contact list as the server keeps it: single-byte text, one contact a
// line ended by CR LF, fourteen fields between ";":
//
//   first name;last name;nickname;display name;mobile;group;number;e-mail;
//   0;;0;;0;
//
// Export writes the full name split at its first blank, the phone with its
// dashes removed behind "+48", and empty or fixed further fields. The fields
// carry no escaping, so a ";", CR, LF or zero byte inside a field is written
// as a blank: it would otherwise shift the fields or end the line, or end
// the text at the server.
//
// Import takes a line up to its first CR (the CR and the byte after it go
// with it), fields up to the next ";"; a line without a usable number in
// its seventh field is dropped.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// One contact of the list text; Windows-1250 texts.
struct ServerListEntry {
  uint32_t numer = 0;
  std::string nazwisko;  // full name
  std::string wyswietl;  // display name
  std::string telefon;
  std::string email;

  bool operator==(const ServerListEntry&) const = default;
};

namespace server_list {

// What an import takes: the collected text up to this length, and at most
// this many contacts.
constexpr size_t kMaxText = 65535;
constexpr size_t kMaxImported = 255;

// The capacities of the contact record's fields, which the import cuts to.
constexpr size_t kPojNazwisko = 64;
constexpr size_t kPojWyswietl = 36;
constexpr size_t kPojTelefon = 9;
constexpr size_t kPojEmail = 48;

std::string ExportLine(const ServerListEntry& entry);
std::string ExportList(const std::vector<ServerListEntry>& entries);

// Every kept line of the text, in order, without a limit on their number.
std::vector<ServerListEntry> Parse(std::string_view text);

// What an import does with a text.
struct ImportPlan {
  enum class Outcome {
    kZaDluga,     // the text is longer than kMaxText: nothing changes
    kBrakListy,   // no line kept: nothing changes
    kOdmowa,      // more than kMaxImported lines and the user would not cut it
    kZastap,      // the entries replace the local list
  };
  Outcome outcome = Outcome::kBrakListy;
  std::vector<ServerListEntry> entries;  // at most kMaxImported
};

// Reads the text for an import. Only when more than kMaxImported lines are
// kept is cutShorter asked whether to keep the first kMaxImported.
ImportPlan PlanImport(std::string_view text, const std::function<bool()>& cutShorter);

}  // namespace server_list
