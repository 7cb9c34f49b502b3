#pragma once
// Plays the user at the contact data window: each time the window comes up
// modally, the next scripted step runs on it. A window that comes up with no
// step left is cancelled, so a test never waits for a click.

#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <deque>
#include <functional>

#include "contacts/view/TFNowy.h"
#include "ui/TNapisButon.h"

class ContactDialogScript {
 public:
  using Step = std::function<void(TFNowy&)>;

  ContactDialogScript() {
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start();
  }

  void Then(Step step) { steps_.push_back(std::move(step)); }
  int Showings() const { return showings_; }

  // Typical steps.
  static Step Type(QString numer, QString nazwa) {
    return [=](TFNowy& d) {
      if (d.ENumer->isEnabled()) d.ENumer->setText(numer);
      d.ENazwa->setText(nazwa);
      d.Napis1->Click();
    };
  }
  static Step Cancel() {
    return [](TFNowy& d) { d.NapisButon1->Click(); };
  }

 private:
  void Poll() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* d = qobject_cast<TFNowy*>(w);
      // A window with a result is on its way down.
      if (!d || !d->isVisible() || !d->inModalLoop() || d->modalResult() != kMrNone) continue;
      ++showings_;
      if (steps_.empty()) {
        d->close();
      } else {
        Step step = std::move(steps_.front());
        steps_.pop_front();
        step(*d);
      }
      // One step is one showing: a window the step left up (a refused
      // confirmation) is cancelled rather than left waiting.
      if (d->modalResult() == kMrNone) d->close();
      return;
    }
  }

  QTimer timer_;
  std::deque<Step> steps_;
  int showings_ = 0;
};
