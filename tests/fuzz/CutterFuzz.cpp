// The packet cutter against a plain framer of its own: arbitrary bytes in
// arbitrary reads, some of them arriving while a packet's handler runs (a
// modal loop inside a handler lets the socket deliver more, which is only
// buffered until the outer dispatch loop comes back). Whatever the reads, the
// cutter must hand out exactly the packets the framer cuts from the bytes fed
// so far, keep exactly the rest buffered, and turn oversized exactly where the
// framer meets a header announcing more than the limit. Every packet goes to
// the parser of its type.
//
// The stream is taken from the front of the input, the read sizes and the
// reads inside handlers from its back.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "protocol/PacketCutter.h"
#include "protocol/Packets.h"

namespace {

using Result = PacketCutter::Result;

uint32_t Le32(const std::string& s, size_t at) {
  return uint32_t(uint8_t(s[at])) | uint32_t(uint8_t(s[at + 1])) << 8 |
         uint32_t(uint8_t(s[at + 2])) << 16 | uint32_t(uint8_t(s[at + 3])) << 24;
}

// Keeps every byte fed and cuts from an offset; nothing clever.
class Framer {
 public:
  void Feed(std::string_view bytes) {
    if (!oversized_) bytes_ += bytes;
  }
  Result Next(uint32_t& type, std::string& payload) {
    if (oversized_) return Result::Oversized;
    if (bytes_.size() - at_ < 8) return Result::NeedMore;
    const uint32_t length = Le32(bytes_, at_ + 4);
    if (length > PacketCutter::kMaxPayload) {
      oversized_ = true;
      return Result::Oversized;
    }
    if (bytes_.size() - at_ - 8 < length) return Result::NeedMore;
    type = Le32(bytes_, at_);
    payload = bytes_.substr(at_ + 8, length);
    at_ += 8 + length;
    return Result::Packet;
  }
  size_t Buffered() const { return bytes_.size() - at_; }
  bool Oversized() const { return oversized_; }
  void Clear() { *this = Framer(); }

 private:
  std::string bytes_;
  size_t at_ = 0;
  bool oversized_ = false;
};

std::string UpToZero(std::string_view s) { return std::string(s.substr(0, s.find('\0'))); }

// The parsers refuse a payload shorter than their fixed fields and nothing
// else, and their texts are the payload's own bytes.
void Parse(uint32_t type, const std::string& payload) {
  const size_t n = payload.size();
  switch (type) {
    case gg::in::kWelcome: {
      auto seed = gg::ParseWelcome(payload);
      FUZZ_REQUIRE(seed.has_value() == (n >= 4), "welcome refused or accepted wrongly");
      if (seed) FUZZ_REQUIRE(*seed == Le32(payload, 0), "welcome seed misread");
      break;
    }
    case gg::in::kSendAck:
      FUZZ_REQUIRE(gg::ParseSendAck(payload).has_value() == (n >= 12), "send ack refused or accepted wrongly");
      break;
    case gg::in::kRecvMsg: {
      auto m = gg::ParseReceivedMessage(payload);
      FUZZ_REQUIRE(m.has_value() == (n >= 16), "message refused or accepted wrongly");
      if (m) {
        FUZZ_REQUIRE(m->sender == Le32(payload, 0) && m->messageClass == Le32(payload, 12), "message fields misread");
        FUZZ_REQUIRE(m->text == UpToZero(std::string_view(payload).substr(16)), "message text is not the payload's");
      }
      break;
    }
    case gg::in::kStatus: {
      auto e = gg::ParseStatusChange(payload);
      FUZZ_REQUIRE(e.has_value() == (n >= 14), "status change refused or accepted wrongly");
      if (e) {
        FUZZ_REQUIRE(e->number == (Le32(payload, 0) & 0xFFFFFF), "status number misread");
        FUZZ_REQUIRE(e->description == UpToZero(std::string_view(payload).substr(14)), "status description misread");
      }
      break;
    }
    case gg::in::kNotifyReply: {
      const auto entries = gg::ParseNotifyReply(payload);
      FUZZ_REQUIRE(entries.size() <= n / 14, "more notify entries than the payload holds");
      size_t text = 0;
      for (const auto& e : entries) text += e.description.size();
      FUZZ_REQUIRE(entries.size() * 14 + text <= n, "notify descriptions longer than the payload");
      break;
    }
    case gg::in::kUserlistReply: {
      auto r = gg::ParseUserlistReply(payload);
      FUZZ_REQUIRE(r.has_value() == (n >= 1), "userlist reply refused or accepted wrongly");
      if (r) FUZZ_REQUIRE(r->text == (r->kind > 2 ? payload.substr(1) : std::string()), "userlist text misread");
      break;
    }
    default:
      break;  // the others carry nothing the program reads
  }
}

class Run {
 public:
  Run(const uint8_t* data, size_t size) : in_(data, size) {}

  void Go() {
    while (in_.remaining_bytes() > 0 && !stopped_) {
      // Now and then the connection ends and a new one starts.
      if (in_.ConsumeIntegral<uint8_t>() == 0xFF) {
        cutter_.clear();
        framer_.Clear();
        continue;
      }
      Read();
      Dispatch();
    }
  }

 private:
  // One read of the socket: its size from the back of the input, its bytes
  // from the front.
  void Read() {
    const uint8_t b = in_.ConsumeIntegral<uint8_t>();
    size_t size = b & 0x3F;
    if (b & 0x40) size *= 61;
    const std::string bytes = in_.ConsumeBytesAsString(size);
    framer_.Feed(bytes);
    cutter_.feed(bytes);
    CheckBuffered();
  }

  void CheckBuffered() {
    if (!framer_.Oversized())
      FUZZ_REQUIRE(cutter_.buffered() == framer_.Buffered(), "buffered bytes differ from the framer's");
  }

  // As the connection does on data: takes every complete packet in order.
  void Dispatch() {
    for (;;) {
      PacketCutter::Packet packet;
      const Result got = cutter_.next(packet);
      uint32_t type = 0;
      std::string payload;
      const Result want = framer_.Next(type, payload);
      FUZZ_REQUIRE(got == want, "packet, need-more or oversized differs from the framer");
      if (got == Result::NeedMore) return;
      if (got == Result::Oversized) {
        // For good: nothing after it is cut any more.
        cutter_.feed(std::string(40, '\0'));
        FUZZ_REQUIRE(cutter_.next(packet) == Result::Oversized, "oversized stream resumed");
        stopped_ = true;
        return;
      }
      FUZZ_REQUIRE(packet.type == type, "packet type differs");
      FUZZ_REQUIRE(packet.payload == payload, "packet payload differs");
      // The view dies with the next read: the handler works on a copy.
      const std::string copy(packet.payload);
      CheckBuffered();
      Parse(type, copy);
      // The handler's modal loop: reads arrive before the packets after
      // this one were taken.
      for (int reads = in_.ConsumeIntegralInRange<int>(0, 3); reads > 0 && in_.remaining_bytes() > 0; --reads) Read();
    }
  }

  FuzzedDataProvider in_;
  PacketCutter cutter_;
  Framer framer_;
  bool stopped_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Run(data, size).Go();
  return 0;
}
