// Paint cost of the themed controls against the floor of a plain block copy of the same pixels:
// one full button paint (theme image fetched and cut, nine-slice, caption, one copy) and one full
// paint of an 896 x 513 image panel (its JPEG page composed off screen and copied). The ratio
// counter is the paint time over the copy time measured in the same run.
#include <benchmark/benchmark.h>

#include <chrono>

#include "controls/Button.h"
#include "controls/ImagePanel.h"
#include "platform/windows/Forms.h"

namespace corvane {
namespace {

// Seconds per call of fn, averaged over enough calls to take about 50 ms.
template <class Fn>
double SecondsPerCall(Fn&& fn) {
  using clock = std::chrono::steady_clock;
  int n = 1;
  for (;;) {
    auto t0 = clock::now();
    for (int i = 0; i < n; ++i) fn();
    double s = std::chrono::duration<double>(clock::now() - t0).count();
    if (s > 0.05) return s / n;
    n *= 2;
  }
}

double CopyFloor(int w, int h) {
  TBitmap src(w, h), dst(w, h);
  TRect r(0, 0, w, h);
  return SecondsPerCall([&] { dst.Canvas().CopyRect(r, src.Canvas(), r); });
}

void BM_ButtonPaint(benchmark::State& state) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 200, 100);
  auto* b = new TthButton(&form);
  b->SetParent(&form);
  b->SetBounds(10, 10, 80, 27);
  b->SetUIStyle(static_cast<TthUIStyle>(state.range(0)));
  b->SetCaption("查找");
  TBitmap target(80, 27);
  for (auto _ : state) b->PaintTo(target.Canvas());
  double paint = SecondsPerCall([&] { b->PaintTo(target.Canvas()); });
  state.counters["ratio_to_copy"] = paint / CopyFloor(80, 27);
}
BENCHMARK(BM_ButtonPaint)->Arg(static_cast<int>(TthUIStyle::WinXP))->Arg(static_cast<int>(TthUIStyle::MacOS))
    ->Unit(benchmark::kMicrosecond);

void BM_ImagePanelPaint(benchmark::State& state) {
  TthImagePanel panel(nullptr);
  panel.SetBounds(0, 0, 896, 513);
  TPicture pic;
  pic.LoadFromResourceName("page1.jpg");
  panel.SetPicture(pic);
  TBitmap target(896, 513);
  for (auto _ : state) panel.PaintTo(target.Canvas());
  double paint = SecondsPerCall([&] { panel.PaintTo(target.Canvas()); });
  state.counters["ratio_to_copy"] = paint / CopyFloor(896, 513);
}
BENCHMARK(BM_ImagePanelPaint)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace corvane
