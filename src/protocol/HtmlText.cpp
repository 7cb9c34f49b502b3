#include "protocol/HtmlText.h"

#include <cstdint>

#include "platform/Cp1250.h"

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The tag's name, lower case, without a leading "/".
std::string TagName(std::string_view tag, bool& closing) {
  size_t i = 0;
  closing = false;
  if (i < tag.size() && tag[i] == '/') {
    closing = true;
    ++i;
  }
  std::string name;
  while (i < tag.size() && name.size() < 16) {
    const char c = Lower(tag[i]);
    if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) break;
    name += c;
    ++i;
  }
  return name;
}


// Decodes the reference at html[at] == '&'; returns its length, 0 when it
// is none the reader knows.
size_t Reference(std::string_view html, size_t at, std::string& out) {
  // The longest reference known is short: looking further would make a text
  // of ampersands take time in the square of its length.
  const size_t semi = html.substr(0, at + 12).find(';', at + 1);
  if (semi == std::string_view::npos) return 0;
  const std::string_view name = html.substr(at + 1, semi - at - 1);
  static constexpr struct {
    std::string_view name;
    std::string_view text;
  } kNamed[] = {{"lt", "<"},   {"gt", ">"},    {"amp", "&"},
                {"quot", "\""}, {"apos", "'"}, {"nbsp", "\xC2\xA0"}};
  for (const auto& n : kNamed)
    if (name == n.name) {
      out += n.text;
      return semi - at + 1;
    }
  if (name.size() < 2 || name[0] != '#') return 0;
  const bool hex = name[1] == 'x' || name[1] == 'X';
  const std::string_view digits = name.substr(hex ? 2 : 1);
  if (digits.empty()) return 0;
  uint32_t c = 0;
  for (char d : digits) {
    int v;
    if (d >= '0' && d <= '9')
      v = d - '0';
    else if (hex && Lower(d) >= 'a' && Lower(d) <= 'f')
      v = Lower(d) - 'a' + 10;
    else
      return 0;
    c = c * (hex ? 16 : 10) + static_cast<uint32_t>(v);
    if (c > 0x10FFFF) return 0;
  }
  if (c == 0 || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  cp1250::appendUtf8(out, c);
  return semi - at + 1;
}

void LineBreak(std::string& out) { out += "\r\n"; }

bool StartsTag(std::string_view html, size_t at) {
  if (at + 1 >= html.size()) return false;
  const char n = Lower(html[at + 1]);
  return (n >= 'a' && n <= 'z') || n == '/' || n == '!' || n == '?';
}

// The ">" that ends the tag starting at html[at], outside quoted values.
size_t TagEnd(std::string_view html, size_t at) {
  char quote = 0;
  for (size_t i = at + 1; i < html.size(); ++i) {
    const char c = html[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '>') {
      return i;
    }
  }
  return std::string_view::npos;
}

}  // namespace

std::string HtmlToText(std::string_view html) {
  std::string out;
  out.reserve(html.size());
  // Inside <script> or <style> nothing is text until its closing tag.
  std::string skipUntil;
  size_t i = 0;
  while (i < html.size()) {
    const char c = html[i];
    if (c == '<' && StartsTag(html, i)) {
      const size_t close = TagEnd(html, i);
      if (close == std::string_view::npos) break;  // an unfinished tag is dropped
      bool closing = false;
      const std::string name = TagName(html.substr(i + 1, close - i - 1), closing);
      i = close + 1;
      if (!skipUntil.empty()) {
        if (closing && name == skipUntil) skipUntil.clear();
        continue;
      }
      if (!closing && (name == "script" || name == "style")) {
        skipUntil = name;
      } else if (name == "br") {
        LineBreak(out);
      } else if (name == "img" && !closing) {
        out += "[obrazek]";
      } else if ((name == "p" || name == "div") && closing) {
        LineBreak(out);
      }
      continue;
    }
    if (!skipUntil.empty()) {
      ++i;
      continue;
    }
    if (c == '&') {
      if (const size_t n = Reference(html, i, out)) {
        i += n;
        continue;
      }
    }
    if (c == '\r' || c == '\n') {
      // CR LF, LF or a lone CR: one line break.
      LineBreak(out);
      i += c == '\r' && i + 1 < html.size() && html[i + 1] == '\n' ? 2 : 1;
      continue;
    }
    out += c;
    ++i;
  }
  // A closing paragraph at the very end is no line of its own.
  while (out.size() >= 2 && out.compare(out.size() - 2, 2, "\r\n") == 0) out.resize(out.size() - 2);
  return out;
}
