// The archive's cost per entry must not grow with the file, and converting a
// long message with addresses and shorthands must stay cheap.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>
#include <chrono>
#include <string>

#include "SampleMessage.h"
#include "conversation/MessageArchive.h"
#include "conversation/MessageText.h"

namespace {

std::string SampleMessage(std::size_t length) { return ::SampleMessage(length, "ftp://pliki.example.org/a.zip\r\n"); }

PictureExists SomePictures() {
  return [](const std::string& name) {
    return name == "usmiech" || name == "kwiatek" || name == "szczerzy" || name == "mruga";
  };
}

void BM_MessageToHtml2000(benchmark::State& state) {
  const std::string message = SampleMessage(2000);
  PictureExists pictures = SomePictures();
  for (auto _ : state) {
    std::string text = message;
    MessageToHtml(text, pictures);
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * message.size()));
}
BENCHMARK(BM_MessageToHtml2000);

// 10,000 entries into one archive; the first and the last thousand are timed.
void BM_ArchiveMessage10000(benchmark::State& state) {
  using Clock = std::chrono::steady_clock;
  const std::string message = SampleMessage(120);
  double firstMs = 0, lastMs = 0;
  for (auto _ : state) {
    state.PauseTiming();
    QTemporaryDir dir;
    MessageArchive archive(dir.path(), SomePictures(),
                           [](uint32_t n) -> std::optional<std::string> {
                             if (n % 2) return std::string("Znajomy");
                             return std::nullopt;
                           });
    archive.CreateArchive("123");
    state.ResumeTiming();
    Clock::time_point start = Clock::now(), firstEnd{}, lastStart{};
    for (int i = 0; i < 10000; ++i) {
      if (i == 9000) lastStart = Clock::now();
      archive.ArchiveMessage(static_cast<uint32_t>(1000 + i % 7) | (i % 3 ? 0 : kWlasnaWiadomosc),
                             message);
      if (i == 999) firstEnd = Clock::now();
    }
    Clock::time_point end = Clock::now();
    firstMs += std::chrono::duration<double, std::milli>(firstEnd - start).count();
    lastMs += std::chrono::duration<double, std::milli>(end - lastStart).count();
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["first1000_ms"] = firstMs / runs;
  state.counters["last1000_ms"] = lastMs / runs;
  state.counters["last_over_first"] = lastMs / firstMs;
}
BENCHMARK(BM_ArchiveMessage10000)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
