#pragma once
// The colour scheme of an identity. Colours are 32-bit values with red in the
// low byte, then green, then blue (0x00BBGGRR); the high byte is 0.

#include <cstdint>

struct ColourScheme {
  uint32_t tlo = 0x000000;        // background
  uint32_t tekst = 0xFFFFFF;      // text
  uint32_t opis = 0xF0CAA6;       // contacts' descriptions
  uint32_t komunikat = 0x0000FF;  // messages (errors)
  uint32_t czas = 0x30DADA;       // time a message was sent
  uint32_t odebrane = 0xA04040;   // background of received messages
  uint32_t wyslane = 0x404840;    // background of sent messages
  bool tekstura = true;           // starry texture on the background; never stored

  bool operator==(const ColourScheme&) const = default;
};
