#include "support/ScriptedMessageBox.h"

#include "platform/Cp1250.h"

ScriptedMessageBox::ScriptedMessageBox() {
  previous_ = SetMessageBoxHandler([this](const std::string& text, int kind) {
    shown_.push_back({text, kind});
    if (kind != kPytanie || answers_.empty()) return false;
    bool yes = answers_.front();
    answers_.pop_front();
    return yes;
  });
}

ScriptedMessageBox::~ScriptedMessageBox() { SetMessageBoxHandler(std::move(previous_)); }

std::vector<std::string> ScriptedMessageBox::textsUtf8() const {
  std::vector<std::string> out;
  for (const auto& s : shown_) out.push_back(cp1250::toUtf8(s.text));
  return out;
}
