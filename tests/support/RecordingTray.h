#pragma once
// The tray and the sound as a test sees them: every call recorded.

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
  bool animation = false;
  std::vector<bool> animationCalls;
  std::vector<Balloon> balloons;
};

class CountingSound : public NotifySound {
 public:
  void Play() override { ++plays; }
  int plays = 0;
};
