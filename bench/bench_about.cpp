// Opening the about dialog: made, filled from the program file's version
// block (read afresh each time) and shown, offscreen.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLabel>
#include <cstdio>
#include <cstdlib>

#include "BenchPeers.h"
#include "brmUIDlgAbout.h"

namespace {

void BM_OpenAboutDialog(benchmark::State& state) {
  for (auto _ : state) {
    TdlgAbout dialog;
    dialog.LoadInformation(CORVINA_PROGRAM);
    dialog.show();
    QCoreApplication::processEvents();
    if (dialog.labelVersion->text() != "Version 0.4.2.0") state.SkipWithError("no version");
  }
}
BENCHMARK(BM_OpenAboutDialog)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  TRatioReporter r;
  benchmark::RunSpecifiedBenchmarks(&r);
  std::printf("\nopening the about dialog: %.1f ms (target 100 ms)\n", r.times["BM_OpenAboutDialog"]);
  benchmark::Shutdown();
  return 0;
}
