#include "protocol/ServerListText.h"

#include <algorithm>

namespace server_list {

namespace {

// Bytes that would break the line apart become blanks.
std::string Blanked(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c == ';' || c == '\r' || c == '\n' || c == '\0') c = ' ';
  return out;
}

std::string_view Cut(std::string_view text, size_t capacity) { return text.substr(0, capacity); }

// Blanks and control bytes at both ends go, as the name is joined back.
std::string_view Trimmed(std::string_view text) {
  size_t b = 0, e = text.size();
  while (b < e && static_cast<unsigned char>(text[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(text[e - 1]) <= ' ') --e;
  return text.substr(b, e - b);
}

// The next field up to ";", taken off the front of rest; the last field of a
// line is all that is left.
std::string_view TakeField(std::string_view& rest) {
  const size_t semi = rest.find(';');
  std::string_view field = rest.substr(0, semi);
  rest = semi == std::string_view::npos ? std::string_view() : rest.substr(semi + 1);
  return field;
}

// A contact number: decimal digits only, 1..2147483647, as the contact
// window takes them; anything else is 0.
uint32_t ReadNumber(std::string_view text) {
  if (text.empty()) return 0;
  uint64_t n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return 0;
    n = n * 10 + uint64_t(c - '0');
    if (n > 0x7FFFFFFFu) return 0;
  }
  return static_cast<uint32_t>(n);
}

bool ParseLine(std::string_view rest, ServerListEntry& e) {
  const std::string_view first = TakeField(rest);
  const std::string_view last = TakeField(rest);
  if (rest.empty()) return false;
  TakeField(rest);  // nickname
  if (rest.empty()) return false;
  const std::string_view wyswietl = TakeField(rest);
  std::string_view telefon = TakeField(rest);
  TakeField(rest);  // group
  e.numer = ReadNumber(TakeField(rest));
  if (e.numer == 0) return false;
  const std::string_view email = TakeField(rest);

  std::string full(first);
  full += ' ';
  full += last;
  e.nazwisko = std::string(Cut(Trimmed(full), kPojNazwisko));
  e.wyswietl = std::string(Cut(wyswietl, kPojWyswietl));
  if (telefon.size() > kPojTelefon) telefon = telefon.substr(telefon.size() - kPojTelefon);
  e.telefon = std::string(telefon);
  e.email = std::string(Cut(email, kPojEmail));
  return true;
}

}  // namespace

std::string ExportLine(const ServerListEntry& entry) {
  const std::string name = Blanked(entry.nazwisko);
  const size_t blank = name.find(' ');
  std::string line = blank == std::string::npos ? name + ';' : name.substr(0, blank) + ';' + name.substr(blank + 1);
  line += ";;";
  line += Blanked(entry.wyswietl);
  line += ';';
  std::string phone = Blanked(entry.telefon);
  phone.erase(std::remove(phone.begin(), phone.end(), '-'), phone.end());
  if (!phone.empty()) line += "+48" + phone;
  line += ";;";
  line += std::to_string(entry.numer);
  line += ';';
  line += Blanked(entry.email);
  line += ";0;;0;;0;\r\n";
  return line;
}

std::string ExportList(const std::vector<ServerListEntry>& entries) {
  std::string text;
  for (const ServerListEntry& e : entries) text += ExportLine(e);
  return text;
}

std::vector<ServerListEntry> Parse(std::string_view text) {
  std::vector<ServerListEntry> out;
  size_t at = 0;
  while (at < text.size()) {
    const size_t cr = text.find('\r', at);
    std::string_view line;
    if (cr == std::string_view::npos) {
      line = text.substr(at);
      at = text.size();
    } else {
      line = text.substr(at, cr - at);
      at = std::min(text.size(), cr + 2);
    }
    ServerListEntry e;
    if (ParseLine(line, e)) out.push_back(std::move(e));
  }
  return out;
}

ImportPlan PlanImport(std::string_view text, const std::function<bool()>& cutShorter) {
  ImportPlan plan;
  if (text.size() > kMaxText) {
    plan.outcome = ImportPlan::Outcome::kZaDluga;
    return plan;
  }
  plan.entries = Parse(text);
  if (plan.entries.empty()) {
    plan.outcome = ImportPlan::Outcome::kBrakListy;
    return plan;
  }
  if (plan.entries.size() > kMaxImported) {
    if (!cutShorter || !cutShorter()) {
      plan.entries.clear();
      plan.outcome = ImportPlan::Outcome::kOdmowa;
      return plan;
    }
    plan.entries.resize(kMaxImported);
  }
  plan.outcome = ImportPlan::Outcome::kZastap;
  return plan;
}

}  // namespace server_list
