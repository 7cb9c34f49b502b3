#pragma once
// The identities the kill test saves and checks: version v of identity 4242
// has its own description and background colour and v % 301 contacts, so
// that files of successive versions differ in content and in size (up to
// 50 KB).

#include <string>

#include "FakeIdentityHost.h"

inline constexpr uint32_t kSavedNumber = 4242;

inline TKontakt SavedContact(int i) {
  TKontakt k;
  k.numer = uint32_t(100000 + i);
  k.wyswietl = "Kontakt ";
  k.wyswietl += std::to_string(i);
  k.email = std::to_string(i);
  k.email += "@example.pl";
  return k;
}

// Brings host to version v. From version v - 1 that is one contact more,
// which keeps a saving loop busy with saving rather than with sorting.
inline void FillVersion(FakeIdentityHost& host, int v) {
  host.state.numer = kSavedNumber;
  host.state.haslo = "haslo";
  host.state.opis = "wersja ";
  host.state.opis += std::to_string(v);
  host.state.opis += ' ';
  host.state.opis.append(size_t(v % 200), 'o');
  host.state.kolory.tlo = uint32_t(v);
  const int count = v % 301;
  if (host.contacts.Count() != count - 1) {
    host.contacts.Clear();
    for (int i = 0; i + 1 < count; ++i) host.contacts.Add(SavedContact(i));
  }
  if (count > 0) host.contacts.Add(SavedContact(count - 1));
}
