// The main of the benchmark programs that need windows: the application object the windows live
// in, then the benchmarks the command line asks for.
#include <benchmark/benchmark.h>

#include "platform/windows/Forms.h"

int main(int argc, char** argv) {
  corvane::TApplication::Initialize(argc, argv);
  corvane::TApplication app;
  app.Title = "Corvane";
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
