#pragma once
// One contact: the 168 bytes kept in the identity file, followed in memory by
// the status and description the server last reported (never stored).

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

struct TKontakt {
  // Offsets and capacities of the persisted form. Each text is a short
  // string: one length byte, then up to its capacity in characters.
  static constexpr size_t kRozmiar = 168;
  static constexpr size_t kOffNumer = 0;
  static constexpr size_t kOffNazwisko = 4;
  static constexpr size_t kPojNazwisko = 64;
  static constexpr size_t kOffWyswietl = 69;
  static constexpr size_t kPojWyswietl = 36;
  static constexpr size_t kOffTelefon = 106;
  static constexpr size_t kPojTelefon = 9;
  static constexpr size_t kOffEmail = 116;
  static constexpr size_t kPojEmail = 48;
  static constexpr size_t kOffRezerwa = 165;

  uint32_t numer = 0;       // Gadu-Gadu number
  std::string nazwisko;     // "Imię i nazwisko" (Windows-1250)
  std::string wyswietl;     // "Wyświetl jako": the name shown everywhere
  std::string telefon;      // mobile number, digits only, no country prefix
  std::string email;        // lower case
  std::array<uint8_t, 3> rezerwa{};  // no meaning; carried through unchanged

  // Run-time only.
  uint8_t status = 0;       // status index 0..6 (or an unknown code kept as is)
  std::string opis;         // status description

  bool Obecny() const { return status >= 2; }      // present: bold, sorted first
  bool MaOpis() const { return (status & 1) != 0; }

  // The persisted form. Texts longer than their field are cut to it, and
  // every byte after a text is zero, so equal records give equal bytes.
  std::array<uint8_t, kRozmiar> Serialise() const;
  void SerialiseTo(uint8_t* out) const;

  // Reads the persisted form; a length byte beyond the field's capacity is
  // taken as the capacity. Status and description start empty.
  static TKontakt Parse(const uint8_t* in);
  static TKontakt Parse(std::string_view bytes);  // exactly kRozmiar bytes

  // The record as it reads back from its persisted form: texts cut to their
  // capacities, run-time fields cleared.
  TKontakt Normalised() const;
};
