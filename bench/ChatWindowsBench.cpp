// What hidden chat windows cost. A hostile server can send messages from
// thousands of numbers, each of which makes a hidden window with one
// message in it; their memory is measured above the idle program (a
// QApplication with the skin loaded, one window made and closed before).
// Reported as counters: resident memory and heap in use (mallinfo2) above
// that baseline, in all and per window; the target is under 20 MB in all.
#include "QtBench.h"

#include <malloc.h>

#include <optional>
#include <string>

#include "conversation/view/ChatWindows.h"
#include "platform/Tray.h"
#include "platform/desktop/ShellOpen.h"

namespace {

class Offline : public TFCzat::Outgoing {
 public:
  bool Connected() const override { return false; }
  void SendChatMessage(uint32_t, std::string) override {}
};

constexpr uint32_t kNoon = 1796731200;
const std::string kSpam = "Tanie kredyty bez BIK! Wejdz na http://example.com/oferta?id=77 :) <usmiech>";

double HeapMb() { return double(mallinfo2().uordblks) / (1024.0 * 1024.0); }

void BM_HiddenStrangerChats(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  for (auto _ : state) {
    NoShell shell;
    Offline outgoing;
    NoTray tray;
    ChatWindows chats({shell, QStringLiteral(WM_ASSETS_DIR),
                       [](uint32_t) { return std::optional<std::string>(); }, outgoing, tray});
    // The first window loads fonts and styles that every later one shares.
    chats.AddMessage(chats.FindOrCreateChat(1), kSpam, kNoon, 0);
    chats.CloseAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    malloc_trim(0);
    const double rss0 = ResidentMb(), heap0 = HeapMb();

    for (int i = 0; i < count; ++i)
      chats.AddMessage(chats.FindOrCreateChat(3000000 + uint32_t(i)), kSpam, kNoon - i, 0);
    QCoreApplication::processEvents();
    const double rss = ResidentMb() - rss0, heap = HeapMb() - heap0;

    state.counters["rss_MB"] = rss;
    state.counters["heap_MB"] = heap;
    state.counters["rss_KB_per_chat"] = rss * 1024.0 / count;
    state.counters["heap_KB_per_chat"] = heap * 1024.0 / count;
    state.PauseTiming();
    chats.CloseAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_HiddenStrangerChats)->Arg(1000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return RunQtBenchmarks(argc, argv); }
