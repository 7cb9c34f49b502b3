#include <gtest/gtest.h>

#include "contacts/SpokenContact.h"
#include "platform/Cp1250.h"

namespace {

std::string Spoken(const char* name, uint8_t status, const char* opis, uint32_t numer = 1001) {
  TKontakt k;
  k.numer = numer;
  k.wyswietl = T(name);
  k.status = status;
  k.opis = T(opis);
  return cp1250::toUtf8(SpokenContact(k));
}

}  // namespace

// The name, the status in words, and the description only where the status
// carries one; on one line, as the list shows it trimmed.
TEST(SpokenContactTest, NameStatusAndTheDescriptionOfStatusesThatCarryOne) {
  EXPECT_EQ(Spoken("Agnieszka", 3, "Na wykładzie do 14:00"), "Agnieszka, dostępny, Na wykładzie do 14:00");
  EXPECT_EQ(Spoken("Agnieszka", 2, "Na wykładzie do 14:00"), "Agnieszka, dostępny");
  EXPECT_EQ(Spoken("Celina Żurawska", 5, "  zaraz wracam,\r\ntylko\r kawa \n"),
            "Celina Żurawska, zaraz wracam, zaraz wracam, tylko kawa");
  EXPECT_EQ(Spoken("Darek", 1, "w podróży"), "Darek, niedostępny, w podróży");
  EXPECT_EQ(Spoken("Ewa", 0, ""), "Ewa, niedostępny");
  EXPECT_EQ(Spoken("Ewa", 1, " \r\n "), "Ewa, niedostępny") << "a blank description says nothing";
  EXPECT_EQ(Spoken("Franek", 6, ""), "Franek, zablokowany");
  // A status the program has no word for is left unsaid; a contact without
  // a display name is read by its number.
  EXPECT_EQ(Spoken("Gucio", 0x41, "opis"), "Gucio, opis");
  EXPECT_EQ(Spoken("", 2, "", 4567890), "4567890, dostępny");
}
