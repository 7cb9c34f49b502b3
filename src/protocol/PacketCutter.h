#pragma once
// Cuts the byte stream of the connection into packets. It owns no socket:
// feed() appends what arrived, next() hands out complete packets in arrival
// order. Consumed bytes are dropped from the front once per feed, never once
// per packet, so the cost of a packet does not depend on how many arrived in
// the same read.

#include <cstdint>
#include <string>
#include <string_view>

class PacketCutter {
 public:
  // A header announcing more than this is a protocol error: no packet of the
  // network comes near it, and the buffer must not grow without bound.
  static constexpr uint32_t kMaxPayload = 1u << 20;

  enum class Result { NeedMore, Packet, Oversized };

  struct Packet {
    uint32_t type = 0;
    std::string_view payload;  // valid until the next feed() or clear()
  };

  void feed(std::string_view bytes);

  // NeedMore when no complete packet is buffered; Oversized, for good, once a
  // header announces too long a payload (the stream cannot be resynchronised).
  Result next(Packet& packet);

  void clear();

  size_t buffered() const { return buffer_.size() - start_; }

 private:
  std::string buffer_;
  size_t start_ = 0;  // first byte not yet handed out
  bool oversized_ = false;
};
