#pragma once
// The emoticons the program offers and the ASCII shorthands that stand for
// them. Both tables are plain data: the picker shows the pictures of the first,
// the text conversion and the conversation view apply the second.

#include <array>
#include <string_view>

struct Emotikon {
  std::string_view obrazek;  // picture: "ikony/" + obrazek + ".bmp"
  std::string_view tekst;    // the text the picker inserts into a message
};

inline constexpr int kLiczbaEmotikon = 45;

// Indexed from 0; the picker's modal result is 8 + index.
extern const std::array<Emotikon, kLiczbaEmotikon> kEmotikony;

struct Skrot {
  std::string_view skrot;  // as typed, compared exactly
  std::string_view token;  // "<" + picture name + ">"
};

inline constexpr int kLiczbaSkrotow = 18;

// Tried in this order at every position of a message, outside web addresses.
extern const std::array<Skrot, kLiczbaSkrotow> kSkroty;
