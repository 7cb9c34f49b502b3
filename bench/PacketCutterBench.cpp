// The cutter against memcpy of the same bytes: 1,000,000 small packets
// delivered in 4 KiB reads and in one single read.

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "Medians.h"
#include "protocol/PacketCutter.h"
#include "protocol/Packets.h"
#include "protocol/Packets80.h"

namespace {

constexpr int kPackets = 1'000'000;

const std::string& Stream() {
  static const std::string stream = [] {
    std::string s;
    s.reserve(kPackets * 24);
    for (int i = 0; i < kPackets; ++i) {
      // A status change of 14 bytes, and now and then an empty packet.
      s += gg::BuildPacket(i % 7 == 0 ? 0x08 : 0x0F,
                           i % 7 == 0 ? std::string() : std::string(14, char(i)));
    }
    return s;
  }();
  return stream;
}

void Cut(benchmark::State& state, size_t readSize) {
  const std::string& stream = Stream();
  std::vector<std::string> reads;
  for (auto _ : state) {
    // A socket hands each read over in a buffer of its own; making them is
    // not the cutter's work.
    state.PauseTiming();
    reads.clear();
    for (size_t at = 0; at < stream.size(); at += readSize) reads.push_back(stream.substr(at, readSize));
    state.ResumeTiming();
    PacketCutter cutter;
    uint64_t seen = 0;
    PacketCutter::Packet p;
    for (std::string& read : reads) {
      cutter.feed(std::move(read));
      while (cutter.next(p) == PacketCutter::Result::Packet) seen += p.payload.size() + p.type;
    }
    benchmark::DoNotOptimize(seen);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(stream.size()));
  state.SetItemsProcessed(int64_t(state.iterations()) * kPackets);
}

void BM_Memcpy(benchmark::State& state) {
  const std::string& stream = Stream();
  std::string target(stream.size(), '\0');
  for (auto _ : state) {
    std::memcpy(target.data(), stream.data(), stream.size());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(stream.size()));
}

void BM_Cutter4KiBReads(benchmark::State& state) { Cut(state, 4096); }
void BM_CutterSingleRead(benchmark::State& state) { Cut(state, Stream().size()); }

}  // namespace

// A notify reply of 250 contacts in each session's form, every other one with
// a description (today's in UTF-8, with a Polish letter and an emoji).
void NotifyReply(benchmark::State& state, bool today) {
  std::string payload;
  for (uint32_t n = 0; n < 250; ++n) {
    const bool described = n % 2;
    const std::string text = "w pracy do 17, potem basen";
    gg::AppendLe32(payload, 3000 + n);
    if (today) {
      gg::AppendLe32(payload, described ? 0x4004 : 0x02);
      payload += std::string(16, '\0');
      const std::string utf8 = described ? text + " \xC5\xBC \xF0\x9F\x8F\x8A" : std::string();
      gg::AppendLe32(payload, static_cast<uint32_t>(utf8.size()));
      payload += utf8;
    } else {
      payload += static_cast<char>(described ? 4 : 2);
      payload += std::string(9, '\0');
      if (described) {
        payload += static_cast<char>(text.size());
        payload += text;
      }
    }
  }
  for (auto _ : state) {
    size_t seen = 0;
    if (today)
      for (const auto& e : gg80::ParseStatusEntries(payload)) seen += e.description.size() + e.number;
    else
      for (const auto& e : gg::ParseNotifyReply(payload)) seen += e.description.size() + e.number;
    benchmark::DoNotOptimize(seen);
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * 250);
}
void BM_NotifyReply250(benchmark::State& state) { NotifyReply(state, false); }
void BM_NotifyReply80_250(benchmark::State& state) { NotifyReply(state, true); }

BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NotifyReply250)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NotifyReply80_250)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Cutter4KiBReads)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CutterSingleRead)->Unit(benchmark::kMillisecond);

// Prints the ratios the targets are stated in: throughput against memcpy and
// the cost per packet of one large read against 4 KiB reads.
int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  Medians reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const double mb = Stream().size() / 1e6;
  const double toS = 1e-3;  // the runs report milliseconds
  const double memcpyMs = reporter.Of("BM_Memcpy"), readsMs = reporter.Of("BM_Cutter4KiBReads"),
               singleMs = reporter.Of("BM_CutterSingleRead");
  if (memcpyMs > 0 && readsMs > 0 && singleMs > 0) {
    std::printf("\nmemcpy %.0f MB/s, cutter 4 KiB reads %.0f MB/s, single read %.0f MB/s\n",
                mb / (memcpyMs * toS), mb / (readsMs * toS),
                mb / (singleMs * toS));
    std::printf("cutter / memcpy throughput: 4 KiB reads %.1f %%, single read %.1f %% (target >= 25 %%)\n",
                100 * memcpyMs / readsMs, 100 * memcpyMs / singleMs);
    std::printf("per-packet cost, single read / 4 KiB reads: %.2f (target <= 1.5)\n",
                singleMs / readsMs);
  }
  benchmark::Shutdown();
  return 0;
}
