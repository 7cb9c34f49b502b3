#pragma once
// On Linux the end of the user's session reaches a program as SIGTERM or
// SIGHUP, and Ctrl+C in the terminal that started it as SIGINT. They are
// turned into one callback on the event loop's thread, where the program can
// save and say goodbye without asking anything.

#include <QObject>
#include <functional>

class QSocketNotifier;

class EndOfSession : public QObject {
 public:
  // Only one may exist: it owns the process's handlers of these signals.
  explicit EndOfSession(std::function<void()> onEnd, QObject* parent = nullptr);
  ~EndOfSession() override;

 private:
  void onSignal();

  std::function<void()> onEnd_;
  QSocketNotifier* notifier_ = nullptr;
};
