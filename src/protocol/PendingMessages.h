#pragma once
// Messages sent and not yet acknowledged. Slot i holds the text sent with
// sequence number i + 1 until its acknowledgement arrives; an empty text
// marks a free slot.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class PendingMessages {
 public:
  // Stores text in the first free slot, or a new one at the end; returns the
  // sequence number.
  uint32_t Allocate(std::string text);

  // The text sent with sequence, emptying its slot and trimming free slots
  // from the end; nothing for a sequence without a pending text.
  std::optional<std::string> Take(uint32_t sequence);

  size_t Slots() const { return slots_.size(); }

 private:
  // A slot holds its text, or nothing when free: an empty message never
  // leaves, but a free slot must not be mistaken for one.
  std::vector<std::optional<std::string>> slots_;
};
