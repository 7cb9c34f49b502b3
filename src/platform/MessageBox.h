#pragma once
// Every confirmation, warning and error of the system goes through one
// function. The skinned message box window installs itself as its handler at
// start; tests install a scripted one so that nothing ever waits for a click.

#include <functional>
#include <string>

enum MessageKind : int {
  kOstrzezenie = 0,  // warning
  kPytanie = 1,      // question: "Tak" / "Nie"
  kInformacja = 2,   // notice
};

// Shows text (Windows-1250) as a message of the given kind; true only when a
// question is answered "Tak".
bool MessageBox(const std::string& text, int kind);

using MessageBoxHandler = std::function<bool(const std::string& text, int kind)>;

// Replaces the implementation; returns the previous one. Without a handler a
// message is written to standard error and every question is answered "Nie".
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);
