// Opening the about window's nine-item system menu with the stored skin, from the command to the
// first complete paint of its window, against the floor of painting the same nine item pictures
// (strips, texts and glyphs) into one bitmap. The "ratio" counter is open time / floor time, both
// measured in this run.
#include <benchmark/benchmark.h>

#include <chrono>

#include "platform/windows/Forms.h"
#include "skin/frame/SkinMenu.h"
#include "skin/package/CompressedStoredSkin.h"
#include "skin/package/SkinData.h"
#include "skin/package/StoredSkin.h"

using namespace corvane;

namespace {

using Clock = std::chrono::steady_clock;
double Seconds(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

void AddItem(TskSkinPopupMenu& menu, const std::string& caption, const std::string& name, TShortCut shortCut = 0) {
  auto* item = new TMenuItem(&menu);
  item->Caption = caption;
  item->SetName(name);
  item->ShortCut = shortCut;
  menu.Items().Add(item);
}

struct Setup {
  TskCompressedStoredSkin stored{nullptr};
  TskSkinData skin{nullptr};
  TForm form{nullptr};
  TskSkinMenuHost* host;
  TskSkinPopupMenu* menu;
  Setup() {
    stored.ReadCompressedData(StoredSkinBytes());
    skin.SetCompressedStoredSkin(&stored);
    form.SetBounds(100, 100, 400, 300);
    host = new TskSkinMenuHost(&form);
    host->SkinData = &skin;
    menu = new TskSkinPopupMenu(&form);
    AddItem(*menu, "最小化(&n)", "SKF_MINITEM");
    AddItem(*menu, "最大化(&x)", "SKF_MAXITEM");
    AddItem(*menu, "向上卷拢(&l)", "SKF_ROLLUP");
    AddItem(*menu, "最小化到图标(&T)", "SKF_MINTOTRAY");
    AddItem(*menu, "-", "N1");
    AddItem(*menu, "Load skin...", "LoadSkin1");
    AddItem(*menu, "Load stored skin", "Loadstoredskin1");
    AddItem(*menu, "-", "MenuItem1");
    AddItem(*menu, "关闭(&C)", "SKF_CLOSE", ShortCut(VK_F4, ssAlt));
  }
  void Close() {
    host->SkinMenu().CloseLevels(0);
    host->ExitMenuMode();
    Application->ProcessMessages();
  }
};

// From Popup to the first complete paint of the menu's window.
double OpenOnce(Setup& s) {
  const auto t0 = Clock::now();
  s.menu->Popup(300, 200);
  s.host->SkinMenu().Level(0)->Update();  // paints the window now
  return Seconds(t0);
}

// The same nine item pictures painted into one bitmap of the level's size.
double FloorOnce(TskSkinPopupWindow& level) {
  const auto t0 = Clock::now();
  TBitmap out(level.Width(), level.Height());
  for (int i = 0; i < level.ItemCount(); ++i) level.Items(i)->Draw(out.Canvas());
  benchmark::DoNotOptimize(out.ScanLine(0));
  return Seconds(t0);
}

void BM_OpenSystemMenu(benchmark::State& state) {
  Setup s;
  double open = 0, floor = 0;
  for (auto _ : state) {
    const double t = OpenOnce(s);
    state.SetIterationTime(t);
    open += t;
    state.PauseTiming();
    floor += FloorOnce(*s.host->SkinMenu().Level(0));  // interleaved: both see the same load
    s.Close();
    state.ResumeTiming();
  }
  state.counters["ratio"] = floor > 0 ? open / floor : 0;
}
BENCHMARK(BM_OpenSystemMenu)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
