#pragma once
// The demo's start in a test: the identity 123456 on the emulator that plays
// the cast, its archive, and every member of the cast a contact.

#include <gtest/gtest.h>

#include "app/TFMain.h"
#include "ggserwer/Scenario.h"
#include "ggserwer/Serwer.h"
#include "platform/Cp1250.h"

inline void MeetTheCast(TFMain& m, const ggserwer::Serwer& serwer, const ggserwer::Scenario& cast) {
  m.Connection().SetLookupHost(serwer.lookupHost().toStdString());
  m.Connection().SetProtocol(Protocol::k2005);  // the emulator's session
  m.SetIdentity(123456, "demo");
  ASSERT_TRUE(m.CreateArchive("123456"));
  for (const auto& member : cast.cast) {
    TKontakt k;
    k.numer = member.number;
    k.wyswietl = cp1250::fromQString(member.name);
    ASSERT_TRUE(m.Contacts().Add(k));
  }
}
