#include "conversation/MessageText.h"

#include <QChar>
#include <QFileInfo>
#include <algorithm>
#include <array>
#include <unordered_map>

#include "conversation/Emoticons.h"
#include "platform/Cp1250.h"

namespace {

// Generated markup is written with these in place of "<" and ">" so that the
// escaping at the end leaves it alone.
constexpr char kOtworz = '\x01';
constexpr char kZamknij = '\x02';

// Called at nearly every byte with a pattern of two to four: compared here
// rather than through a library call.
bool StartsAt(const std::string& text, std::size_t at, std::string_view what) {
  if (at > text.size() || text.size() - at < what.size()) return false;
  for (std::size_t k = 0; k < what.size(); ++k)
    if (text[at + k] != what[k]) return false;
  return true;
}

bool StartsAddress(const std::string& text, std::size_t at) {
  const char c = text[at];
  return (c == ':' && StartsAt(text, at, "://")) || (c == 'w' && StartsAt(text, at, "www."));
}

bool EndsAddressBackwards(char c) {
  return c == kOtworz || c == kZamknij || c == '\n' || c == '\r' || c == ' ' || c == '>';
}

bool EndsAddressForwards(char c) {
  return c == kOtworz || c == kZamknij || c == '\n' || c == '\r' || c == ' ' || c == '<';
}

// Whether a shorthand starts with the byte.
bool StartsShorthand(char c) {
  static const std::array<bool, 256> starts = [] {
    std::array<bool, 256> t{};
    for (const Skrot& k : kSkroty) t[static_cast<unsigned char>(k.skrot.front())] = true;
    return t;
  }();
  return starts[static_cast<unsigned char>(c)];
}

unsigned char LowerCaseOf(unsigned char byte) {
  char32_t lower = QChar::toLower(cp1250::toUnicode(byte));
  unsigned char back = cp1250::fromUnicode(lower);
  // A lower case the code page lacks would come back as '?', which the
  // normalisation then drops; keep the letter instead.
  return (back == '?' && byte != '?') ? byte : back;
}

// Every tag of a message is normalised: the lower case of each byte is
// looked up rather than asked of Unicode again.
unsigned char LowerCase(unsigned char byte) {
  static const std::array<unsigned char, 256> table = [] {
    std::array<unsigned char, 256> t{};
    for (int b = 0; b < 256; ++b) t[b] = LowerCaseOf(static_cast<unsigned char>(b));
    return t;
  }();
  return table[byte];
}

// A value placed inside a double-quoted attribute or as link text.
std::string AttributeText(const std::string& value) {
  std::string out;
  out.reserve(value.size());
  for (char c : value) {
    switch (c) {
      case '"': out += "&quot;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string Anchor(const std::string& target, const std::string& caption) {
  std::string out;
  out += kOtworz;
  out += "a href=\"";
  out += AttributeText(target);
  out += '"';
  out += kZamknij;
  out += AttributeText(caption);
  out += kOtworz;
  out += "/a";
  out += kZamknij;
  return out;
}

std::string Image(const std::string& name) {
  std::string out;
  out += kOtworz;
  out += "img align=bottom src=\"../ikony/";
  out += AttributeText(name);
  out += ".bmp\"";
  out += kZamknij;
  return out;
}

std::string Escape(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  std::size_t run = 0;  // plain bytes from here on are copied at once
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const bool crlf = c == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
    if (c != '<' && c != '>' && c != kOtworz && c != kZamknij && !crlf) continue;
    out.append(text, run, i - run);
    if (c == '<') out += "&lt;";
    else if (c == '>') out += "&gt;";
    else if (c == kOtworz) out += '<';
    else if (c == kZamknij) out += '>';
    else {
      out += "<br>";
      ++i;
    }
    run = i + 1;
  }
  out.append(text, run);
  return out;
}

}  // namespace

PictureExists PictureFileCheck(const QString& programDir) {
  return [programDir](const std::string& name) {
    return QFileInfo(programDir + QStringLiteral("/ikony/") + cp1250::toQString(name) +
                     QStringLiteral(".bmp"))
        .isFile();
  };
}

void ReplaceShorthands(std::string& text) {
  // Written to a new string: replacing in place moves the rest of the text
  // once per shorthand. A token starts with "<" and holds none of the
  // characters a shorthand starts with, nor "://" or "www.", so what the
  // scan would see after it is the text that followed the shorthand.
  std::string out;
  out.reserve(text.size() + text.size() / 2);
  bool inAddress = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    // A character the code page lacks is no shorthand's start, and its mark's
    // closing ";" no shorthand's first byte: ";)" after an emoji is two
    // characters typed apart.
    if (const size_t n = cp1250::wideMarkLength(text, i)) {
      out.append(text, i, n);
      i += n - 1;
      continue;
    }
    if (StartsAddress(text, i)) inAddress = true;
    const char c = text[i];
    if (c == '\n' || c == '\r' || c == ' ' || c == '<') inAddress = false;
    // Most characters start no shorthand at all. The first pair that matches
    // wins: the later ones would be compared against its token.
    if (!inAddress && StartsShorthand(c)) {
      const Skrot* match = nullptr;
      for (const Skrot& s : kSkroty) {
        if (StartsAt(text, i, s.skrot)) {
          match = &s;
          break;
        }
      }
      if (match) {
        out += match->token;
        i += match->skrot.size() - 1;
        continue;
      }
    }
    out += c;
  }
  text.swap(out);
}

