#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTimer>
#include <functional>
#include <memory>

// What the X and the Wayland desktops of the tests share.
namespace desktop_support {

// Waits with the test's own event loop running: a server the test plays
// in its thread answers meanwhile, at once rather than between looks.
inline bool Until(const std::function<bool()>& done, int ms) {
  QElapsedTimer t;
  t.start();
  QTimer look;
  look.start(20);
  while (!done()) {
    if (t.elapsed() > ms) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  }
  return true;
}

// Asked to end, then ended.
inline void StopProcess(std::unique_ptr<QProcess>& p) {
  if (!p) return;
  p->terminate();
  if (!p->waitForFinished(3000)) {
    p->kill();
    p->waitForFinished(3000);
  }
  p.reset();
}

}  // namespace desktop_support
