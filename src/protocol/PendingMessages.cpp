#include "protocol/PendingMessages.h"

uint32_t PendingMessages::Allocate(std::string text, uint32_t recipient) {
  for (size_t i = 0; i < slots_.size(); ++i) {
    if (!slots_[i]) {
      slots_[i] = Slot{recipient, std::move(text)};
      return static_cast<uint32_t>(i + 1);
    }
  }
  slots_.emplace_back(Slot{recipient, std::move(text)});
  return static_cast<uint32_t>(slots_.size());
}

std::optional<std::string> PendingMessages::Take(uint32_t sequence) {
  if (sequence < 1 || sequence > slots_.size() || !slots_[sequence - 1]) return std::nullopt;
  std::optional<std::string> text = std::move(slots_[sequence - 1]->text);
  slots_[sequence - 1].reset();
  while (!slots_.empty() && !slots_.back()) slots_.pop_back();
  return text;
}

std::vector<PendingMessages::Message> PendingMessages::TakeAll() {
  std::vector<Message> out;
  for (size_t i = 0; i < slots_.size(); ++i)
    if (slots_[i])
      out.push_back({static_cast<uint32_t>(i + 1), slots_[i]->recipient, std::move(slots_[i]->text)});
  slots_.clear();
  return out;
}
