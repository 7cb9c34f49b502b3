#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QProcess>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

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


// What a process is doing: whether a thread of it runs or waits to run (or
// waits for the disk), and the processor time its threads have had, in
// clock ticks. A process that has gone does nothing.
struct Activity {
  bool busy = false;
  qint64 ticks = 0;
};
inline Activity ActivityOf(qint64 pid) {
  Activity a;
  const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
  for (const QString& id : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    QFile f(tasks.filePath(id + "/stat"));
    if (!f.open(QIODevice::ReadOnly)) continue;
    const QByteArray stat = f.readAll();
    // The name, in parentheses, may hold anything; after it come the state
    // and, eleven and twelve further on, the user and system times.
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13) continue;
    a.busy |= fields[0] == "R" || fields[0] == "D";
    a.ticks += fields[11].toLongLong() + fields[12].toLongLong();
  }
  return a;
}

// Until the processes have settled, having done what they were given:
// a quarter of a second gone by with none of them running or waiting to
// run, and all together using next to no processor time (a caret's blink
// or a timer's tick may take a clock tick now and then). False when that
// does not come within the time.
inline bool WaitQuiet(const std::vector<qint64>& pids, int ms) {
  constexpr int kQuietMs = 250, kTicksAllowed = 2;
  QElapsedTimer quiet;
  qint64 quietFrom = -1;
  return Until(
      [&] {
        Activity all;
        for (qint64 pid : pids) {
          const Activity a = ActivityOf(pid);
          all.busy |= a.busy;
          all.ticks += a.ticks;
        }
        if (all.busy || quietFrom < 0 || all.ticks - quietFrom > kTicksAllowed) {
          quietFrom = all.busy ? -1 : all.ticks;
          quiet.start();
          return false;
        }
        return quiet.elapsed() >= kQuietMs;
      },
      ms);
}

}  // namespace desktop_support
