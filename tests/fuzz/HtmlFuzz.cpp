// Message text and whole archive entries, written for a browser from what
// strangers send, read back as a browser's HTML tokenizer would. It fails on
// any "<script", any tag or attribute the program does not write, any "on..."
// attribute, a link or picture address that is javascript:, vbscript: or
// data: once character references are decoded, a link that is not http,
// https or ftp, an address not in double quotes or followed by anything but
// the end of its tag, and anything else in a tag a browser would have to
// repair. The sender's name is the input's as well.
//
// Input: one flags byte, the sender's name, the first message, the second
// message (FuzzedDataProvider's split).

#include <fuzzer/FuzzedDataProvider.h>

#include <QDateTime>
#include <QFile>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "FuzzFolder.h"
#include "conversation/MessageArchive.h"
#include "conversation/MessageText.h"

namespace {

[[noreturn]] void Fail(const char* what, std::string_view html, size_t at) {
  const size_t from = at < 60 ? 0 : at - 60;
  std::fprintf(stderr, "\n*** oracle: %s at byte %zu:\n%.*s<<<HERE>>>%.*s\n", what, at, int(at - from),
               html.data() + from, int(std::min<size_t>(60, html.size() - at)), html.data() + at);
  std::abort();
}

struct Attribute {
  std::string name;
  std::string raw;     // as written, character references not decoded
  char quote = 0;      // '"', '\'' or 0 for an unquoted value
  bool hasValue = false;
};

struct Tag {
  bool end = false;
  std::string name;
  std::vector<Attribute> attributes;
  size_t at = 0;
};

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r'; }
bool IsAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char Lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

std::string LowerAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = Lower(c);
  return out;
}

bool StartsWithNoCase(std::string_view text, size_t at, std::string_view what) {
  if (text.size() - at < what.size()) return false;
  for (size_t i = 0; i < what.size(); ++i)
    if (Lower(text[at + i]) != what[i]) return false;
  return true;
}

// The tokenizer's states for tags, without recovery: whatever a browser would
// repair (a parse error) fails, since the program writes only clean tags.
class Tokenizer {
 public:
  explicit Tokenizer(std::string_view html) : html_(html) {}

  std::vector<Tag> Run() {
    std::vector<Tag> tags;
    size_t p = 0;
    while (p < html_.size()) {
      if (html_[p] != '<') {
        ++p;
        continue;
      }
      const size_t at = p;
      if (p + 1 >= html_.size()) break;  // a lone "<" at the end is text
      const char c = html_[p + 1];
      if (c == '!') {
        if (at == 0 && StartsWithNoCase(html_, 2, "doctype")) {
          p = html_.find('>', p);
          if (p == std::string_view::npos) Fail("unterminated doctype", html_, at);
          ++p;
          continue;
        }
        Fail("comment or declaration", html_, at);
      }
      if (c == '?') Fail("processing instruction (a bogus comment)", html_, at);
      if (c == '/') {
        if (p + 2 >= html_.size() || !IsAlpha(html_[p + 2])) Fail("broken end tag", html_, at);
        Tag t = ReadTag(p + 2, at);
        t.end = true;
        p = next_;
        tags.push_back(t);
        continue;
      }
      if (!IsAlpha(c)) {
        ++p;  // "<" before anything but a letter stays text
        continue;
      }
      Tag t = ReadTag(p + 1, at);
      p = next_;
      // The contents of these are text up to their own end tag.
      if (t.name == "style" || t.name == "title" || t.name == "script" || t.name == "textarea") {
        tags.push_back(t);
        p = SkipRawText(p, t.name);
        continue;
      }
      tags.push_back(t);
    }
    return tags;
  }

 private:
  size_t SkipRawText(size_t p, const std::string& name) {
    for (;;) {
      p = html_.find("</", p);
      if (p == std::string_view::npos) Fail("raw text element never ends", html_, html_.size());
      const size_t after = p + 2 + name.size();
      if (StartsWithNoCase(html_, p + 2, name) && after < html_.size() &&
          (IsSpace(html_[after]) || html_[after] == '/' || html_[after] == '>'))
        return p;
      p += 2;
    }
  }

