#pragma once
// The tray and the sound as a test sees them: every call recorded, and the
// user's clicks and the desktop's coming and going played through the events
// the program gave.

#include <string>
#include <vector>

#include "platform/Sound.h"
#include "platform/Tray.h"

class RecordingTray : public Tray {
 public:
  struct Balloon {
    std::string title;  // Windows-1250
    std::string text;
    BalloonIcon icon;
    int timeoutMs;
  };
  void SetAnimation(bool on) override {
    animation = on;
    animationCalls.push_back(on);
  }
  void ShowBalloon(const std::string& title, const std::string& text, BalloonIcon icon, int timeoutMs) override {
    balloons.push_back({title, text, icon, timeoutMs});
  }
  void SetChats(std::vector<ChatItem> items) override {
    chats = std::move(items);
    ++chatRebuilds;
  }
  void SetOwnStatus(uint8_t statusIndex) override { ownStatus = statusIndex; }
  void SetEvents(Events e) override { events = std::move(e); }
  bool Available() const override { return available; }

  // The desktop's tray appears or goes.
  void SetAvailable(bool on) {
    available = on;
    if (events.availabilityChanged) events.availabilityChanged(on);
  }
  void Click() {
    if (events.click) events.click();
  }
  // The menu as the user opens it: refreshed first, then an item chosen.
  void OpenMenu() {
    if (events.menuOpening) events.menuOpening();
  }

  bool available = true;
  bool animation = false;
  std::vector<bool> animationCalls;
  std::vector<Balloon> balloons;
  std::vector<ChatItem> chats;
  int chatRebuilds = 0;
  int ownStatus = -1;
  Events events;
};

class CountingSound : public NotifySound {
 public:
  void Play() override { ++plays; }
  int plays = 0;
};