std::string NormalisePictureName(const std::string& name) {
  // What each byte becomes, -1 for dropped, worked out once.
  static const std::array<int16_t, 256> kBecomes = [] {
    const std::string from = T("śźłążćęń");
    const std::string to = "szlazcen";
    std::array<int16_t, 256> t{};
    for (int b = 0; b < 256; ++b) {
      const char c = static_cast<char>(LowerCase(static_cast<unsigned char>(b)));
      const std::size_t k = from.find(c);
      if (c == '.' || c == '/' || c == ':' || c == '?' || c == '\\') t[b] = -1;
      else t[b] = static_cast<unsigned char>(k == std::string::npos ? c : to[k]);
    }
    return t;
  }();
  std::string out;
  out.reserve(name.size());
  for (char raw : name) {
    const int16_t c = kBecomes[static_cast<unsigned char>(raw)];
    if (c >= 0) out += static_cast<char>(c);
  }
  return out;
}

bool FindPictureTag(const std::string& text, std::size_t at, std::size_t& close, std::string& name) {
  if (at >= text.size() || text[at] != '<') return false;
  std::size_t c = at + 1;
  while (c < text.size() && text[c] != '>') {
    if (text[c] == '\r' || text[c] == '<') return false;
    ++c;
  }
  if (c >= text.size()) return false;
  name = NormalisePictureName(text.substr(at + 1, c - at - 1));
  if (name.empty()) return false;
  close = c;
  return true;
}

bool FindAddress(const std::string& text, std::size_t at, AddressBounds& bounds) {
  if (StartsAt(text, at, "www.")) {
    bounds.foundByWww = true;
    bounds.start = at;
  } else if (StartsAt(text, at, "://")) {
    bounds.foundByWww = false;
    std::size_t s = at;
    while (s > 0 && !EndsAddressBackwards(text[s - 1])) --s;
    bounds.start = s;
  } else {
    return false;
  }
  std::size_t e = at + 3;
  while (e < text.size() && !EndsAddressForwards(text[e])) ++e;
  bounds.end = std::min(e, text.size());
  return true;
}

bool IsLinkScheme(const std::string& scheme) {
  QString s = QString::fromLatin1(scheme.data(), static_cast<qsizetype>(scheme.size())).toLower();
  return s == QLatin1String("http") || s == QLatin1String("https") || s == QLatin1String("ftp");
}

void ScanMarkup(const std::string& text, const std::function<bool(const std::string& name)>& isPicture,
                const std::function<void(const MarkupItem& item)>& found) {
  // A "://" address reaches back to just after the last character that
  // bounds it or the end of the last item; that place is kept as the scan
  // passes, so no stretch of text is searched twice.
  std::size_t reach = 0;
  auto pass = [&](std::size_t from, std::size_t to) {
    for (std::size_t q = from; q < to; ++q)
      if (EndsAddressBackwards(text[q])) reach = q + 1;
  };
  std::size_t p = 0;
  while (p < text.size()) {
    if (text[p] == '<') {
      std::size_t close = 0;
      MarkupItem item;
      if (FindPictureTag(text, p, close, item.name) && isPicture && isPicture(item.name)) {
        item.start = p;
        item.end = close + 1;
        found(item);
        p = reach = item.end;
        continue;
      }
      // A tag naming no picture stays as typed; "<" bounds no address backwards.
      ++p;
      continue;
    }
    const bool www = text[p] == 'w' && StartsAt(text, p, "www.");
    if (!www && !(text[p] == ':' && StartsAt(text, p, "://"))) {
      pass(p, p + 1);
      ++p;
      continue;
    }
    MarkupItem item;
    item.link = true;
    item.foundByWww = www;
    item.start = www ? p : reach;
    std::size_t e = p + 3;
    while (e < text.size() && !EndsAddressForwards(text[e])) ++e;
    item.end = e;
    // javascript://, data://, file:// and the like stay text. No scheme that
    // may be a link is longer than five letters.
    if (!www && (p - item.start > 5 || !IsLinkScheme(text.substr(item.start, p - item.start)))) {
      pass(p, item.end);
      p = item.end;
      continue;
    }
    found(item);
    p = reach = item.end;
  }
}

void MessageToHtml(std::string& text, const PictureExists& pictureExists) {
  // A sender's own marker bytes would turn into markup at the end.
  std::erase_if(text, [](char c) { return c == kOtworz || c == kZamknij; });
  ReplaceShorthands(text);

  // A message of a thousand smiles asks for its picture once.
  std::unordered_map<std::string, bool> known;
  auto isPicture = [&](const std::string& name) {
    if (!pictureExists) return false;
    auto [it, added] = known.try_emplace(name, false);
    if (added) it->second = pictureExists(name);
    return it->second;
  };
  std::string marked;
  marked.reserve(text.size() + text.size() / 4);
  std::size_t copied = 0;
  ScanMarkup(text, isPicture, [&](const MarkupItem& item) {
    marked.append(text, copied, item.start - copied);
    if (item.link) {
      const std::string address = text.substr(item.start, item.end - item.start);
      marked += Anchor((item.foundByWww ? "http://" : "") + address, address);
    } else {
      marked += Image(item.name);
    }
    copied = item.end;
  });
  marked.append(text, copied);
  text = Escape(marked);
}

std::string EscapeAngleBrackets(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '<') out += "&lt;";
    else if (c == '>') out += "&gt;";
    else out += c;
  }
  return out;
}

void WideToReferences(std::string& html) {
  if (!cp1250::hasWide(html)) return;
  std::string out;
  out.reserve(html.size() + 16);
  for (size_t i = 0; i < html.size();) {
    if (const size_t n = cp1250::wideMarkLength(html, i)) {
      size_t digit = i + 1;
      while (html[digit] == '0') ++digit;  // a mark's digits never all zero
      out += "&#x";
      out.append(html, digit, i + n - digit);
      out += ';';
      i += n;
    } else {
      out += html[i++];
    }
  }
  html = std::move(out);
}
