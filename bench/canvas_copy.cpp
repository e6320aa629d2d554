// Canvas block copy of a window-sized bitmap against a plain memory copy of the same bytes.
// The "ratio" counter of the canvas benchmark is its time over the floor's, measured in this run.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "platform/graphics/Graphics.h"
#include "platform/windows/Forms.h"

using namespace corvane;

namespace {
constexpr int kW = 906, kH = 634;

double TimeIt(const std::function<void()>& fn, int reps) {
  auto t0 = std::chrono::steady_clock::now();
  for (int i = 0; i < reps; ++i) fn();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count() / reps;
}

void BM_MemoryCopyFloor(benchmark::State& state) {
  std::vector<uint32_t> src(kW * kH, 0x12345678), dst(kW * kH);
  for (auto _ : state) {
    std::memcpy(dst.data(), src.data(), src.size() * 4);
    benchmark::DoNotOptimize(dst.data());
  }
  state.SetBytesProcessed(state.iterations() * kW * kH * 4);
}
BENCHMARK(BM_MemoryCopyFloor);

void BM_CanvasCopyRect(benchmark::State& state) {
  TBitmap src(kW, kH), dst(kW, kH);
  src.Canvas().Brush().Color = clRed;
  src.Canvas().FillRect(TRect(0, 0, kW, kH));
  std::vector<uint32_t> a(kW * kH), b(kW * kH);
  double floor = TimeIt([&] { std::memcpy(b.data(), a.data(), a.size() * 4); benchmark::DoNotOptimize(b.data()); }, 50);
  double total = 0;
  int64_t n = 0;
  for (auto _ : state) {
    auto t0 = std::chrono::steady_clock::now();
    dst.Canvas().CopyRect(TRect(0, 0, kW, kH), src.Canvas(), TRect(0, 0, kW, kH));
    total += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    ++n;
  }
  state.counters["ratio"] = n ? (total / n) / floor : 0;
  state.SetBytesProcessed(state.iterations() * kW * kH * 4);
}
BENCHMARK(BM_CanvasCopyRect);
}  // namespace
