#pragma once
// A message of a conversation as a screen reader says it: who wrote it (the
// partner's name, or "Ja" for the user's own), its time label with what
// became of it ("(oczekuje) 12:05") and its text as a copy holds it, with
// emoticons as their shorthand and links as their address. Windows-1250.

#include <string>

#include "conversation/ConversationLayout.h"

// partner: the contact's display name, or "Nieznajomy".
std::string MessageSender(const Wiersz& message, const std::string& partner);
std::string SpokenMessage(const Wiersz& message, const std::string& partner, const std::string& copiedText);
