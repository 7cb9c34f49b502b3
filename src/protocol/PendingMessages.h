#pragma once
// Messages sent and not yet acknowledged. Slot i holds the text sent with
// sequence number i + 1, and its recipient, until its acknowledgement
// arrives; a free slot holds nothing.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

class PendingMessages {
 public:
  struct Message {
    uint32_t sequence = 0;
    uint32_t recipient = 0;
    std::string text;
  };

  // Stores text in the first free slot, or a new one at the end; returns the
  // sequence number.
  uint32_t Allocate(std::string text, uint32_t recipient = 0);
  // Today's network numbers a message by the clock's seconds: now, or one
  // more than the last number given when that is not below now.
  uint32_t Allocate(std::string text, uint32_t recipient, uint32_t now);

  // The text sent with sequence, emptying its slot and trimming free slots
  // from the end; nothing for a sequence without a pending text.
  std::optional<std::string> Take(uint32_t sequence);

  // Every message still pending, in sequence order; the table is left with
  // no slots. For the end of a connection, after which no acknowledgement
  // can come.
  std::vector<Message> TakeAll();

  size_t Slots() const { return slots_.size() + timed_.size(); }

 private:
  struct Slot {
    uint32_t recipient;
    std::string text;
  };
  // A slot holds its message, or nothing when free: an empty message never
  // leaves, but a free slot must not be mistaken for one.
  std::vector<std::optional<Slot>> slots_;
  std::map<uint32_t, Slot> timed_;
  uint32_t lastTimed_ = 0;
};
