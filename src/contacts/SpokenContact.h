#pragma once
// A contact as a screen reader says it: the display name, the status in
// words and, for a status with a description, the description on one line
// ("Agnieszka, dostępny, Na wykładzie do 14:00"). Windows-1250 text.

#include <string>

#include "contacts/Kontakt.h"

std::string SpokenContact(const TKontakt& contact);
