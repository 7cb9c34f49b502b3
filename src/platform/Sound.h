#pragma once
// The new-message sound, played without waiting for it to end. A missing
// sound file or a machine without sound is silent: nothing is reported.

class NotifySound {
 public:
  virtual ~NotifySound() = default;
  virtual void Play() = 0;
};

class NoSound final : public NotifySound {
 public:
  void Play() override {}
};
