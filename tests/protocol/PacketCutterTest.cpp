#include <gtest/gtest.h>

#include <vector>

#include "protocol/PacketCutter.h"
#include "protocol/Packets.h"

namespace {

struct Taken {
  uint32_t type;
  std::string payload;
  bool operator==(const Taken&) const = default;
};

std::vector<Taken> TakeAll(PacketCutter& c) {
  std::vector<Taken> out;
  PacketCutter::Packet p;
  while (c.next(p) == PacketCutter::Result::Packet) out.push_back({p.type, std::string(p.payload)});
  return out;
}

}  // namespace

TEST(PacketCutter, MergedPacketsComeOutInOrder) {
  PacketCutter c;
  c.feed(gg::BuildPacket(1, "seed") + gg::BuildPacket(3, "") + gg::BuildPacket(0x0A, "xyz"));
  EXPECT_EQ(TakeAll(c), (std::vector<Taken>{{1, "seed"}, {3, ""}, {0x0A, "xyz"}}));
  EXPECT_EQ(c.buffered(), 0u);
}

TEST(PacketCutter, SplitPacketsWaitForTheirLastByte) {
  const std::string stream = gg::BuildPacket(5, std::string(12, 'a')) + gg::BuildPacket(0x12, "");
  // Every way of splitting the stream in two gives the same packets.
  for (size_t cut = 0; cut <= stream.size(); ++cut) {
    PacketCutter c;
    c.feed(stream.substr(0, cut));
    std::vector<Taken> got = TakeAll(c);
    c.feed(stream.substr(cut));
    for (auto& t : TakeAll(c)) got.push_back(t);
    EXPECT_EQ(got, (std::vector<Taken>{{5, std::string(12, 'a')}, {0x12, ""}})) << cut;
  }
  // A header alone waits; a zero-length packet needs only its header.
  PacketCutter c;
  c.feed(gg::BuildPacket(7, "abc").substr(0, 8));
  PacketCutter::Packet p;
  EXPECT_EQ(c.next(p), PacketCutter::Result::NeedMore);
  PacketCutter d;
  d.feed(gg::BuildPacket(8, "").substr(0, 7));
  EXPECT_EQ(d.next(p), PacketCutter::Result::NeedMore);
  d.feed(gg::BuildPacket(8, "").substr(7));
  ASSERT_EQ(d.next(p), PacketCutter::Result::Packet);
  EXPECT_EQ(p.type, 8u);
  EXPECT_TRUE(p.payload.empty());
}

TEST(PacketCutter, ByteByByte) {
  const std::string stream = gg::BuildPacket(1, "1234") + gg::BuildPacket(2, "") +
                             gg::BuildPacket(3, std::string(300, 'z'));
  PacketCutter c;
  std::vector<Taken> got;
  for (char b : stream) {
    c.feed(std::string(1, b));
    for (auto& t : TakeAll(c)) got.push_back(t);
  }
  EXPECT_EQ(got, (std::vector<Taken>{{1, "1234"}, {2, ""}, {3, std::string(300, 'z')}}));
}

TEST(PacketCutter, LargePayloadsStayWholeUpToTheLimit) {
  PacketCutter c;
  const std::string big(PacketCutter::kMaxPayload, 'q');
  c.feed(gg::BuildPacket(0x10, big));
  PacketCutter::Packet p;
  ASSERT_EQ(c.next(p), PacketCutter::Result::Packet);
  EXPECT_EQ(p.payload.size(), big.size());
  EXPECT_EQ(p.payload.back(), 'q');

  // The same packet in 4 KiB reads, behind a small one and before another.
  const std::string stream = gg::BuildPacket(1, "a") + gg::BuildPacket(0x10, big) +
                             gg::BuildPacket(2, "b");
  PacketCutter d;
  std::vector<Taken> got;
  for (size_t at = 0; at < stream.size(); at += 4096) {
    d.feed(stream.substr(at, 4096));
    for (auto& t : TakeAll(d)) got.push_back(t);
  }
  EXPECT_EQ(got, (std::vector<Taken>{{1, "a"}, {0x10, big}, {2, "b"}}));
}

TEST(PacketCutter, OversizedHeaderIsAProtocolErrorForGood) {
  PacketCutter c;
  std::string header;
  gg::AppendLe32(header, 0x0A);
  gg::AppendLe32(header, PacketCutter::kMaxPayload + 1);
  c.feed(gg::BuildPacket(1, "ok!!") + header);
  PacketCutter::Packet p;
  ASSERT_EQ(c.next(p), PacketCutter::Result::Packet);
  EXPECT_EQ(c.next(p), PacketCutter::Result::Oversized);
  c.feed(gg::BuildPacket(3, ""));  // what follows cannot be trusted
  EXPECT_EQ(c.next(p), PacketCutter::Result::Oversized);
  // Even a length that would overflow 32 bits with its header.
  c.clear();
  header.clear();
  gg::AppendLe32(header, 1);
  gg::AppendLe32(header, 0xFFFFFFFCu);
  c.feed(header);
  EXPECT_EQ(c.next(p), PacketCutter::Result::Oversized);
  c.clear();
  c.feed(gg::BuildPacket(3, ""));
  EXPECT_EQ(c.next(p), PacketCutter::Result::Packet);
}
