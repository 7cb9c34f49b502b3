#pragma once
// The tray icon Ikona: picture 0 of Cycle at rest, every picture in turn,
// one each 500 ms, while a new message waits; the balloon. Where the desktop
// has no tray (Available() false; asked again every few seconds, as the
// desktop may gain or lose one while the program runs) the balloon goes to
// the given notifier instead.
//
// The menu: an XEmbed tray (and a host that asks the program for its menu)
// gets the owner-drawn Pupa at the pointer on the icon's context click,
// refreshed through Events::menuOpening first. A tray host over D-Bus draws
// menus itself: it is given HostMenu, a plain menu with the same items in
// the same order (the status pictures, but no bold), rebuilt as the chats
// change and refreshed when the host opens it.

#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "platform/Tray.h"

class TPupa;

class TrayIcon : public QObject, public Tray {
  Q_OBJECT
 public:
  static constexpr int kStepMs = 500;

  struct Options {
    // Whether the desktop has a tray; by default Qt's answer.
    std::function<bool()> available;
    int pollMs = 3000;
    // Where a balloon goes while there is no tray (title and text are
    // Windows-1250); nowhere when empty.
    std::function<void(const std::string& title, const std::string& text, int timeoutMs)> notify;
    // Whether the tray's host draws the icon's menu itself; asked once, as
    // Qt decides once how it shows the icon. By default whether a
    // StatusNotifierItem host is on the session bus.
    std::function<bool()> hostDrawsMenu;
  };

  TrayIcon();
  explicit TrayIcon(Options options);
  ~TrayIcon() override;

  void SetAnimation(bool on) override;
  void ShowBalloon(const std::string& title, const std::string& text, BalloonIcon icon, int timeoutMs) override;
  void SetChats(std::vector<ChatItem> chats) override;
  void SetOwnStatus(uint8_t statusIndex) override;
  void SetEvents(Events events) override;
  bool Available() const override { return available_; }

  // The icon's click, and its context click (the menu at the pointer).
  void IkonaClick();
  void IkonaContext();
  // Asks the desktop again; tells Events::availabilityChanged of a change.
  void CheckAvailability();
  // One step of the animation.
  void Step();

  QSystemTrayIcon& Ikona() { return ikona_; }
  TPupa& Pupa() { return *pupa_; }
  // Null where the program draws the menu.
  QMenu* HostMenu() { return hostMenu_.get(); }
  int Picture() const { return picture_; }
  bool Animating() const { return timer_.isActive(); }

 private:
  void ShowPicture(int index);
  void BuildHostMenu();
  // Connects an item of either menu to its event, after the menu's own
  // handling of the click (see the constructor).
  void Deliver(QAction* item, std::function<void()> Events::*event);

  Options options_;
  Events events_;
  // Made before the icon and freed after it: the icon exports it.
  std::unique_ptr<QMenu> hostMenu_;
  std::vector<ChatItem> chats_;
  uint8_t ownStatus_ = 0;
  QSystemTrayIcon ikona_;
  std::unique_ptr<TPupa> pupa_;
  QTimer timer_;
  QTimer poll_;
  int picture_ = 0;
  bool available_ = false;
};
