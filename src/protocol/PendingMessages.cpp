#include "protocol/PendingMessages.h"

uint32_t PendingMessages::Allocate(std::string text) {
  for (size_t i = 0; i < slots_.size(); ++i) {
    if (!slots_[i]) {
      slots_[i] = std::move(text);
      return static_cast<uint32_t>(i + 1);
    }
  }
  slots_.emplace_back(std::move(text));
  return static_cast<uint32_t>(slots_.size());
}

std::optional<std::string> PendingMessages::Take(uint32_t sequence) {
  if (sequence < 1 || sequence > slots_.size() || !slots_[sequence - 1]) return std::nullopt;
  std::optional<std::string> text = std::move(slots_[sequence - 1]);
  slots_[sequence - 1].reset();
  while (!slots_.empty() && !slots_.back()) slots_.pop_back();
  return text;
}
