#pragma once
// Cuts the byte stream of the connection into packets. It owns no socket:
// feed() takes what one read brought, next() hands out complete packets in
// arrival order. Packets are handed out straight from the read they arrived
// in; only a packet cut by the end of a read is copied, to be completed by the
// next. So a packet costs the same however many arrived in one read.
//
// feed() may come while packets of the last read are still being handed out
// (a packet's handler ran a modal loop and the socket delivered more): what
// was not handed out yet is carried over whole, ahead of the new read.

#include <bit>
#include <cstdint>
#include <cstring>
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

  void feed(std::string bytes);

  // NeedMore when no complete packet is buffered; Oversized, for good, once a
  // header announces too long a payload (the stream cannot be resynchronised).
  Result next(Packet& packet) {
    if (oversized_) return Result::Oversized;
    if (head_ < carry_.size()) {
      std::string_view carried(carry_);
      carried.remove_prefix(head_);
      const size_t before = carried.size();
      const Result r = Cut(carried, packet);
      head_ += before - carried.size();
      return r;
    }
    return Cut(rest_, packet);
  }

  void clear();

  size_t buffered() const { return carry_.size() - head_ + rest_.size(); }

 private:
  static constexpr size_t kHeader = 8;

  static uint32_t Le32(const char* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap32(v);
    return v;
  }

  // Takes one packet from the front of bytes.
  Result Cut(std::string_view& bytes, Packet& packet) {
    if (bytes.size() < kHeader) return Result::NeedMore;
    const uint32_t length = Le32(bytes.data() + 4);
    if (length > kMaxPayload) [[unlikely]] {
      oversized_ = true;
      return Result::Oversized;
    }
    if (bytes.size() - kHeader < length) return Result::NeedMore;
    packet.type = Le32(bytes.data());
    packet.payload = bytes.substr(kHeader, length);
    bytes.remove_prefix(kHeader + length);
    return Result::Packet;
  }

  // The bytes not handed out when a read was replaced: carry_ from head_ on
  // comes before rest_ in the stream. It holds whole packets and at most one
  // cut one, at tail_, which later reads complete before anything of theirs
  // is handed out in place. So while it holds a cut packet rest_ is empty.
  std::string read_;       // the last read; rest_ points into it
  std::string_view rest_;  // its bytes not handed out yet
  std::string carry_;
  size_t head_ = 0;        // next byte of carry_ to hand out
  size_t tail_ = 0;        // start of the packet of carry_ not known whole
  bool oversized_ = false;
};
