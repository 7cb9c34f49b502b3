#pragma once
// The tray icon as the rest of the program uses it: its animation, which runs
// while a chat window holds an unread message, the balloon that announces a
// message arriving in a hidden window, its popup menu with an item for every
// chat window, and what the user does with it. The icon, its pictures and its
// menu are drawn by the skinned interface (TrayIcon); NoTray stands in where
// there is none.
//
// Many desktops have no tray. Available() tells whether the icon can be seen;
// while it cannot, nothing may be hidden that only the icon brings back, and
// the balloon goes to the desktop's notifications, when there are any.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class Tray {
 public:
  enum class BalloonIcon { kNone, kInformation, kWarning, kError };
  // What the desktop's balloon takes; longer texts are cut.
  static constexpr std::size_t kTitleMax = 63;
  static constexpr std::size_t kTextMax = 255;

  // One chat window as its menu item shows it.
  struct ChatItem {
    std::string caption;  // Windows-1250: the contact's name, or the bare number
    int picture = -1;     // the contact's status picture of IL; -1: none (a stranger)
    bool bold = false;    // the window holds a new message
    bool operator==(const ChatItem&) const = default;
  };

  // What the icon and its menu ask of the program. Any may be empty.
  struct Events {
    std::function<void()> click;              // a click on the icon
    std::function<void(int chat)> chatItem;   // a chat's item: its registry index
    std::function<void()> resetOkno;          // "Resetuj okno"
    std::function<void()> zmienStatus;        // "Zmień status..."
    std::function<void()> zakoncz;            // "Zakończ"
    std::function<void()> menuOpening;        // just before the menu shows
    std::function<void(bool available)> availabilityChanged;
  };

  virtual ~Tray() = default;
  // On: the icon cycles its pictures every 500 ms. Off: it stops on its first
  // picture.
  virtual void SetAnimation(bool on) = 0;
  // title and text are Windows-1250.
  virtual void ShowBalloon(const std::string& title, const std::string& text, BalloonIcon icon,
                           int timeoutMs) = 0;

  // The chat windows in registry order (index i is chat i); the menu lists
  // the newest first, above its fixed items.
  virtual void SetChats(std::vector<ChatItem> chats) = 0;
  // The own status, whose picture "Zmień status..." shows.
  virtual void SetOwnStatus(uint8_t statusIndex) = 0;
  virtual void SetEvents(Events events) = 0;
  // Whether the desktop shows the icon at all.
  virtual bool Available() const = 0;
};

// No icon: nothing to see, nothing to click, nothing hidden may rely on it.
class NoTray final : public Tray {
 public:
  void SetAnimation(bool) override {}
  void ShowBalloon(const std::string&, const std::string&, BalloonIcon, int) override {}
  void SetChats(std::vector<ChatItem>) override {}
  void SetOwnStatus(uint8_t) override {}
  void SetEvents(Events) override {}
  bool Available() const override { return false; }
};
