#pragma once
// Frees a QObject "after the current event has returned", also when one of
// its own calls runs an event loop (a message box, a dialog, a prompt) in
// which the release is asked for. Qt's deleteLater alone is not enough
// there: asked for inside a nested loop, it is carried out by that loop,
// while the call that opened it is still on the stack, and returning into
// it writes to freed memory. Every call of the object that may run a loop
// holds a Busy while it runs; the object is handed to deleteLater only when
// the last one has ended, from the event that delivered the outermost call,
// so that Qt frees it once that event has returned.

#include <QObject>

class DeferredRelease {
 public:
  explicit DeferredRelease(QObject& owner) : owner_(owner) {}
  DeferredRelease(const DeferredRelease&) = delete;
  DeferredRelease& operator=(const DeferredRelease&) = delete;

  class Busy {
   public:
    explicit Busy(DeferredRelease& r) : r_(r) { ++r_.busy_; }
    ~Busy() {
      if (--r_.busy_ == 0 && r_.released_) r_.owner_.deleteLater();
    }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

   private:
    DeferredRelease& r_;
  };

  // Frees the owner once no call of it is on the stack; asked once.
  void Release() {
    if (released_) return;
    released_ = true;
    if (busy_ == 0) owner_.deleteLater();
  }
  bool Released() const { return released_; }
  bool InCall() const { return busy_ > 0; }

 private:
  QObject& owner_;
  int busy_ = 0;
  bool released_ = false;
};
