// The conversation view lays a message out once, when it is added; painting
// walks only the boxes in view, so a paint costs the same with ten messages
// and with ten thousand. A resize of a long conversation lays every message
// out again and must not freeze the window; neither may a message as long as
// the largest packet.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <malloc.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>

#include "SampleMessage.h"
#include "conversation/MessageText.h"
#include "conversation/view/TRozmowa.h"
#include "platform/desktop/ShellOpen.h"
#include "ui/Skin.h"
#include "ui/SkinFonts.h"

namespace {

class NoShell : public ShellOpen {
 public:
  bool Open(const QString&, const QString&) override { return true; }
};

NoShell shell;
constexpr uint32_t kNoon = 1796731200;

std::string SampleMessage(std::size_t length) { return ::SampleMessage(length, "dlugiewyrazyktorenigdziesieniemieszczawjednejlinijce\r\n"); }

// The heap in use.
double HeapMiB() { return static_cast<double>(mallinfo2().uordblks) / (1024.0 * 1024.0); }

std::unique_ptr<TRozmowa> MakeView(int messages) {
  auto view = std::make_unique<TRozmowa>(shell, QStringLiteral(WM_ASSETS_DIR));
  view->resize(300, 400);
  const std::string text = SampleMessage(160);
  for (int i = 0; i < messages; ++i) view->AddMessage(text, kNoon, static_cast<uint8_t>(i % 4));
  return view;
}

// A message of 2,000 bytes laid out again at a new width (the pieces and
// their widths are kept from when it was added), and added anew.
void BM_LayoutMessage2000(benchmark::State& state) {
  auto view = MakeView(0);
  view->AddMessage(SampleMessage(2000), kNoon, 0);
  int width = 300;
  for (auto _ : state) {
    width = width == 300 ? 301 : 300;
    view->resize(width, 400);
    view->LayoutMessage(0);
    benchmark::DoNotOptimize(view->Messages()[0].Height);
  }
  state.counters["lines"] = static_cast<double>(view->Messages()[0].Lines.size());
}
BENCHMARK(BM_LayoutMessage2000)->Unit(benchmark::kMicrosecond);

void BM_AddMessage2000(benchmark::State& state) {
  auto view = MakeView(0);
  const std::string text = SampleMessage(2000);
  for (auto _ : state) {
    if (view->Messages().size() >= 1000) {
      state.PauseTiming();
      view = MakeView(0);
      state.ResumeTiming();
    }
    view->AddMessage(text, kNoon, 0);
    benchmark::DoNotOptimize(view->Messages().back().Height);
  }
}
BENCHMARK(BM_AddMessage2000)->Unit(benchmark::kMicrosecond);

// One paint of a 300 x 400 view at the bottom (and, with the second argument,
// scrolled to the oldest message) holding that many messages.
void BM_Paint(benchmark::State& state) {
  auto view = MakeView(static_cast<int>(state.range(0)));
  if (state.range(1)) view->SetScrollOffset(INT64_MAX / 2);
  QImage target(view->size(), QImage::Format_RGB32);
  for (auto _ : state) {
    view->render(&target);
    benchmark::DoNotOptimize(target.bits());
  }
}
BENCHMARK(BM_Paint)->ArgsProduct({{10, 100, 1000, 10000}, {0, 1}})->Unit(benchmark::kMicrosecond);

// A view holding 30,000 messages of mixed lengths, resized between two
// widths, then painted once: at the bottom and scrolled halfway up. With the
// second argument the chat window also asks for LayoutMessage of every
// message after the resize, as it does after its size dialog.
void BM_Resize30000(benchmark::State& state) {
  const std::vector<std::string> texts = ConversationMessages(30000, 7);
  const double before = HeapMiB();
  auto view = MakeView(0);
  for (std::size_t i = 0; i < texts.size(); ++i) view->AddMessage(texts[i], kNoon, static_cast<uint8_t>(i % 4));
  state.counters["view_MiB"] = HeapMiB() - before;
  if (state.range(0)) view->SetScrollOffset(view->Layout().TotalHeight() / 2);
  QImage target(340, 400, QImage::Format_RGB32);
  int width = 300;
  for (auto _ : state) {
    width = width == 300 ? 340 : 300;
    view->resize(width, 400);
    if (state.range(1)) {
      for (std::size_t i = 0; i < view->Messages().size(); ++i) view->LayoutMessage(static_cast<uint16_t>(i));
    }
    view->render(&target);
    benchmark::DoNotOptimize(target.bits());
  }
  state.counters["total_height"] = static_cast<double>(view->Layout().TotalHeight());
}
BENCHMARK(BM_Resize30000)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMillisecond);

// 30,000 messages added to an empty view, short ones or those of a mixed
// conversation; the counter is the cost of one.
void BM_Add30000(benchmark::State& state) {
  using Clock = std::chrono::steady_clock;
  const std::vector<std::string> texts =
      state.range(0) ? ConversationMessages(30000, 11) : std::vector<std::string>(30000, "krotka :) wiadomosc");
  double us = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto view = MakeView(0);
    state.ResumeTiming();
    const Clock::time_point start = Clock::now();
    for (std::size_t i = 0; i < texts.size(); ++i) view->AddMessage(texts[i], kNoon, static_cast<uint8_t>(i % 4));
    us += std::chrono::duration<double, std::micro>(Clock::now() - start).count() / texts.size();
    state.PauseTiming();
    view.reset();
    state.ResumeTiming();
  }
  state.counters["us_per_message"] = us / static_cast<double>(state.iterations());
}
BENCHMARK(BM_Add30000)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// MessageToHtml, the view's layout and the first paint of one long message,
// with the real fonts.
void BM_LongMessageView(benchmark::State& state) {
  const auto shape = static_cast<LongShape>(state.range(0));
  const std::string message = LongMessage(shape, static_cast<std::size_t>(state.range(1)) * 1024);
  const PictureExists pictures = PictureFileCheck(QStringLiteral(WM_ASSETS_DIR));
  QImage target(300, 400, QImage::Format_RGB32);
  for (auto _ : state) {
    std::string html = message;
    MessageToHtml(html, pictures);
    auto view = MakeView(0);
    view->AddMessage(message, kNoon, Received);
    view->render(&target);
    benchmark::DoNotOptimize(target.bits());
    benchmark::DoNotOptimize(html.data());
  }
  state.SetLabel(LongShapeName(shape));
}
BENCHMARK(BM_LongMessageView)
    ->ArgsProduct({{static_cast<int>(LongShape::Mixed), static_cast<int>(LongShape::Smiles)}, {256, 1024}})
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  InstallFontSubstitutes();
  ApplyColourScheme(ColourScheme{});
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
