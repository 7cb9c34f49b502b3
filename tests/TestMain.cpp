#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <ctime>

int main(int argc, char** argv) {
  // Windows are painted offscreen unless the caller chose a platform.
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // Times are shown on the machine's clock; the tests' machine is at UTC
  // wherever they run, and the tests of other zones say which.
  setenv("TZ", "UTC", 1);
  tzset();
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
