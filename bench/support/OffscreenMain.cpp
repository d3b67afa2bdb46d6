// The main of the benchmarks that drive real windows: the toolkit on its offscreen platform (no
// display needed, nothing shown) and the form engine over it, then the benchmarks registered.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>

#include "platform/program/Application.h"

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  platform::InitializeFormEngine();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
