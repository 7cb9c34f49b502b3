#pragma once
// The tray icon as the rest of the program uses it: its animation, which runs
// while a chat window holds an unread message, and the balloon that announces
// a message arriving in a hidden window. The icon itself, its menu and its
// pictures belong to the main window's chrome; until that is built NoTray
// stands in for it.

#include <cstddef>
#include <string>

class Tray {
 public:
  enum class BalloonIcon { kNone, kInformation, kWarning, kError };
  // What the desktop's balloon takes; longer texts are cut.
  static constexpr std::size_t kTitleMax = 63;
  static constexpr std::size_t kTextMax = 255;

  virtual ~Tray() = default;
  // On: the icon cycles its pictures every 500 ms. Off: it stops on its first
  // picture.
  virtual void SetAnimation(bool on) = 0;
  // title and text are Windows-1250.
  virtual void ShowBalloon(const std::string& title, const std::string& text, BalloonIcon icon,
                           int timeoutMs) = 0;
};

class NoTray final : public Tray {
 public:
  void SetAnimation(bool) override {}
  void ShowBalloon(const std::string&, const std::string&, BalloonIcon, int) override {}
};
