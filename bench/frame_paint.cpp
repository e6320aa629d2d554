// The skinned frame with the stored skin: a full frame paint (WM_NCPAINT on a window-sized canvas)
// against one block copy of a window-sized bitmap, and the region rebuilt after a resize against
// scanning the runs of the same window's whole mask, each measured in the same run. The "ratio"
// counter is the frame's time over its floor's.
#include <benchmark/benchmark.h>

#include <ctime>
#include <functional>
#include <memory>

#include "platform/graphics/Graphics.h"
#include "platform/windows/Forms.h"
#include "skin/frame/SkinDrawing.h"
#include "skin/frame/SkinForm.h"
#include "skin/package/CompressedStoredSkin.h"
#include "skin/package/SkinData.h"
#include "skin/package/StoredSkin.h"

using namespace corvane;

namespace {

// The thread's processor time in seconds: the machine may be busy with other work, which wall
// time would count against whichever side ran during it.
double Now() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec + t.tv_nsec * 1e-9;
}

double TimeIt(const std::function<void()>& fn, int reps) {
  fn();  // warm
  const double t0 = Now();
  for (int i = 0; i < reps; ++i) fn();
  return (Now() - t0) / reps;
}

struct Framed {
  TskCompressedStoredSkin stored{nullptr};
  TskSkinData skin{nullptr};
  std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
  TskSkinForm* frame;
  Framed(int w, int h) {
    stored.ReadCompressedData(StoredSkinBytes());
    skin.SetCompressedStoredSkin(&stored);
    form->SetBorderStyle(TFormBorderStyle::bsSizeable);
    form->SetBounds(0, 0, w, h);
    frame = new TskSkinForm(form.get());
    frame->ActiveLook = 1;
    frame->SetSkinData(&skin);
  }
};

void BM_FramePaint(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  Framed f(w, h);
  TBitmap window(w, h), source(w, h);
  source.Canvas().Brush().Color = clMaroon;
  source.Canvas().FillRect({0, 0, w, h});
  const double floor = TimeIt([&] { window.Canvas().CopyRect({0, 0, w, h}, source.Canvas(), {0, 0, w, h}); }, 20);
  double total = 0;
  int64_t n = 0;
  for (auto _ : state) {
    const double t0 = Now();
    window.Canvas().SaveState();
    f.form->Perform(WM_NCPAINT, reinterpret_cast<WPARAM>(&window.Canvas()), 0);
    window.Canvas().RestoreState();
    total += Now() - t0;
    ++n;
  }
  state.counters["ratio"] = n ? (total / n) / floor : 0;
}
BENCHMARK(BM_FramePaint)->Args({550, 386})->Args({1280, 1024})->Unit(benchmark::kMicrosecond);

void BM_RegionAfterResize(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  Framed f(w, h);
  // The floor: the runs of the whole window's mask at this size, already composed.
  const TskSkinData& d = f.skin;
  TskSkinGeometry g;
  g.Rect = {0, 0, d.Mask->Width(), d.Mask->Height()};
  g.LT = d.LTPoint;
  g.RT = d.RTPoint;
  g.LB = d.LBPoint;
  g.RB = d.RBPoint;
  g.Cl = d.MaskRectArea;
  TBitmap whole;
  BuildFrameBitmap(*d.Mask, g, GrowGeometry(g, w, h), true, whole);
  const double floor = TimeIt([&] { benchmark::DoNotOptimize(MaskRunRects(whole, 0, 0).Rects.size()); }, 20);
  double total = 0;
  int64_t n = 0;
  for (auto _ : state) {
    const double t0 = Now();
    f.frame->UpdateWindowRegion(true);
    total += Now() - t0;
    ++n;
  }
  state.counters["ratio"] = n ? (total / n) / floor : 0;
}
BENCHMARK(BM_RegionAfterResize)->Args({550, 386})->Args({1280, 1024})->Unit(benchmark::kMicrosecond);

}  // namespace
