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

// A message that came, as a notice tells it: in the chat the user is in, the
// sender and the whole text ("Celina: Cześć!"); elsewhere who wrote
// ("Wiadomość od Celina") with the text where it is short, at most
// kNoticeTextMax characters, as a longer one is better read in its chat.
constexpr std::size_t kNoticeTextMax = 80;
std::string MessageNotice(const std::string& sender, const std::string& copiedText, bool inChat);
