#include "conversation/SpokenMessage.h"

std::string MessageSender(const Wiersz& message, const std::string& partner) {
  return message.Kind == Received ? partner : std::string("Ja");
}

std::string SpokenMessage(const Wiersz& message, const std::string& partner, const std::string& copiedText) {
  return MessageSender(message, partner) + ", " + message.TimeLabel + ": " + copiedText;
}
