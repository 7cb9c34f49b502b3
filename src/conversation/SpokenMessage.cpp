#include "conversation/SpokenMessage.h"

#include "platform/Cp1250.h"

std::string MessageSender(const Wiersz& message, const std::string& partner) {
  return message.Kind == Received ? partner : std::string("Ja");
}

std::string SpokenMessage(const Wiersz& message, const std::string& partner, const std::string& copiedText) {
  return MessageSender(message, partner) + ", " + message.TimeLabel + ": " + copiedText;
}

std::string MessageNotice(const std::string& sender, const std::string& copiedText, bool inChat) {
  if (inChat) return sender + ": " + copiedText;
  std::string notice = T("Wiadomość od ") + sender;
  if (copiedText.size() <= kNoticeTextMax) notice += ": " + copiedText;
  return notice;
}
