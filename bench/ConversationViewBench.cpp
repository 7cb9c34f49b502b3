// The conversation view lays a message out once, when it is added; painting
// walks only the boxes in view, so a paint costs the same with ten messages
// and with ten thousand.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <cstdlib>
#include <memory>
#include <string>

#include "SampleMessage.h"
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

std::unique_ptr<TRozmowa> MakeView(int messages) {
  auto view = std::make_unique<TRozmowa>(shell, QStringLiteral(WM_ASSETS_DIR), -60);
  view->resize(300, 400);
  const std::string text = SampleMessage(160);
  for (int i = 0; i < messages; ++i) view->AddMessage(text, kNoon, static_cast<uint8_t>(i % 4));
  return view;
}

void BM_LayoutMessage2000(benchmark::State& state) {
  auto view = MakeView(0);
  view->AddMessage(SampleMessage(2000), kNoon, 0);
  for (auto _ : state) {
    view->LayoutMessage(0);
    benchmark::DoNotOptimize(view->Messages()[0].Height);
  }
  state.counters["lines"] = static_cast<double>(view->Messages()[0].Lines.size());
}
BENCHMARK(BM_LayoutMessage2000)->Unit(benchmark::kMicrosecond);

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
