#pragma once
// What becomes of text the user types or pastes into a field that holds
// Windows-1250. The code page's own characters stay. Some others have a
// plain form in it: typographic characters (‐ − ′ → ≠ and the odd spaces),
// letters whose accent it lacks (è ñ ø → e n o), compatibility forms (ﬁ ²
// Ａ → fi 2 A); invisible formatting (joiners, direction marks, variation
// selectors, control characters) is dropped. A caller may add replacements
// of its own, tried first (the chat entry's emoji). Whatever is left
// (Cyrillic, Greek, CJK, most emoji) is refused: it is left out of the
// text, and the caller hears what it was, so that nothing is lost silently.

#include <string>
#include <string_view>
#include <vector>

class TextFitter {
 public:
  struct Replacement {
    std::u32string from;  // a character, or a sequence such as an emoji with its joiners
    std::string to;       // Windows-1250
  };

  struct Result {
    std::string text;  // Windows-1250
    // What was left out: each character, or emoji with its modifiers and
    // joined parts, once, in the order of its first appearance.
    std::vector<std::u32string> refused;
  };

  // kExact keeps only what the code page holds (a password must reach the
  // server as typed or not at all); kPlain also takes the plain forms.
  enum class Forms { kExact, kPlain };

  explicit TextFitter(Forms forms = Forms::kPlain, std::vector<Replacement> replacements = {});

  // Line breaks (LF, CR) and tabs pass; U+2028 and U+2029 become LF.
  Result Fit(std::u32string_view text) const;

 private:
  // The longest replacement that starts at text[i]; null when none does.
  const Replacement* Match(std::u32string_view text, size_t i) const;

  Forms forms_;
  std::vector<Replacement> replacements_;  // longest first
};
