#pragma once
// A message of the given length made of what people type: shorthands,
// addresses, picture tags, markup, and a last piece that ends a paragraph.
// Also the longest messages a server may send, and a long conversation.

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

inline std::string SampleMessage(std::size_t length, std::string_view lastPiece) {
  const std::string pieces[] = {
      "Czesc :) zobacz http://www.example.com/strona?x=1&y=2 ",
      "albo www.wp.pl/poczta :D ",
      "<usmiech> <Kwiatek> <b>nie</b> ;) ",
      "a tu ]:-> i :-) oraz !! ?? 8| ",
      std::string(lastPiece),
  };
  std::string text;
  for (std::size_t i = 0; text.size() < length; ++i) text += pieces[i % 5];
  text.resize(length);
  return text;
}

// The shapes of a message as long as the largest packet: the mixed one of
// SampleMessage with words longer than a line, and the worst cases of each
// step: nothing but smiles, one word, one address, and addresses of a scheme
// that is no link, each glued to the next by "<".
enum class LongShape { Mixed, Smiles, Word, Address, Refused };

inline const char* LongShapeName(LongShape shape) {
  switch (shape) {
    case LongShape::Mixed: return "mixed";
    case LongShape::Smiles: return "smiles";
    case LongShape::Word: return "word";
    case LongShape::Address: return "address";
    case LongShape::Refused: return "refused";
  }
  return "?";
}

inline std::string LongMessage(LongShape shape, std::size_t length) {
  std::string text;
  auto repeat = [&](std::string_view unit) {
    while (text.size() < length) text += unit;
  };
  switch (shape) {
    case LongShape::Mixed:
      return SampleMessage(length, std::string(300, 'w') + " krotkie slowa\r\n");
    case LongShape::Smiles: repeat(":)"); break;
    case LongShape::Word: repeat("abcdefghijklmnopqrstuvwxyz"); break;
    case LongShape::Address: text = "http://"; repeat("example/"); break;
    case LongShape::Refused: repeat("x://a<"); break;
  }
  text.resize(length);
  return text;
}

// Messages of a long conversation: mostly short, some of a few lines, a few
// long, with words from a small vocabulary, shorthands, tags and addresses.
inline std::vector<std::string> ConversationMessages(std::size_t count, uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<std::string> words;
  static const char* const kSylaby[] = {"ma", "la", "ze", "ko", "lo", "sc", "bo", "zd", "gr",
                                        "za", "ew", "on", "ul", "ie", "ta", "ro", "cz", "al"};
  for (int i = 0; i < 600; ++i) {
    std::string w;
    for (int s = 1 + int(rng() % 4); s > 0; --s) w += kSylaby[rng() % std::size(kSylaby)];
    words.push_back(w);
  }
  static const char* const kExtras[] = {":)", ";)", ":D", "<kwiatek>", "<lol>", "!!", "??",
                                        "www.wp.pl", "http://example.com/a?b=1", ":-)", "8|"};
  std::vector<std::string> out;
  out.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const unsigned r = rng() % 100;
    const std::size_t length = r < 70 ? 10 + rng() % 70 : r < 95 ? 80 + rng() % 220 : 300 + rng() % 1700;
    std::string text;
    while (text.size() < length) {
      if (!text.empty()) text += rng() % 40 == 0 ? "\r\n" : " ";
      text += rng() % 8 == 0 ? kExtras[rng() % std::size(kExtras)] : words[rng() % words.size()];
    }
    out.push_back(std::move(text));
  }
  return out;
}
