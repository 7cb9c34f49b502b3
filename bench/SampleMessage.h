#pragma once
// A message of the given length made of what people type: shorthands,
// addresses, picture tags, markup, and a last piece that ends a paragraph.

#include <cstddef>
#include <string>
#include <string_view>

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
