// Window benchmarks, each reported as a ratio to a floor measured in the same run:
//  - start-up: creating the five windows and showing the main one until its first complete paint,
//    once per process, against a bare frameless toolkit window that decodes and paints one
//    906 x 634 JPEG;
//  - tile click: from the click on a tile to the reading window's first complete paint, against
//    the same floor;
//  - rich text: loading a 1 MB RTF document into the rich-text control, against building the same
//    document in the toolkit's text widget from equivalent HTML.
// The floors use the toolkit directly on purpose: they are what the program's own layers cost
// against.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QTextEdit>
#include <QWidget>

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "app/AboutWindow.h"
#include "app/Catalogue.h"
#include "app/MainWindow.h"
#include "app/NotesEditor.h"
#include "app/Program.h"
#include "app/ReadingWindow.h"
#include "app/ReferenceWindow.h"
#include "platform/graphics/Graphics.h"
#include "platform/text/RichText.h"

using namespace corvane;

namespace {

using Clock = std::chrono::steady_clock;

// Smoke mode (the test suite's run): every benchmark once.
int Runs(int n) { return std::getenv("CORVANE_BENCH_SMOKE") ? 1 : n; }
double Seconds(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

// A frameless window that decodes one JPEG and paints it; returns the time to its first paint.
class FloorWindow : public QWidget {
 public:
  explicit FloorWindow(const std::string& jpeg) : jpeg_(jpeg) {
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    resize(906, 634);
  }
  bool painted = false;
 protected:
  void paintEvent(QPaintEvent*) override {
    QImage img;
    img.loadFromData(reinterpret_cast<const uchar*>(jpeg_.data()), static_cast<int>(jpeg_.size()), "JPG");
    QPainter(this).drawImage(0, 0, img);
    painted = true;
  }
 private:
  std::string jpeg_;
};

double FloorStartup() {
  std::string jpeg = ResourceBytes("form1_bg.jpg");
  auto t0 = Clock::now();
  FloorWindow w(jpeg);
  w.show();
  while (!w.painted) QApplication::processEvents(QEventLoop::AllEvents, 5);
  return Seconds(t0);
}

void DestroyStartupWindows(const std::vector<TForm*>& forms) {
  for (auto it = forms.rbegin(); it != forms.rend(); ++it) delete *it;
  Application->ProcessMessages();
}

// One start-up per process, the first thing the process does: a second one would find the fonts
// loaded and the pictures decoded. (bench/startup.sh measures start-up across fresh processes.)
void BM_StartupToFirstPaint(benchmark::State& state) {
  std::filesystem::current_path(CORVANE_SOURCE_DIR);
  double total = 0;
  for (auto _ : state) {
    auto t0 = Clock::now();
    CreateStartupWindows(*Application);
    bool painted = false;
    Form1->OnPaint = [&](TObject*) { painted = true; };
    Form1->Show();
    while (!painted) QApplication::processEvents(QEventLoop::AllEvents, 5);
    total = Seconds(t0);
    Form1->OnPaint = nullptr;
    state.PauseTiming();
    DestroyStartupWindows({Form1, Form2, Form3, Form4, Form5});
    state.ResumeTiming();
  }
  const double floor = FloorStartup();
  state.counters["ratio"] = total / floor;
  state.counters["ms"] = 1000 * total;
}
BENCHMARK(BM_StartupToFirstPaint)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_TileClickToReadingWindowPaint(benchmark::State& state) {
  std::filesystem::current_path(CORVANE_SOURCE_DIR);
  CreateStartupWindows(*Application);
  std::vector<TForm*> startup{Form1, Form2, Form3, Form4, Form5};
  Form1->Show();
  Application->ProcessUntil([] { return Form1->Showing(); });
  double floor = 0, total = 0;
  for (auto _ : state) {
    floor += FloorStartup();
    double elapsed = 0;
    auto t0 = Clock::now();
    PostCall([&] {
      // Inside the reading window's modal loop: wait for its first paint, then close it.
      TForm* f = Screen->ActiveForm();
      bool painted = false;
      f->OnPaint = [&](TObject*) { painted = true; };
      f->Invalidate();
      while (!painted) QApplication::processEvents(QEventLoop::AllEvents, 5);
      elapsed = Seconds(t0);
      // The window paints again after this call has returned: `painted` is gone by then.
      f->OnPaint = nullptr;
      f->Close();
    });
    Find<TControl>(Form1, "ii1")->Click();
    total += elapsed;
  }
  state.counters["ratio"] = total / floor;
  DestroyStartupWindows(startup);
}
BENCHMARK(BM_TileClickToReadingWindowPaint)->Iterations(Runs(10))->Unit(benchmark::kMillisecond);

// About 1 MB of RTF: the first commentary repeated, with its formatting.
std::string BigRtf() {
  RichDocument one = LoadRichTextFile(std::string(CORVANE_SOURCE_DIR) + "/dat/111111.rtf");
  RichDocument big;
  while (WriteRtf(big).size() < 1'000'000)
    big.Paragraphs.insert(big.Paragraphs.end(), one.Paragraphs.begin(), one.Paragraphs.end());
  return WriteRtf(big);
}

QString EquivalentHtml(const RichDocument& d) {
  QString html = "<html><body>";
  for (const RichParagraph& p : d.Paragraphs) {
    html += "<p>";
    for (const RichRun& r : p.Runs) {
      QString t = QString::fromStdString(r.Text).toHtmlEscaped();
      html += QString("<span style=\"font-family:'%1'; font-size:%2pt;%3\">%4</span>")
                  .arg(QString::fromStdString(TFont::SubstituteFace(r.Format.FontName)))
                  .arg(r.Format.SizePoints())
                  .arg(r.Format.Bold ? " font-weight:bold;" : "")
                  .arg(t);
    }
    html += "</p>";
  }
  return html + "</body></html>";
}

void BM_LoadOneMegabyteRtf(benchmark::State& state) {
  std::string rtf = BigRtf();
  QString html = EquivalentHtml(ReadRtf(rtf));
  TRichEdit* edit = new TRichEdit(nullptr);
  QTextEdit floorEdit;
  double floor = 0, total = 0;
  for (auto _ : state) {
    auto t0 = Clock::now();
    floorEdit.setHtml(html);
    floor += Seconds(t0);
    t0 = Clock::now();
    edit->SetDocument(ReadRtf(rtf));
    total += Seconds(t0);
  }
  state.counters["ratio"] = total / floor;
  state.counters["rtf_bytes"] = static_cast<double>(rtf.size());
  delete edit;
}
BENCHMARK(BM_LoadOneMegabyteRtf)->Iterations(Runs(3))->Unit(benchmark::kMillisecond);

}  // namespace
