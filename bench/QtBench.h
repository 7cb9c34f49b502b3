#pragma once
// What the benchmarks of windows share: the process's resident memory, and
// a main that runs them offscreen with the program's fonts, pictures and
// colours.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "platform/Sound.h"
#include "platform/desktop/ShellOpen.h"
#include "ui/Skin.h"
#include "ui/SkinFonts.h"

// A desktop that opens nothing and plays nothing.
class NoShell : public ShellOpen {
 public:
  bool Open(const QString&, const QString&) override { return true; }
};

class Silence : public NotifySound {
 public:
  void Play() override {}
};

inline double ResidentMb() {
  long pages = 0, resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

inline int RunQtBenchmarks(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  InstallFontSubstitutes();
  Skin::get().LoadPictures();
  ApplyColourScheme(ColourScheme{});
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