  // From the first letter of the name to after the ">".
  Tag ReadTag(size_t p, size_t at) {
    Tag t;
    t.at = at;
    while (p < html_.size() && !IsSpace(html_[p]) && html_[p] != '/' && html_[p] != '>') {
      if (html_[p] == '\0') Fail("NUL in tag name", html_, p);
      t.name += Lower(html_[p++]);
    }
    std::set<std::string> seen;
    for (;;) {
      while (p < html_.size() && IsSpace(html_[p])) ++p;
      if (p >= html_.size()) Fail("tag never ends", html_, at);
      if (html_[p] == '>') break;
      if (html_[p] == '/') Fail("self-closing slash", html_, p);
      Attribute a;
      if (html_[p] == '=') Fail("equals sign before an attribute name", html_, p);
      while (p < html_.size() && !IsSpace(html_[p]) && html_[p] != '/' && html_[p] != '>' && html_[p] != '=') {
        if (html_[p] == '"' || html_[p] == '\'' || html_[p] == '<') Fail("quote or < in an attribute name", html_, p);
        a.name += Lower(html_[p++]);
      }
      while (p < html_.size() && IsSpace(html_[p])) ++p;
      if (p < html_.size() && html_[p] == '=') {
        ++p;
        a.hasValue = true;
        while (p < html_.size() && IsSpace(html_[p])) ++p;
        if (p >= html_.size()) Fail("tag never ends", html_, at);
        if (html_[p] == '"' || html_[p] == '\'') {
          a.quote = html_[p];
          const size_t close = html_.find(a.quote, p + 1);
          if (close == std::string_view::npos) Fail("attribute value never ends", html_, p);
          a.raw = std::string(html_.substr(p + 1, close - p - 1));
          p = close + 1;
          // After a quoted value only a blank or the end of the tag may come.
          if (p < html_.size() && !IsSpace(html_[p]) && html_[p] != '>' && html_[p] != '/')
            Fail("something glued after a quoted attribute value", html_, p);
        } else {
          if (html_[p] == '>') Fail("attribute without its value", html_, p);
          while (p < html_.size() && !IsSpace(html_[p]) && html_[p] != '>') {
            const char c = html_[p];
            if (c == '"' || c == '\'' || c == '<' || c == '=' || c == '`')
              Fail("quote, <, = or ` in an unquoted attribute value", html_, p);
            a.raw += html_[p++];
          }
        }
      }
      if (!seen.insert(a.name).second) Fail("attribute given twice", html_, at);
      t.attributes.push_back(a);
    }
    next_ = p + 1;
    return t;
  }

  std::string_view html_;
  size_t next_ = 0;
};

// Character references a browser decodes in an attribute, as far as they can
// spell an address's scheme: numeric ones (with or without ";") and the named
// ones for letters' neighbours that filters often miss. Named references are
// case-sensitive in HTML; folding case here errs on the safe side.
std::string Decode(const std::string& raw) {
  // Longest first, so that "&amp;" is not read as "&amp" and a ";".
  static const std::vector<std::pair<std::string_view, char>> named = {
      {"newline;", '\n'}, {"period;", '.'}, {"colon;", ':'}, {"quot;", '"'}, {"apos;", '\''},
      {"lpar;", '('},     {"rpar;", ')'},   {"amp;", '&'},   {"tab;", '\t'}, {"sol;", '/'},
      {"quot", '"'},      {"amp", '&'},     {"lt;", '<'},    {"gt;", '>'},   {"lt", '<'},
      {"gt", '>'}};
  auto digit = [](char c, bool hex) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (hex && Lower(c) >= 'a' && Lower(c) <= 'f') return Lower(c) - 'a' + 10;
    return -1;
  };
  std::string out;
  size_t i = 0;
  while (i < raw.size()) {
    if (raw[i] != '&') {
      out += raw[i++];
      continue;
    }
    size_t j = i + 1;
    if (j < raw.size() && raw[j] == '#') {
      ++j;
      const bool hex = j < raw.size() && Lower(raw[j]) == 'x';
      if (hex) ++j;
      uint64_t v = 0;
      const size_t first = j;
      for (int d; j < raw.size() && (d = digit(raw[j], hex)) >= 0; ++j)
        v = std::min<uint64_t>(v * (hex ? 16 : 10) + uint64_t(d), 0x110000);
      if (j == first) {
        out += raw[i++];
        continue;
      }
      if (j < raw.size() && raw[j] == ';') ++j;
      out += (v != 0 && v < 0x80) ? char(v) : '\x80';  // nothing outside ASCII spells a scheme
      i = j;
      continue;
    }
    bool matched = false;
    for (const auto& [name, c] : named) {
      if (StartsWithNoCase(raw, j, name)) {
        out += c;
        i = j + name.size();
        matched = true;
        break;
      }
    }
    if (!matched) out += raw[i++];
  }
  return out;
}

// An address as the URL parser sees it: tabs and line breaks removed,
// leading blanks and control characters dropped, scheme letters folded.
std::string AsUrl(const std::string& value) {
  std::string out;
  for (char c : Decode(value))
    if (c != '\t' && c != '\n' && c != '\r') out += c;
  size_t lead = 0;
  while (lead < out.size() && static_cast<unsigned char>(out[lead]) <= 0x20) ++lead;
  return LowerAscii(std::string_view(out).substr(lead));
}

