// Loading the stored skin into skin data, against the floor of inflating the same zlib stream
// alone. The "ratio" counter is load time / inflate time, both measured in this run as processor
// time of this thread (wall time moves with whatever else the machine runs). The skin's pictures
// are decoded when first used, so the load is measured twice: alone (/0, what a window that is
// never shown costs) and with every picture decoded (/1, what showing a skinned window needs).
#include <benchmark/benchmark.h>

#include <ctime>

#include "skin/package/CompressedStoredSkin.h"
#include "skin/package/SkinData.h"
#include "skin/package/SkinPackage.h"
#include "skin/package/StoredSkin.h"

namespace corvane {
namespace {

double ThreadSeconds() {
  timespec ts;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return ts.tv_sec + ts.tv_nsec * 1e-9;
}

double InflateOnce(const TskCompressedStoredSkin& stored) {
  const double t0 = ThreadSeconds();
  TMemoryStream src(std::string(stored.CompressedData().Bytes())), out;
  DecompressStream(out, src);
  benchmark::DoNotOptimize(out.Bytes().data());
  return ThreadSeconds() - t0;
}

double LoadOnce(TskSkinData& data, TskCompressedStoredSkin& stored, bool decode) {
  const double t0 = ThreadSeconds();
  data.SetCompressedStoredSkin(&stored);
  benchmark::DoNotOptimize(data.ObjectList.data());
  if (decode) {
    for (TBitmap* b : {data.Picture.get(), data.InActivePicture.get(), data.Mask.get()})
      benchmark::DoNotOptimize(b->Pixel(0, 0));
    for (const auto& b : data.ActivePictures) benchmark::DoNotOptimize(b->Pixel(0, 0));
  }
  return ThreadSeconds() - t0;
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
    const double t = LoadOnce(data, stored, state.range(0) != 0);
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
BENCHMARK(BM_LoadStoredSkin)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace corvane

BENCHMARK_MAIN();
