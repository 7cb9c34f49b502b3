#include "protocol/Balloon.h"

#include "platform/Cp1250.h"
#include "platform/Tray.h"

namespace {

// The byte where the character of index n starts (a wide mark counting one).
size_t ByteOfCharacter(const std::string& text, size_t n) {
  size_t at = 0;
  for (size_t i = 0; i < n && at < text.size(); ++i) {
    const size_t wide = cp1250::wideMarkLength(text, at);
    at += wide ? wide : 1;
  }
  return at;
}

}  // namespace

std::string BalloonText(const std::string& message) {
  // Counted in characters: a character the code page lacks is one, however
  // long its mark.
  if (cp1250::characterCount(message) <= 13) return message;
  const size_t space = message.find(' ');
  // Positions counted from 1: a space at 1 to 11 ends the first word.
  if (space != std::string::npos && cp1250::characterCount(std::string_view(message).substr(0, space)) < 11)
    return message.substr(0, space) + "...";
  return message.substr(0, ByteOfCharacter(message, 10)) + "...";
}

std::string BalloonTitle(const std::optional<std::string>& contactName, uint32_t number) {
  std::string title = contactName ? *contactName : std::to_string(number);
  title.resize(cp1250::cutBefore(title, Tray::kTitleMax));
  return title;
}
