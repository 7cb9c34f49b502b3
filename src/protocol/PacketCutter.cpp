#include "protocol/PacketCutter.h"

#include <algorithm>

size_t PacketCutter::Missing() const {
  if (partial_.size() < kHeader) return kHeader - partial_.size();
  const uint32_t length = Le32(partial_.data() + 4);
  if (length > kMaxPayload) return 0;
  return kHeader + length - partial_.size();
}

void PacketCutter::feed(std::string bytes) {
  if (oversized_) return;
  if (partialTaken_) {
    partial_.clear();
    partialTaken_ = false;
  }
  // What the last read left is the start of a packet: keep it before that
  // read is replaced.
  partial_.append(rest_);
  read_ = std::move(bytes);
  rest_ = read_;
  // Complete the cut packet from the front of this read; its remaining bytes
  // are handed out in place.
  while (!partial_.empty() && !rest_.empty()) {
    const size_t take = std::min(Missing(), rest_.size());
    if (take == 0) break;
    partial_.append(rest_.substr(0, take));
    rest_.remove_prefix(take);
  }
}

void PacketCutter::clear() {
  read_.clear();
  rest_ = {};
  partial_.clear();
  partialTaken_ = false;
  oversized_ = false;
}
