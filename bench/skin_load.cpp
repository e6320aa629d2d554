// Loading the stored skin into skin data, against the floor of inflating the same zlib stream
// alone. The "ratio" counter is load time / inflate time, both measured in this run.
#include <benchmark/benchmark.h>

#include <chrono>

#include "skin/CompressedStoredSkin.h"
#include "skin/SkinData.h"
#include "skin/SkinPackage.h"
#include "skin/StoredSkin.h"

namespace corvane {
namespace {

using Clock = std::chrono::steady_clock;

double InflateOnce(const TskCompressedStoredSkin& stored) {
  const auto t0 = Clock::now();
  TMemoryStream src(std::string(stored.CompressedData().Bytes())), out;
  DecompressStream(out, src);
  benchmark::DoNotOptimize(out.Bytes().data());
  return std::chrono::duration<double>(Clock::now() - t0).count();
}

double LoadOnce(TskSkinData& data, TskCompressedStoredSkin& stored) {
  const auto t0 = Clock::now();
  data.SetCompressedStoredSkin(&stored);
  benchmark::DoNotOptimize(data.ObjectList.data());
  return std::chrono::duration<double>(Clock::now() - t0).count();
}

void BM_InflateStoredSkin(benchmark::State& state) {
  TskCompressedStoredSkin stored(nullptr);
  stored.ReadCompressedData(StoredSkinBytes());
  for (auto _ : state) state.SetIterationTime(InflateOnce(stored));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(StoredSkinBytes().size()));
}
BENCHMARK(BM_InflateStoredSkin)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_LoadStoredSkin(benchmark::State& state) {
  TskCompressedStoredSkin stored(nullptr);
  stored.ReadCompressedData(StoredSkinBytes());
  TskSkinData data(nullptr);
  double load = 0, floor = 0;
  for (auto _ : state) {
    const double t = LoadOnce(data, stored);
    state.SetIterationTime(t);
    load += t;
    state.PauseTiming();
    floor += InflateOnce(stored);  // the floor, interleaved so both see the same machine load
    state.ResumeTiming();
  }
  state.counters["ratio"] = floor > 0 ? load / floor : 0;
  state.counters["objects"] = static_cast<double>(data.ObjectList.size());
  state.counters["controls"] = static_cast<double>(data.CtrlList.size());
}
BENCHMARK(BM_LoadStoredSkin)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace corvane

BENCHMARK_MAIN();
