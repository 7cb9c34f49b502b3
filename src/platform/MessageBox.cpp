#include "platform/MessageBox.h"

#include <cstdio>

#include "platform/Cp1250.h"

namespace {
MessageBoxHandler& handler() {
  static MessageBoxHandler h;
  return h;
}
}  // namespace

bool MessageBox(const std::string& text, int kind) {
  if (handler()) return handler()(text, kind);
  std::fprintf(stderr, "%s\n", cp1250::toUtf8(text).c_str());
  return false;
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler h) {
  MessageBoxHandler previous = std::move(handler());
  handler() = std::move(h);
  return previous;
}
