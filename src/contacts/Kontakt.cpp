#include "contacts/Kontakt.h"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace {

void PutShortString(uint8_t* out, size_t offset, size_t capacity, const std::string& text) {
  std::memset(out + offset, 0, capacity + 1);
  const size_t len = std::min(text.size(), capacity);
  out[offset] = static_cast<uint8_t>(len);
  std::memcpy(out + offset + 1, text.data(), len);
}

std::string GetShortString(const uint8_t* in, size_t offset, size_t capacity) {
  const size_t len = std::min<size_t>(in[offset], capacity);
  return std::string(reinterpret_cast<const char*>(in + offset + 1), len);
}

}  // namespace

void TKontakt::SerialiseTo(uint8_t* out) const {
  out[0] = static_cast<uint8_t>(numer);
  out[1] = static_cast<uint8_t>(numer >> 8);
  out[2] = static_cast<uint8_t>(numer >> 16);
  out[3] = static_cast<uint8_t>(numer >> 24);
  PutShortString(out, kOffNazwisko, kPojNazwisko, nazwisko);
  PutShortString(out, kOffWyswietl, kPojWyswietl, wyswietl);
  PutShortString(out, kOffTelefon, kPojTelefon, telefon);
  PutShortString(out, kOffEmail, kPojEmail, email);
  std::memcpy(out + kOffRezerwa, rezerwa.data(), rezerwa.size());
}

std::array<uint8_t, TKontakt::kRozmiar> TKontakt::Serialise() const {
  std::array<uint8_t, kRozmiar> out{};
  SerialiseTo(out.data());
  return out;
}

TKontakt TKontakt::Parse(const uint8_t* in) {
  TKontakt k;
  k.numer = uint32_t(in[0]) | uint32_t(in[1]) << 8 | uint32_t(in[2]) << 16 | uint32_t(in[3]) << 24;
  k.nazwisko = GetShortString(in, kOffNazwisko, kPojNazwisko);
  k.wyswietl = GetShortString(in, kOffWyswietl, kPojWyswietl);
  k.telefon = GetShortString(in, kOffTelefon, kPojTelefon);
  k.email = GetShortString(in, kOffEmail, kPojEmail);
  std::memcpy(k.rezerwa.data(), in + kOffRezerwa, k.rezerwa.size());
  return k;
}

TKontakt TKontakt::Parse(std::string_view bytes) {
  assert(bytes.size() == kRozmiar);
  return Parse(reinterpret_cast<const uint8_t*>(bytes.data()));
}

TKontakt TKontakt::Normalised() const {
  const auto bytes = Serialise();
  return Parse(bytes.data());
}
