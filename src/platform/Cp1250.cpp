#include "platform/Cp1250.h"

#include <QList>

namespace cp1250 {
namespace {

// Unicode of the bytes 0x80 to 0xFF; below 0x80 the code page is ASCII.
constexpr char16_t kUpper[128] = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021,
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};


bool IsHex(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

// What a wide mark may carry: a character the code page lacks, and none that
// would not be shown as text.
bool WideAllowed(char32_t c) {
  if (c < 0xA0 || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
  if ((c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069)) return false;
  return fromUnicode(c) == '?';
}

// Decodes one UTF-8 sequence at utf8[i]; 0xFFFFFFFF for a broken one, which
// takes one byte.
char32_t NextUtf8(std::string_view utf8, size_t& i) {
  const unsigned char b = utf8[i];
  const int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
  if (extra < 0 || (extra > 0 && i + extra >= utf8.size())) {
    ++i;
    return 0xFFFFFFFF;
  }
  char32_t c = extra == 0 ? b : (b & (0x3F >> extra));
  for (int k = 1; k <= extra; ++k) {
    const unsigned char t = utf8[i + k];
    if ((t & 0xC0) != 0x80) {
      ++i;
      return 0xFFFFFFFF;
    }
    c = (c << 6) | (t & 0x3F);
  }
  i += extra + 1;
  return c;
}

void AppendWide(std::string& out, char32_t c) {
  if (c == '\r' || c == '\n' || c == '\t') {
    out += static_cast<char>(c);
    return;
  }
  if (c < 0x20 || (c >= 0x7F && c < 0xA0)) return;  // controls
  const unsigned char b = fromUnicode(c);
  if (b != '?' || c == U'?') {
    out += static_cast<char>(b);
    return;
  }
  if (!WideAllowed(c)) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) out += '?';
    return;  // a direction override is dropped
  }
  static const char kDigits[] = "0123456789ABCDEF";
  out += kWideMark;
  for (int shift = 4 * (kWideDigits - 1); shift >= 0; shift -= 4) out += kDigits[(c >> shift) & 0xF];
}

}  // namespace

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

size_t wideMarkLength(std::string_view text, size_t at, char32_t* codePoint) {
  if (at >= text.size() || text[at] != kWideMark || text.size() - at < 1 + kWideDigits) return 0;
  char32_t c = 0;
  for (size_t i = at + 1; i <= at + kWideDigits; ++i) {
    if (!IsHex(text[i])) return 0;
    c = (c << 4) | char32_t(text[i] <= '9' ? text[i] - '0' : text[i] - 'A' + 10);
  }
  if (!WideAllowed(c)) return 0;
  if (codePoint) *codePoint = c;
  return 1 + kWideDigits;
}

size_t characterCount(std::string_view text) {
  size_t n = 0;
  for (size_t i = 0; i < text.size(); ++n) {
    const size_t wide = wideMarkLength(text, i);
    i += wide ? wide : 1;
  }
  return n;
}

size_t cutBefore(std::string_view text, size_t maxBytes) {
  if (text.size() <= maxBytes) return text.size();
  size_t end = 0;
  for (size_t i = 0; i < text.size();) {
    const size_t wide = wideMarkLength(text, i);
    const size_t next = i + (wide ? wide : 1);
    if (next > maxBytes) break;
    end = i = next;
  }
  return end;
}

bool hasWide(std::string_view text) {
  for (size_t i = text.find(kWideMark); i != std::string_view::npos; i = text.find(kWideMark, i + 1))
    if (wideMarkLength(text, i)) return true;
  return false;
}

std::string fromUtf8Wide(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const char32_t c = NextUtf8(utf8, i);
    if (c == 0xFFFFFFFF)
      out += '?';
    else
      AppendWide(out, c);
  }
  return out;
}

std::string fromQStringWide(const QString& text) {
  std::string out;
  out.reserve(static_cast<size_t>(text.size()));
  for (char32_t c : text.toUcs4()) AppendWide(out, c);
  return out;
}

char32_t toUnicode(unsigned char byte) {
  return byte < 0x80 ? char32_t(byte) : char32_t(kUpper[byte - 0x80]);
}

unsigned char fromUnicode(char32_t ch) {
  if (ch < 0x80) return static_cast<unsigned char>(ch);
  for (int i = 0; i < 128; ++i)
    if (kUpper[i] == ch) return static_cast<unsigned char>(0x80 + i);
  return '?';
}

std::string toUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t wide = 0;
    if (const size_t n = text[i] == kWideMark ? wideMarkLength(text, i, &wide) : 0) {
      appendUtf8(out, wide);
      i += n - 1;
      continue;
    }
    appendUtf8(out, toUnicode(static_cast<unsigned char>(text[i])));
  }
  return out;
}

std::string fromUtf8(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    unsigned char b = utf8[i];
    int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
    if (extra < 0 || (extra > 0 && i + extra >= utf8.size())) {
      // A stray or truncated sequence has no character: one '?' for its lead byte.
      out += '?';
      ++i;
      continue;
    }
    char32_t c = extra == 0 ? b : (b & (0x3F >> extra));
    bool ok = true;
    for (int k = 1; k <= extra; ++k) {
      unsigned char t = utf8[i + k];
      if ((t & 0xC0) != 0x80) { ok = false; break; }
      c = (c << 6) | (t & 0x3F);
    }
    if (!ok) {
      out += '?';
      ++i;
      continue;
    }
    out += static_cast<char>(fromUnicode(c));
    i += extra + 1;
  }
  return out;
}

QString toQString(std::string_view text) {
  QString out;
  out.reserve(static_cast<qsizetype>(text.size()));
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t wide = 0;
    if (const size_t n = text[i] == kWideMark ? wideMarkLength(text, i, &wide) : 0) {
      out += QString::fromUcs4(&wide, 1);
      i += n - 1;
      continue;
    }
    out += QChar(static_cast<char16_t>(toUnicode(static_cast<unsigned char>(text[i]))));
  }
  return out;
}

std::string fromQString(const QString& text) {
  std::string out;
  out.reserve(static_cast<size_t>(text.size()));
  for (char32_t c : text.toUcs4()) out += static_cast<char>(fromUnicode(c));
  return out;
}

}  // namespace cp1250
