// Pages built to make the layout work without end, shown in the web view: 30 nested tables
// (about 700 bytes) and 20,000 nested divisions, lists and quotations. Each is measured against
// its floor, a page with the same words and no nesting, in the same run; the "ms" counter is what a
// user waits for, which should stay well under five seconds. In the suite's smoke mode
// (CORVANE_BENCH_SMOKE) the blocks are ten times fewer.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "support/WebViewOnScreen.h"

using namespace corvane;

namespace {

using Clock = std::chrono::steady_clock;

std::string NestedTables() {
  std::string page = "<html><body>";
  for (int i = 0; i < 30; ++i) page += "<table><tr><td>层" + std::to_string(i) + "。";
  for (int i = 0; i < 30; ++i) page += "</td></tr></table>";
  return page + "</body></html>";
}

std::string NestedBlocks() {
  const int blocks = std::getenv("CORVANE_BENCH_SMOKE") ? 2000 : 20000;
  std::string page = "<html><body>", tail;
  for (int i = 0; i < blocks; ++i) {
    switch (i % 3) {
      case 0: page += "<div>"; tail = "</div>" + tail; break;
      case 1: page += "<ul><li>"; tail = "</li></ul>" + tail; break;
      default: page += "<blockquote>"; tail = "</blockquote>" + tail; break;
    }
    page += "[" + std::to_string(i) + "]";
  }
  return page + tail + "</body></html>";
}

// The same page with its tags taken out: its words in one paragraph.
std::string Flat(const std::string& page) {
  std::string text;
  bool inTag = false;
  for (char c : page) {
    if (c == '<') inTag = true;
    else if (c == '>') inTag = false;
    else if (!inTag) text += c;
  }
  return "<p>" + text + "</p>";
}

void BM_HostilePage(benchmark::State& state) {
  bench::WebViewOnScreen view;
  TWebBrowser& web = view.web;
  const std::string page = state.range(0) == 0 ? NestedTables() : NestedBlocks();
  const std::string floor = Flat(page);
  auto show = [&](const std::string& html) {
    const auto t0 = Clock::now();
    web.ShowAnswer("http://127.0.0.1:9/", 200, "text/html; charset=utf-8", "", "", html);
    benchmark::DoNotOptimize(web.ContentHeight());
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
  };
  double best = 1e12, floorBest = 1e12;
  for (auto _ : state) {
    best = std::min(best, show(page));
    floorBest = std::min(floorBest, show(floor));
  }
  state.counters["ms"] = best;
  state.counters["floor_ms"] = floorBest;
  state.counters["ratio"] = best / floorBest;
}
BENCHMARK(BM_HostilePage)->Arg(0)->Arg(1)->Iterations(2)->Unit(benchmark::kMillisecond);

}  // namespace
