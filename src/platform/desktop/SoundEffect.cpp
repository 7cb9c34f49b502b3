#include "platform/desktop/SoundEffect.h"

#include <QFileInfo>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

SoundEffect::SoundEffect(QString path) : path_(std::move(path)) {}

SoundEffect::~SoundEffect() = default;

void SoundEffect::Play() {
  if (!effect_) {
    // Without a file or a device there is nothing to hear; a sound that
    // fails later (a damaged file) fails inside QSoundEffect, silently.
    if (!QFileInfo(path_).isFile() || QMediaDevices::audioOutputs().isEmpty()) return;
    effect_ = std::make_unique<QSoundEffect>();
    effect_->setSource(QUrl::fromLocalFile(path_));
  }
  // A sound still playing starts again from its beginning.
  effect_->play();
}
