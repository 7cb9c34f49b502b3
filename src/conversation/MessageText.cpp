#include "conversation/MessageText.h"

#include <QChar>
#include <algorithm>
#include <QFileInfo>

#include "conversation/Emoticons.h"
#include "platform/Cp1250.h"

namespace {

// Generated markup is written with these in place of "<" and ">" so that the
// escaping at the end leaves it alone.
constexpr char kOtworz = '\x01';
constexpr char kZamknij = '\x02';

bool StartsAt(const std::string& text, std::size_t at, std::string_view what) {
  return text.compare(at, what.size(), what) == 0;
}

bool StartsAddress(const std::string& text, std::size_t at) {
  return StartsAt(text, at, "://") || StartsAt(text, at, "www.");
}

bool EndsAddressBackwards(char c) {
  return c == kOtworz || c == kZamknij || c == '\n' || c == '\r' || c == ' ' || c == '>';
}

bool EndsAddressForwards(char c) {
  return c == kOtworz || c == kZamknij || c == '\n' || c == '\r' || c == ' ' || c == '<';
}

const std::string& ShorthandStarts() {
  static const std::string starts = [] {
    std::string s;
    for (const Skrot& k : kSkroty)
      if (s.find(k.skrot.front()) == std::string::npos) s += k.skrot.front();
    return s;
  }();
  return starts;
}

unsigned char LowerCase(unsigned char byte) {
  char32_t lower = QChar::toLower(cp1250::toUnicode(byte));
  unsigned char back = cp1250::fromUnicode(lower);
  // A lower case the code page lacks would come back as '?', which the
  // normalisation then drops; keep the letter instead.
  return (back == '?' && byte != '?') ? byte : back;
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

// Tries an address at p; returns the position where scanning goes on, or
// npos when no address starts there.
std::size_t ConvertAddress(std::string& text, std::size_t p) {
  AddressBounds b;
  if (!FindAddress(text, p, b)) return std::string::npos;
  std::string address = text.substr(b.start, b.end - b.start);
  if (!b.foundByWww && !IsLinkScheme(text.substr(b.start, p - b.start))) {
    // javascript://, data://, file:// and the like stay text.
    return b.end;
  }
  std::string markup = Anchor((b.foundByWww ? "http://" : "") + address, address);
  text.replace(b.start, b.end - b.start, markup);
  return b.start + markup.size();
}

// Tries a picture tag at p (text[p] == '<'); returns the position where
// scanning goes on.
std::size_t ConvertTag(std::string& text, std::size_t p, const PictureExists& pictureExists) {
  std::size_t close = 0;
  std::string name;
  if (!FindPictureTag(text, p, close, name)) return p + 1;
  if (!pictureExists || !pictureExists(name)) return p + 1;
  std::string markup = Image(name);
  text.replace(p, close + 1 - p, markup);
  return p + markup.size();
}

std::string Escape(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '<') out += "&lt;";
    else if (c == '>') out += "&gt;";
    else if (c == kOtworz) out += '<';
    else if (c == kZamknij) out += '>';
    else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      out += "<br>";
      ++i;
    } else out += c;
  }
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
  bool inAddress = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (StartsAddress(text, i)) inAddress = true;
    char c = text[i];
    if (c == '\n' || c == '\r' || c == ' ' || c == '<') inAddress = false;
    if (inAddress) continue;
    // Most characters start no shorthand at all.
    if (ShorthandStarts().find(c) == std::string::npos) continue;
    // A replaced shorthand leaves its token at i; the later pairs are compared
    // against that token, which none of them matches.
    for (const Skrot& s : kSkroty) {
      if (StartsAt(text, i, s.skrot)) text.replace(i, s.skrot.size(), s.token);
    }
  }
}

std::string NormalisePictureName(const std::string& name) {
  static const std::string kFrom = T("śźłążćęń");
  static const std::string kTo = "szlazcen";
  std::string out;
  out.reserve(name.size());
  for (char raw : name) {
    char c = static_cast<char>(LowerCase(static_cast<unsigned char>(raw)));
    if (c == '.' || c == '/' || c == ':' || c == '?' || c == '\\') continue;
    std::size_t k = kFrom.find(c);
    out += (k == std::string::npos) ? c : kTo[k];
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

void MessageToHtml(std::string& text, const PictureExists& pictureExists) {
  // A sender's own marker bytes would turn into markup at the end.
  std::erase_if(text, [](char c) { return c == kOtworz || c == kZamknij; });
  ReplaceShorthands(text);

  std::size_t p = 0;
  while (p < text.size()) {
    if (text[p] == '<') {
      p = ConvertTag(text, p, pictureExists);
    } else if (StartsAddress(text, p)) {
      p = ConvertAddress(text, p);
    } else {
      ++p;
    }
  }
  text = Escape(text);
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
