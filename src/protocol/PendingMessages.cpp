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

uint32_t PendingMessages::Allocate(std::string text, uint32_t recipient, uint32_t now) {
  uint32_t sequence = now > lastTimed_ ? now : lastTimed_ + 1;
  while (sequence == 0 || timed_.count(sequence)) ++sequence;
  lastTimed_ = sequence;
  timed_.emplace(sequence, Slot{recipient, std::move(text)});
  return sequence;
}

std::optional<std::string> PendingMessages::Take(uint32_t sequence) {
  if (const auto it = timed_.find(sequence); it != timed_.end()) {
    std::optional<std::string> text = std::move(it->second.text);
    timed_.erase(it);
    return text;
  }
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
  for (auto& [sequence, slot] : timed_) out.push_back({sequence, slot.recipient, std::move(slot.text)});
  timed_.clear();
  return out;
}
