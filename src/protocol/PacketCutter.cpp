#include "protocol/PacketCutter.h"

#include "protocol/Packets.h"

void PacketCutter::feed(std::string_view bytes) {
  if (oversized_) return;
  if (start_ > 0) {
    buffer_.erase(0, start_);
    start_ = 0;
  }
  buffer_.append(bytes);
}

PacketCutter::Result PacketCutter::next(Packet& packet) {
  if (oversized_) return Result::Oversized;
  const size_t available = buffer_.size() - start_;
  if (available < gg::kHeaderSize) return Result::NeedMore;
  const char* head = buffer_.data() + start_;
  const uint32_t length = gg::ReadLe32(head + 4);
  if (length > kMaxPayload) {
    oversized_ = true;
    return Result::Oversized;
  }
  if (available - gg::kHeaderSize < length) return Result::NeedMore;
  packet.type = gg::ReadLe32(head);
  packet.payload = std::string_view(head + gg::kHeaderSize, length);
  start_ += gg::kHeaderSize + length;
  return Result::Packet;
}

void PacketCutter::clear() {
  buffer_.clear();
  start_ = 0;
  oversized_ = false;
}
