// One long line without a place to break, of a million characters against one of 100,000, laid
// out whole: in the rich-text control (a note) and in the web view (a page, as text and as HTML).
// The "ratio" counter is the time for 1,000,000 characters over the time for 100,000, measured in
// the same run: about 10 when the cost grows in step with the length. In the suite's smoke mode
// (CORVANE_BENCH_SMOKE) the lines are ten times shorter.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>

#include "platform/text/RichText.h"
#include "platform/widgets/StdCtrls.h"
#include "platform/widgets/WebBrowser.h"
#include "platform/windows/Forms.h"
#include "support/WebViewOnScreen.h"

using namespace corvane;

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(const std::function<void()>& fn) {
  auto t0 = Clock::now();
  fn();
  return std::chrono::duration<double>(Clock::now() - t0).count();
}

// The ratio of `run(1,000,000)` to `run(100,000)`, each the best of the iterations.
void ReportRatio(benchmark::State& state, const std::function<void(size_t)>& run) {
  const size_t shortLine = std::getenv("CORVANE_BENCH_SMOKE") ? 10000 : 100000;
  double shortBest = 1e9, longBest = 1e9;
  for (auto _ : state) {
    shortBest = std::min(shortBest, Seconds([&] { run(shortLine); }));
    longBest = std::min(longBest, Seconds([&] { run(shortLine * 10); }));
  }
  state.counters["100k_ms"] = shortBest * 1000;
  state.counters["1M_ms"] = longBest * 1000;
  state.counters["ratio"] = longBest / shortBest;
}

void BM_RichEditLongLine(benchmark::State& state) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 500, 400);
  TRichEdit edit(&form);
  edit.SetParent(&form);
  edit.SetBounds(0, 0, 500, 400);
  form.Show();
  Application->ProcessMessages();
  RichCharFormat f;
  f.FontName = "宋体";
  f.SizeHalfPoints = 21;
  ReportRatio(state, [&](size_t n) {
    edit.SetDocument(RichDocumentFromText(std::string(n, 'a'), f));
    benchmark::DoNotOptimize(edit.ContentHeight());
  });
}
BENCHMARK(BM_RichEditLongLine)->Iterations(2)->Unit(benchmark::kMillisecond);

void BM_WebViewLongLine(benchmark::State& state) {
  bench::WebViewOnScreen view;
  TWebBrowser& web = view.web;
  bool html = state.range(0) != 0;
  ReportRatio(state, [&](size_t n) {
    std::string line(n, 'a');
    web.ShowAnswer("http://127.0.0.1:9/", 200, html ? "text/html" : "text/plain", "", "", html ? "<p>" + line + "</p>" : line);
    benchmark::DoNotOptimize(web.ContentHeight());
  });
}
BENCHMARK(BM_WebViewLongLine)->Arg(0)->Arg(1)->Iterations(2)->Unit(benchmark::kMillisecond);

}  // namespace
