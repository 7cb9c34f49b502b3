// The server's contact-list text. Read as it comes from a server, any text
// gives at most 255 contacts, each with a number of 1..2147483647 and fields
// within the record's capacities, the full name without leading blanks; an
// import refused for its length changes nothing. Read back after an export,
// a list gives the same contacts, but for the documented blanking: a ";", CR,
// LF or zero byte inside a field comes back as a blank, and the full name
// without its outer blanks.
//
// Input: the text itself, and also the list it describes (see ListFrom); a
// first byte 0xFF repeats the text past the 65535 bytes an import takes.
//
// Built with the other fuzz targets of this folder:
//   wm_add_fuzz(fuzz_server_list MAX_LEN 8192 SOURCES ServerListFuzz.cpp LIBS wm_protocol)

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "protocol/ServerListText.h"

namespace {

using server_list::ImportPlan;

std::string Blanked(std::string s) {
  for (char& c : s)
    if (c == ';' || c == '\r' || c == '\n' || c == '\0') c = ' ';
  return s;
}

std::string Trimmed(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}

// Contacts as the contact window makes them: a number of 1..2147483647,
// texts within their fields, a phone of nine characters or none, no dash in
// it (the export drops dashes). Each contact takes 4 bytes of number, 4 of
// lengths, then the texts.
std::vector<ServerListEntry> ListFrom(const uint8_t* data, size_t size) {
  std::vector<ServerListEntry> list;
  size_t at = 0;
  auto take = [&](size_t n) {
    std::string s(reinterpret_cast<const char*>(data + at), std::min(n, size - at));
    at += s.size();
    return s;
  };
  while (size - at >= 8 && list.size() < 300) {
    uint32_t numer = uint32_t(data[at]) | uint32_t(data[at + 1]) << 8 | uint32_t(data[at + 2]) << 16 |
                     uint32_t(data[at + 3] & 0x7F) << 24;
    if (numer == 0) numer = 1;
    const uint8_t* len = data + at + 4;
    at += 8;
    ServerListEntry e;
    e.numer = numer;
    e.nazwisko = take(len[0] % (server_list::kPojNazwisko + 1));
    e.wyswietl = take(len[1] % (server_list::kPojWyswietl + 1));
    if (len[2] & 1) {
      e.telefon = take(server_list::kPojTelefon);
      for (char& c : e.telefon)
        if (c == '-') c = '0';
      if (e.telefon.size() != server_list::kPojTelefon) e.telefon.clear();
    }
    e.email = take(len[3] % (server_list::kPojEmail + 1));
    list.push_back(e);
  }
  return list;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  if (size > 0 && data[0] == 0xFF)
    while (text.size() <= server_list::kMaxText) text += text;

  // Whatever a server sends.
  const std::vector<ServerListEntry> read = server_list::Parse(text);
  for (const ServerListEntry& e : read) {
    FUZZ_REQUIRE(e.numer >= 1 && e.numer <= 0x7FFFFFFFu, "a kept line has no usable number");
    FUZZ_REQUIRE(e.nazwisko.size() <= server_list::kPojNazwisko && e.wyswietl.size() <= server_list::kPojWyswietl &&
                     e.telefon.size() <= server_list::kPojTelefon && e.email.size() <= server_list::kPojEmail,
                 "a field is longer than the record holds");
    // Trimmed, then cut: only the cut may leave a blank at its end.
    FUZZ_REQUIRE(e.nazwisko.empty() || static_cast<unsigned char>(e.nazwisko[0]) > ' ',
                 "a full name begins with a blank");
  }
  int asked = 0;
  const ImportPlan cut = server_list::PlanImport(text, [&] { ++asked; return true; });
  const ImportPlan kept = server_list::PlanImport(text, [] { return false; });
  if (text.size() > server_list::kMaxText) {
    FUZZ_REQUIRE(cut.outcome == ImportPlan::Outcome::kZaDluga && cut.entries.empty() && asked == 0,
                 "a text too long was not refused whole");
  } else {
    FUZZ_REQUIRE(asked == (read.size() > server_list::kMaxImported ? 1 : 0), "the question came wrongly");
    FUZZ_REQUIRE(cut.entries.size() == std::min(read.size(), server_list::kMaxImported),
                 "the import holds other than the first lines kept, up to 255");
    FUZZ_REQUIRE(std::equal(cut.entries.begin(), cut.entries.end(), read.begin()), "the import changed a line");
    FUZZ_REQUIRE((cut.outcome == ImportPlan::Outcome::kBrakListy) == read.empty(), "no list, yet contacts");
    if (read.size() > server_list::kMaxImported)
      FUZZ_REQUIRE(kept.outcome == ImportPlan::Outcome::kOdmowa && kept.entries.empty(),
                   "a declined import still imports");
  }

  // A list of ours, there and back.
  const std::vector<ServerListEntry> list = ListFrom(data, size);
  const std::vector<ServerListEntry> back = server_list::Parse(server_list::ExportList(list));
  FUZZ_REQUIRE(back.size() == list.size(), "an exported contact did not come back");
  for (size_t i = 0; i < list.size(); ++i) {
    ServerListEntry expected = list[i];
    expected.nazwisko = Trimmed(Blanked(expected.nazwisko));
    expected.wyswietl = Blanked(expected.wyswietl);
    expected.telefon = Blanked(expected.telefon);
    expected.email = Blanked(expected.email);
    FUZZ_REQUIRE(back[i] == expected, "a contact came back other than it went, blanking aside");
  }
  return 0;
}
