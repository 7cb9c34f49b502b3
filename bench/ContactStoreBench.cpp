// A notify reply of 250 entries applied to a store of 250 contacts, each
// entry placing its contact anew, beside the plain way: a bubble sort over
// the whole list after every entry with one collator comparison per pair.

#include <benchmark/benchmark.h>

#include <QCollator>
#include <QLocale>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "contacts/ContactStore.h"
#include "platform/Cp1250.h"

namespace {

constexpr int kKontakty = 250;

QCollator Polish() {
  QCollator c{QLocale(QLocale::Polish)};
  c.setCaseSensitivity(Qt::CaseInsensitive);
  return c;
}

std::vector<TKontakt> Contacts() {
  static const char* const kSylaby[] = {"ma", "ła", "ze", "ką", "lo", "ść", "Bo", "źd", "gr",
                                        "ża", "Ew", "on", "Ul", "ię", "ta", "ró", "cz", "Al"};
  std::mt19937 rng(2024);
  std::vector<TKontakt> out;
  for (int i = 0; i < kKontakty; ++i) {
    std::string name;
    const int n = 2 + int(rng() % 4);
    for (int s = 0; s < n; ++s) name += kSylaby[rng() % std::size(kSylaby)];
    TKontakt k;
    k.numer = uint32_t(1000 + i);
    k.wyswietl = T(name);
    out.push_back(k);
  }
  return out;
}

// (number, status index) per entry: about half the contacts come online, in
// the server's order, not the list's.
std::vector<std::pair<uint32_t, uint8_t>> Reply() {
  std::mt19937 rng(99);
  static const uint8_t kIndeksy[] = {0, 1, 2, 3, 4, 5, 6, 2, 3};
  std::vector<std::pair<uint32_t, uint8_t>> out;
  for (int i = 0; i < kKontakty; ++i) {
    out.emplace_back(uint32_t(1000 + (i * 97) % kKontakty), kIndeksy[rng() % std::size(kIndeksy)]);
  }
  return out;
}

void ApplyReply(ContactStore& store, const std::vector<std::pair<uint32_t, uint8_t>>& reply) {
  for (const auto& [numer, index] : reply) store.ApplyStatus(numer, index, std::string(), 1);
}

// The plain list: records with a display order sorted by a bubble sort that
// compares the names with the collator for every pair.
struct NaiveList {
  std::vector<TKontakt> records;
  std::vector<QString> names;
  std::vector<int> order;
  QCollator collator = Polish();

  void Sort() {
    const int n = int(order.size());
    for (int k = 1; k < n; ++k) {
      bool swapped = false;
      for (int p = 0; p <= n - 1 - k; ++p) {
        const TKontakt& a = records[order[p]];
        const TKontakt& b = records[order[p + 1]];
        const bool out = a.Obecny() != b.Obecny()
                             ? !a.Obecny()
                             : collator.compare(names[order[p]], names[order[p + 1]]) > 0;
        if (out) {
          std::swap(order[p], order[p + 1]);
          swapped = true;
        }
      }
      if (!swapped) break;
    }
  }
  void Apply(const std::vector<std::pair<uint32_t, uint8_t>>& reply) {
    for (const auto& [numer, index] : reply) {
      for (auto& k : records) {
        if (k.numer == numer) {
          k.status = index;
          break;
        }
      }
      Sort();
    }
  }
  void Reset() {
    for (auto& k : records) k.status = 0;
    Sort();
  }
};

NaiveList MakeNaive() {
  NaiveList list;
  list.records = Contacts();
  for (size_t i = 0; i < list.records.size(); ++i) {
    list.names.push_back(cp1250::toQString(list.records[i].wyswietl));
    list.order.push_back(int(i));
  }
  list.Sort();
  return list;
}

ContactStore MakeStore() {
  ContactStore store(Polish());
  for (const TKontakt& k : Contacts()) store.Add(k);
  return store;
}

void BM_StoreNotifyReply(benchmark::State& state) {
  ContactStore store = MakeStore();
  const auto reply = Reply();
  for (auto _ : state) {
    state.PauseTiming();
    store.ResetStatuses();
    state.ResumeTiming();
    ApplyReply(store, reply);
    benchmark::DoNotOptimize(store.DisplayOrder().data());
  }
  state.counters["entries"] = double(reply.size());
}
BENCHMARK(BM_StoreNotifyReply)->Unit(benchmark::kMillisecond);

void BM_NaiveNotifyReply(benchmark::State& state) {
  NaiveList list = MakeNaive();
  const auto reply = Reply();
  for (auto _ : state) {
    state.PauseTiming();
    list.Reset();
    state.ResumeTiming();
    list.Apply(reply);
    benchmark::DoNotOptimize(list.order.data());
  }
  state.counters["entries"] = double(reply.size());
}
BENCHMARK(BM_NaiveNotifyReply)->Unit(benchmark::kMillisecond)->Iterations(5);

template <typename F>
double BestMs(int runs, F&& f) {
  double best = 1e300;
  for (int i = 0; i < runs; ++i) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    const auto t1 = std::chrono::steady_clock::now();
    best = std::min(best, std::chrono::duration<double, std::milli>(t1 - t0).count());
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();

  // Both ways side by side in this run, and a check that they agree.
  const auto reply = Reply();
  ContactStore store = MakeStore();
  NaiveList naive = MakeNaive();
  const double storeMs = BestMs(20, [&] {
    store.ResetStatuses();
    ApplyReply(store, reply);
  });
  const double naiveMs = BestMs(3, [&] {
    naive.Reset();
    naive.Apply(reply);
  });
  bool same = int(naive.order.size()) == store.Count();
  for (int p = 0; same && p < store.Count(); ++p) {
    same = store.Record(store.RecordAt(p)).numer == naive.records[naive.order[p]].numer;
  }
  std::printf("notify reply of %zu entries, %d contacts: store %.3f ms, naive bubble sort %.3f ms, %.0f times faster%s\n",
              reply.size(), store.Count(), storeMs, naiveMs, naiveMs / storeMs,
              same ? "" : " (ORDERS DIFFER)");
  return same ? 0 : 1;
}
