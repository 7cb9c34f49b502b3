#include "platform/TextFitter.h"

#include <QString>
#include <algorithm>
#include <optional>

#include "platform/Cp1250.h"

namespace {

// Plain forms that Unicode's decompositions do not give. The code page has
// the curly quotes, the dashes, the ellipsis, the bullet and the middle dot
// of its own; these are their relatives.
struct PlainForm {
  char32_t from;
  const char* to;  // Windows-1250
};
constexpr PlainForm kPlainForms[] = {
    {0x2010, "-"},    {0x2012, "-"},     {0x2015, "\x97"}, {0x2043, "-"},   {0x2212, "-"},
    {0x2032, "'"},    {0x2033, "\""},    {0x2035, "'"},    {0x201B, "'"},   {0x201F, "\""},
    {0x02B9, "'"},    {0x02BA, "\""},    {0x02BC, "'"},    {0x02C8, "'"},   {0x2027, "\xB7"},
    {0x2219, "\xB7"}, {0x22C5, "\xB7"},  {0x2023, "\x95"}, {0x25CF, "\x95"}, {0x25E6, "\x95"},
    {0x2044, "/"},    {0x2215, "/"},     {0x2216, "\\"},   {0x2217, "*"},   {0x2223, "|"},
    {0x2236, ":"},    {0x223C, "~"},     {0x2248, "~"},    {0x2260, "!="},  {0x2264, "<="},
    {0x2265, ">="},   {0x226A, "<<"},    {0x226B, ">>"},   {0x2190, "<-"},  {0x2192, "->"},
    {0x2194, "<->"},  {0x21D0, "<="},    {0x21D2, "=>"},   {0x21D4, "<=>"}, {0x00F8, "o"},
    {0x00D8, "O"},    {0x00E6, "ae"},    {0x00C6, "AE"},   {0x0153, "oe"},  {0x0152, "OE"},
    {0x0131, "i"},    {0x2028, "\n"},    {0x2029, "\n"},
};

const char* PlainFormOf(char32_t c) {
  for (const PlainForm& f : kPlainForms)
    if (f.from == c) return f.to;
  return nullptr;
}

bool InCodePage(char32_t c) { return c == U'?' || cp1250::fromUnicode(c) != '?'; }

// Control characters other than the line breaks and the tab: invisible in
// an edit box, and the conversion of a message for the archive uses two of
// them as its own markers.
bool IsControl(char32_t c) {
  return (c < 0x20 && c != U'\t' && c != U'\n' && c != U'\r') || (c >= 0x7F && c <= 0x9F);
}

bool IsMark(char32_t c) {
  const QChar::Category k = QChar::category(c);
  return k == QChar::Mark_NonSpacing || k == QChar::Mark_Enclosing || k == QChar::Mark_SpacingCombining;
}

bool IsFormat(char32_t c) { return QChar::category(c) == QChar::Other_Format; }

// What belongs to the character before it: marks and variation selectors,
// skin tones, tag characters, and what a zero-width joiner joins on (the
// parts of an emoji sequence, never a plain letter).
size_t SkipAttached(std::u32string_view text, size_t i) {
  while (i < text.size()) {
    const char32_t c = text[i];
    if (c == 0x200D && i + 1 < text.size() && !InCodePage(text[i + 1])) {
      i += 2;
    } else if (IsMark(c) || (c >= 0x1F3FB && c <= 0x1F3FF) || (c >= 0xE0020 && c <= 0xE007F)) {
      ++i;
    } else {
      break;
    }
  }
  return i;
}

bool IsRegionalIndicator(char32_t c) { return c >= 0x1F1E6 && c <= 0x1F1FF; }

// The plain form by Unicode's decomposition: a letter keeps its base and
// loses the accents the code page has no room for, a compatibility form
// becomes what it stands for. None when the decomposition leads out of the
// code page: "≮" is not "<".
std::optional<std::string> Decomposed(char32_t c, int depth = 0) {
  const QString parts = QChar::decomposition(c);
  if (parts.isEmpty() || depth > 3) return std::nullopt;
  std::string out;
  bool letterBase = false;
  bool first = true;
  for (char32_t u : parts.toStdU32String()) {
    if (first) letterBase = QChar::isLetter(u);
    if (InCodePage(u)) {
      out += static_cast<char>(cp1250::fromUnicode(u));
    } else if (const char* plain = PlainFormOf(u)) {
      out += plain;
    } else if (!first && letterBase && IsMark(u)) {
      // an accent the base letter goes without
    } else if (auto inner = Decomposed(u, depth + 1)) {
      out += *inner;
    } else {
      return std::nullopt;
    }
    first = false;
  }
  return out;
}

}  // namespace

TextFitter::TextFitter(Forms forms, std::vector<Replacement> replacements)
    : forms_(forms), replacements_(std::move(replacements)) {
  std::stable_sort(replacements_.begin(), replacements_.end(),
                   [](const Replacement& a, const Replacement& b) { return a.from.size() > b.from.size(); });
}

const TextFitter::Replacement* TextFitter::Match(std::u32string_view text, size_t i) const {
  for (const Replacement& r : replacements_)
    if (!r.from.empty() && text.substr(i, r.from.size()) == r.from) return &r;
  return nullptr;
}

TextFitter::Result TextFitter::Fit(std::u32string_view input) const {
  // Composed first: "e" with a combining acute is the code page's "é".
  const std::u32string composed =
      QString::fromUcs4(input.data(), static_cast<qsizetype>(input.size()))
          .normalized(QString::NormalizationForm_C)
          .toStdU32String();
  const std::u32string_view text(composed);
  Result r;
  r.text.reserve(text.size());
  const bool plain = forms_ == Forms::kPlain;
  size_t i = 0;
  while (i < text.size()) {
    if (const Replacement* m = Match(text, i)) {
      r.text += m->to;
      i = SkipAttached(text, i + m->from.size());
      continue;
    }
    const char32_t c = text[i];
    if (IsControl(c)) {
      ++i;
      continue;
    }
    if (InCodePage(c)) {
      r.text += static_cast<char>(cp1250::fromUnicode(c));
      ++i;
      continue;
    }
    if (c == 0x2028 || c == 0x2029) {
      r.text += '\n';
      ++i;
      continue;
    }
    if (IsFormat(c) || (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0xE0100 && c <= 0xE01EF)) {
      ++i;
      continue;
    }
    if (plain) {
      if (const char* p = PlainFormOf(c)) {
        r.text += p;
        ++i;
        continue;
      }
      if (auto d = Decomposed(c)) {
        r.text += *d;
        ++i;
        continue;
      }
      if (IsMark(c)) {  // an accent left over from a letter the code page has plain
        ++i;
        continue;
      }
    }
    const size_t start = i++;
    if (IsRegionalIndicator(c) && i < text.size() && IsRegionalIndicator(text[i])) ++i;  // a flag
    i = SkipAttached(text, i);
    std::u32string what(text.substr(start, i - start));
    if (std::find(r.refused.begin(), r.refused.end(), what) == r.refused.end()) r.refused.push_back(std::move(what));
  }
  return r;
}
