#include <gtest/gtest.h>

#include <algorithm>
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

// A read fed while packets of the last one are still being handed out, as
// when a packet's handler runs a modal loop in which the socket delivers more.
TEST(PacketCutter, AReadFedBetweenPacketsOfTheLastKeepsTheStreamWhole) {
  // Two empty packets and the first byte of a third header; one more byte
  // arrives after the first packet is handed out.
  PacketCutter c;
  const std::string empty = gg::BuildPacket(0, "");
  c.feed(empty + empty + std::string(1, '\x07'));
  PacketCutter::Packet p;
  ASSERT_EQ(c.next(p), PacketCutter::Result::Packet);
  c.feed(std::string(1, '\0'));
  EXPECT_EQ(TakeAll(c), (std::vector<Taken>{{0, ""}}));
  EXPECT_EQ(c.buffered(), 2u);
  c.feed(std::string(6, '\0'));
  EXPECT_EQ(TakeAll(c), (std::vector<Taken>{{7, ""}}));
  EXPECT_EQ(c.buffered(), 0u);

  // Every way of cutting a stream into three reads, the second fed after any
  // number of the packets then complete were taken and the third after any
  // number of those complete then: two or more whole packets left behind,
  // one whole and the start of the next, a packet completed from a cut read
  // with more of them behind it. The same packets always, each once, and
  // buffered() counts exactly the bytes not handed out.
  const std::vector<Taken> want = {{1, ""}, {2, "abc"}, {3, ""}, {4, std::string(11, 'd')}, {5, "e"}};
  std::string stream;
  std::vector<size_t> ends;  // where each packet ends in the stream
  for (const Taken& t : want) {
    stream += gg::BuildPacket(t.type, t.payload);
    ends.push_back(stream.size());
  }
  auto complete = [&](size_t fed) {
    return size_t(std::upper_bound(ends.begin(), ends.end(), fed) - ends.begin());
  };
  for (size_t a = 0; a <= stream.size(); ++a) {
    for (size_t b = a; b <= stream.size(); ++b) {
      for (size_t first = 0; first <= complete(a); ++first) {
        for (size_t second = first; second <= complete(b); ++second) {
          PacketCutter d;
          std::vector<Taken> got;
          auto take = [&](size_t upTo) {
            while (got.size() < upTo && d.next(p) == PacketCutter::Result::Packet)
              got.push_back({p.type, std::string(p.payload)});
          };
          d.feed(stream.substr(0, a));
          take(first);
          d.feed(stream.substr(a, b - a));
          take(second);
          ASSERT_EQ(d.buffered(), b - (second == 0 ? 0 : ends[second - 1]))
              << a << " " << b << " " << first << " " << second;
          d.feed(stream.substr(b));
          take(want.size());
          ASSERT_EQ(got, want) << a << " " << b << " " << first << " " << second;
          ASSERT_EQ(d.next(p), PacketCutter::Result::NeedMore);
          ASSERT_EQ(d.buffered(), 0u);
        }
      }
    }
  }
}