void CheckAddress(const Tag& t, const Attribute& a, std::string_view html, bool link) {
  if (a.quote != '"') Fail("address not in double quotes", html, t.at);
  const std::string url = AsUrl(a.raw);
  for (std::string_view bad : {"javascript:", "vbscript:", "data:"})
    if (url.rfind(bad, 0) == 0) Fail("script or data address", html, t.at);
  if (link && url.rfind("http://", 0) != 0 && url.rfind("https://", 0) != 0 && url.rfind("ftp://", 0) != 0)
    Fail("link to something other than http, https or ftp", html, t.at);
  if (!link && url.rfind("../ikony/", 0) != 0) Fail("picture from outside ikony/", html, t.at);
}

// allowed: tag name -> the attributes it may carry.
void Check(std::string_view html, const std::map<std::string, std::set<std::string>>& allowed) {
  for (size_t i = 0; i + 7 <= html.size(); ++i)
    if (html[i] == '<' && StartsWithNoCase(html, i + 1, "script")) Fail("<script", html, i);
  bool inLink = false;
  for (const Tag& t : Tokenizer(html).Run()) {
    const auto kind = allowed.find(t.name);
    if (kind == allowed.end()) Fail("a tag the program does not write", html, t.at);
    if (t.end) {
      if (!t.attributes.empty()) Fail("end tag with attributes", html, t.at);
      if (t.name == "a") {
        if (!inLink) Fail("</a> without a link", html, t.at);
        inLink = false;
      }
      continue;
    }
    if (t.name == "a") {
      if (inLink) Fail("link inside a link", html, t.at);
      inLink = true;
    }
    for (const Attribute& a : t.attributes) {
      if (a.name.rfind("on", 0) == 0) Fail("event handler attribute", html, t.at);
      if (!kind->second.count(a.name)) Fail("an attribute the program does not write", html, t.at);
      if (a.name == "href") CheckAddress(t, a, html, true);
      if (a.name == "src") CheckAddress(t, a, html, false);
    }
  }
  if (inLink) Fail("link never closed", html, html.size());
}

const std::map<std::string, std::set<std::string>> kFragment = {
    {"a", {"href"}}, {"img", {"align", "src"}}, {"br", {}}};

const std::map<std::string, std::set<std::string>> kArchive = {
    {"a", {"href"}},      {"img", {"align", "src"}},
    {"br", {}},           {"p", {"class", "style"}},
    {"b", {}},            {"hr", {}},
    {"html", {}},         {"head", {}},
    {"meta", {"http-equiv", "content"}},
    {"style", {"type"}},  {"title", {}},
    {"body", {"style"}}};

// Pictures exist for about half of all names, the hostile ones included.
bool Exists(const std::string& name) {
  unsigned h = 0;
  for (char c : name) h = h * 31 + static_cast<unsigned char>(c);
  return (h & 1) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static FuzzFolder folder;
  FuzzedDataProvider in(data, size);
  const uint8_t flags = in.ConsumeIntegral<uint8_t>();
  const std::string name = in.ConsumeRandomLengthString(80);
  const std::string first = in.ConsumeRandomLengthString(size);
  const std::string second = in.ConsumeRemainingBytesAsString();

  std::string fragment = first;
  MessageToHtml(fragment, &Exists);
  Check(fragment, kFragment);

  // Two entries, a day apart or not, under the hostile name or a number.
  int day = 0;
  MessageArchive archive(
      folder.Path(), &Exists,
      [&](uint32_t number) -> std::optional<std::string> {
        if (number == 555) return name;
        return std::nullopt;
      },
      [&] { return QDateTime(QDate(2026, 12, 8 + day), QTime(17, 20, 0)); });
  FUZZ_REQUIRE(archive.CreateArchive("123456"), "cannot create the archive");
  archive.ArchiveMessage(555 | (flags & 1 ? kWlasnaWiadomosc : 0), first);
  if (flags & 2) day = 1;
  archive.ArchiveMessage(flags & 4 ? 555 : 777, second);
  archive.Close();

  QFile file(archive.PathFor("123456"));
  FUZZ_REQUIRE(file.open(QIODevice::ReadOnly), "the archive cannot be read");
  const QByteArray bytes = file.readAll();
  const std::string_view html(bytes.constData(), size_t(bytes.size()));
  FUZZ_REQUIRE(html.size() >= 7 && html.substr(html.size() - 7) == "</body>", "the archive does not end in </body>");
  Check(html, kArchive);
  return 0;
}
