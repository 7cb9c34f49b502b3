#include "protocol/Balloon.h"

#include "platform/Tray.h"

std::string BalloonText(const std::string& message) {
  if (message.size() <= 13) return message;
  const size_t space = message.find(' ');
  // Positions counted from 1: a space at 1 to 11 ends the first word.
  if (space != std::string::npos && space < 11) return message.substr(0, space) + "...";
  return message.substr(0, 10) + "...";
}

std::string BalloonTitle(const std::optional<std::string>& contactName, uint32_t number) {
  std::string title = contactName ? *contactName : std::to_string(number);
  if (title.size() > Tray::kTitleMax) title.resize(Tray::kTitleMax);
  return title;
}
