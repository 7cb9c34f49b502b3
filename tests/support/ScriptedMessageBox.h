#pragma once
// Answers the program's message boxes without a window: each question takes
// the next scripted answer (then "Nie"), and every message is recorded.

#include <deque>
#include <string>
#include <vector>

#include "platform/MessageBox.h"

class ScriptedMessageBox {
 public:
  struct Shown {
    std::string text;  // Windows-1250, as the program passed it
    int kind;
  };

  ScriptedMessageBox();
  ~ScriptedMessageBox();
  ScriptedMessageBox(const ScriptedMessageBox&) = delete;
  ScriptedMessageBox& operator=(const ScriptedMessageBox&) = delete;

  void answer(bool yes) { answers_.push_back(yes); }
  const std::vector<Shown>& shown() const { return shown_; }
  // The texts shown so far, converted to UTF-8 for readable assertions.
  std::vector<std::string> textsUtf8() const;
  void clear() { shown_.clear(); }

 private:
  std::deque<bool> answers_;
  std::vector<Shown> shown_;
  MessageBoxHandler previous_;
};
