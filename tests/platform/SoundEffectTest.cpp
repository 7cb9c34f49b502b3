#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include "platform/desktop/SoundEffect.h"
#include "support/ScriptedMessageBox.h"

// Whatever the machine has (here, usually no sound device at all), playing
// never stops the program to say so.
TEST(SoundEffectTest, MissingFileAndMissingDeviceAreSilent) {
  ScriptedMessageBox box;
  QTemporaryDir dir;
  SoundEffect missing(dir.filePath("notify.wav"));
  missing.Play();
  missing.Play();
  SoundEffect present(QStringLiteral(WM_ASSETS_DIR "/notify.wav"));
  present.Play();
  present.Play();  // again while the first may still be loading or playing
  QCoreApplication::processEvents();
  EXPECT_TRUE(box.shown().empty());
}
