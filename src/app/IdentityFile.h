#pragma once
// The identity file "osoby/<number>": a run of tagged settings entries, the
// number, the password block and the contact records, all integers 32-bit
// little-endian.
//
// A tag word has bit 31 set, the entry's kind in bits 8..15 and its payload
// length in bits 0..7 (bits 16..30 are written 0 and ignored). The first word
// with bit 31 clear is the number; 64 hexadecimal characters of the password
// block follow, then 168-byte contact records up to the end.
//
// The file is parsed whole into a value before anything of it is used, so a
// damaged file changes nothing.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "contacts/Kontakt.h"
#include "ui/ColourScheme.h"

namespace identity_file {

// Entry kinds. 12 (the dimmed caption colour) is derived and never written.
enum Kind : uint8_t {
  kOpis = 1,
  kTlo = 2,
  kTekst = 11,
  kOpisKolor = 13,
  kKomunikat = 14,
  kCzas = 15,
  kOdebrane = 20,
  kWyslane = 21,
};

constexpr size_t kBlokHasla = 64;

// What a file holds. Entries that are absent are empty and leave the
// program's current values.
struct Content {
  std::optional<std::string> opis;
  std::optional<uint32_t> tlo, tekst, opisKolor, komunikat, czas, odebrane, wyslane;
  uint32_t numer = 0;
  std::string blokHasla;            // 64 characters as stored
  std::vector<TKontakt> kontakty;   // in file order
};

// Empty when the file ends inside an entry, the number, the password block
// or a record, or when its number is 0 (no identity can have it). Entries of
// unknown kinds are skipped by their length; of kinds 2..21 only the first 4
// payload bytes count, and a colour entry shorter than 4 bytes is ignored.
std::optional<Content> Parse(std::string_view bytes);

// The bytes of a file: the description entry when the description is not
// empty (cut to 255 bytes, the most a tag can carry), the seven colours, the
// number, the given password block and each record zero-padded.
std::string Build(const std::string& opis, const ColourScheme& kolory, uint32_t numer,
                  const std::string& blokHasla, const std::vector<TKontakt>& kontakty);

// Applies the colours a file holds onto a scheme.
void ApplyColours(const Content& c, ColourScheme& kolory);

}  // namespace identity_file
