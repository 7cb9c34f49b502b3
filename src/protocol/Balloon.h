#pragma once
// The tray balloon that announces a message arriving in a hidden chat window:
// its title names the sender, its text is the start of the message. Both are
// Windows-1250 bytes.

#include <cstdint>
#include <optional>
#include <string>

// The whole message when it has at most 13 characters; otherwise its first
// word and "..." when the first space is among its first 11 characters, and
// else its first 10 characters and "...".
std::string BalloonText(const std::string& message);

// The contact's display name, or the number in decimal for a stranger; cut
// to what a balloon title takes.
std::string BalloonTitle(const std::optional<std::string>& contactName, uint32_t number);
