#pragma once
// The new-message sound through Qt Multimedia: a WAV file played
// asynchronously by QSoundEffect. The file is opened at the first Play, and
// looked for again at every Play while it is missing.

#include <QString>
#include <memory>

#include "platform/Sound.h"

class QSoundEffect;

class SoundEffect final : public NotifySound {
 public:
  explicit SoundEffect(QString path);
  ~SoundEffect() override;
  void Play() override;

 private:
  QString path_;
  std::unique_ptr<QSoundEffect> effect_;
};
