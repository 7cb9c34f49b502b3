#pragma once
// On Linux the end of the user's session reaches a program as SIGTERM or
// SIGHUP, and Ctrl+C in the terminal that started it as SIGINT; a session
// manager that ends the session tells the toolkit, which asks the
// application to quit. They are turned into one callback on the event
// loop's thread, where the program can save and say goodbye without asking
// anything. The program's own quit comes the same way once it is closing:
// the callback must then do nothing.

#include <QObject>
#include <functional>

class QSocketNotifier;

class EndOfSession : public QObject {
 public:
  // Only one may exist: it owns the process's handlers of these signals.
  explicit EndOfSession(std::function<void()> onEnd, QObject* parent = nullptr);
  ~EndOfSession() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void onSignal();

  std::function<void()> onEnd_;
  QSocketNotifier* notifier_ = nullptr;
};
