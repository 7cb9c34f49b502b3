#pragma once
// Plays the user at whatever skinned window runs modally: each step is
// given the innermost modal window when it is of the step's class, and runs
// from the event loop, so that a step may open a further modal window (a
// button of the settings dialog opening the prompt) and the script goes on
// inside it. A window that comes up when no step is left, or a step of
// another class is next, is closed and recorded, so a test never waits.

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "ui/TSkinnedForm.h"

class ModalScript {
 public:
  using Step = std::function<void(QWidget& window)>;

  ModalScript() {
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start();
  }

  // className: the window's class, as QObject::inherits takes it.
  void Then(const char* className, Step step) { steps_.push_back({className, std::move(step)}); }
  size_t Left() const { return steps_.size(); }
  const std::vector<std::string>& Unexpected() const { return unexpected_; }

 private:
  struct Entry {
    const char* className;
    Step step;
  };

  void Poll() {
    if (running_) return;
    auto* form = qobject_cast<TSkinnedForm*>(QApplication::activeModalWidget());
    if (!form || !form->isVisible() || !form->inModalLoop() || form->modalResult() != kMrNone) return;
    if (steps_.empty() || !form->inherits(steps_.front().className)) {
      unexpected_.push_back(form->metaObject()->className());
      form->close();
      return;
    }
    Step step = std::move(steps_.front().step);
    steps_.pop_front();
    running_ = true;
    QPointer<TSkinnedForm> window(form);
    QTimer::singleShot(0, form, [this, step, window] {
      running_ = false;
      if (window) step(*window);
    });
  }

  QTimer timer_;
  std::deque<Entry> steps_;
  std::vector<std::string> unexpected_;
  bool running_ = false;
};
