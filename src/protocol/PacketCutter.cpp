#include "protocol/PacketCutter.h"

#include <algorithm>

void PacketCutter::feed(std::string bytes) {
  if (oversized_) return;
  // Keep what was not handed out before the read it points into is replaced.
  if (head_ == carry_.size()) {
    carry_.clear();
    head_ = tail_ = 0;
  } else if (head_ > 0) {
    carry_.erase(0, head_);
    tail_ -= head_;
    head_ = 0;
  }
  carry_.append(rest_);
  read_ = std::move(bytes);
  rest_ = read_;
  // Step over the whole packets carried and complete the cut one from the
  // front of this read; the rest of the read is handed out in place.
  while (tail_ < carry_.size()) {
    const size_t have = carry_.size() - tail_;
    size_t need = kHeader;
    if (have >= kHeader) {
      const uint32_t length = Le32(carry_.data() + tail_ + 4);
      if (length > kMaxPayload) break;  // next() reports it when it gets there
      need += length;
    }
    if (have >= need) {
      tail_ += need;
      continue;
    }
    if (rest_.empty()) break;
    const size_t take = std::min(need - have, rest_.size());
    carry_.append(rest_.substr(0, take));
    rest_.remove_prefix(take);
  }
}

void PacketCutter::clear() {
  read_.clear();
  rest_ = {};
  carry_.clear();
  head_ = tail_ = 0;
  oversized_ = false;
}
