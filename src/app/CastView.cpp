#include "app/CastView.h"

#include <ctime>

#include "app/Catalogue.h"
#include "platform/graphics/Graphics.h"

namespace corvane {

std::function<TLocalTime()> gCastClock = LocalTimeNow;
int gTossPauseMs = 450;
int gClockPauseMs = 2500;

namespace {
constexpr TColor kInk = 0x00202020, kVermilion = 0x002A3AC8, kGrey = 0x00808080, kWhite = 0x00FFFFFF;
constexpr int kHeadingHeight = 34, kRowHeight = 44;
constexpr const char* kTrigramNames[] = {"乾", "兑", "离", "震", "巽", "坎", "艮", "坤"};
constexpr const char* kLineNames[] = {"初爻", "二爻", "三爻", "四爻", "五爻", "上爻"};
constexpr const char* kTossNames[] = {"第一次", "第二次", "第三次", "第四次", "第五次", "第六次"};

std::string NameOf(const std::string& code) {
  const THexagram* h = FindHexagram(code);
  return h ? h->name : code;
}

// "17 ÷ 8 余 1" or "24 ÷ 8 余 0，按 8 算"
std::string Division(int n, int divisor) {
  const int r = n % divisor;
  std::string s = std::to_string(n) + " ÷ " + std::to_string(divisor) + " 余 " + std::to_string(r);
  if (r == 0) s += "，按 " + std::to_string(divisor) + " 算";
  return s;
}
}  // namespace

TLocalTime LocalTimeNow() {
  const std::time_t t = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&t, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min};
}

std::vector<std::string> ClockWorking(const TClockCast& c) {
  const int sum = c.date.branch + c.date.month + c.date.day, all = sum + c.hour;
  const std::string primary = c.cast.PrimaryCode(), changed = c.cast.ChangedCode();
  return {
      c.Numbers(),
      "上卦：" + std::to_string(c.date.branch) + " + " + std::to_string(c.date.month) + " + " + std::to_string(c.date.day) +
          " = " + std::to_string(sum) + "，" + Division(sum, 8) + " → " + kTrigramNames[c.upper - 1],
      "下卦：" + std::to_string(sum) + " + " + std::to_string(c.hour) + " = " + std::to_string(all) + "，" +
          Division(all, 8) + " → " + kTrigramNames[c.lower - 1],
      "动爻：" + Division(all, 6) + " → " + kLineNames[c.moving - 1],
      "本卦 " + primary + " " + NameOf(primary) + "，" + kLineNames[c.moving - 1] + "动 → 之卦 " + changed + " " +
          NameOf(changed),
  };
}

TCastView::TCastView(TComponent* owner) : TGraphicControl(owner) {
  Font().SetName("宋体");
  Font().SetHeight(-14);
}

void TCastView::Clear(const std::string& heading) {
  heading_ = heading;
  tosses_.clear();
  lines_.clear();
  Invalidate();
}

void TCastView::AddToss(const TToss& toss) {
  tosses_.push_back(toss);
  Invalidate();
}

void TCastView::ShowLines(const std::vector<std::string>& lines) {
  lines_ = lines;
  Invalidate();
}

void TCastView::Paint() {
  TCanvas& c = Canvas();
  c.Brush().Color = kWhite;
  c.Brush().Style = TBrushStyle::bsSolid;
  c.FillRect(TRect(0, 0, Width(), Height()));
  c.Font().Assign(Font());
  c.Brush().Style = TBrushStyle::bsClear;
  c.Font().SetColor(kVermilion);
  c.Font().SetStyle(fsBold);
  c.TextOut(12, 10, heading_);
  c.Font().SetStyle(0);
  c.Font().SetColor(kInk);
  // Line 1 at the bottom, as a hexagram is built.
  for (size_t i = 0; i < tosses_.size(); ++i) {
    const int line = static_cast<int>(i) + 1;
    PaintToss(c, line, tosses_[i], kHeadingHeight + (6 - line) * kRowHeight);
  }
  int y = kHeadingHeight + 6;
  for (const std::string& text : lines_) {
    c.TextOut(24, y, text);
    y += 30;
  }
}

void TCastView::PaintToss(TCanvas& c, int line, const TToss& t, int top) {
  const int mid = top + kRowHeight / 2;
  c.Brush().Style = TBrushStyle::bsClear;
  c.Font().SetColor(kGrey);
  c.TextOut(12, mid - 8, kTossNames[line - 1]);
  // The three coins: 背 filled, 字 open.
  for (int k = 0; k < 3; ++k) {
    const TRect coin(80 + k * 38, mid - 16, 80 + k * 38 + 32, mid + 16);
    c.Pen().Color = kInk;
    c.Brush().Style = TBrushStyle::bsSolid;
    c.Brush().Color = t.back[k] ? 0x0060A0D8 : kWhite;
    c.Ellipse(coin);
    c.Brush().Style = TBrushStyle::bsClear;
    c.Font().SetColor(kInk);
    c.TextOut(coin.Left + 9, mid - 8, t.back[k] ? "背" : "字");
  }
  c.TextOut(206, mid - 8, "和 " + std::to_string(t.value));
  c.TextOut(256, mid - 8, LineValueName(t.value));
  // The line: unbroken for yang, broken for yin.
  const bool yang = t.value == 7 || t.value == 9;
  c.Brush().Style = TBrushStyle::bsSolid;
  c.Brush().Color = kInk;
  const int left = 320, width = 120, bar = 10;
  if (yang) {
    c.FillRect(TRect(left, mid - bar / 2, left + width, mid + bar / 2));
  } else {
    c.FillRect(TRect(left, mid - bar / 2, left + width / 2 - 10, mid + bar / 2));
    c.FillRect(TRect(left + width / 2 + 10, mid - bar / 2, left + width, mid + bar / 2));
  }
  if (t.value == 6 || t.value == 9) {
    c.Brush().Style = TBrushStyle::bsClear;
    c.Font().SetColor(kVermilion);
    c.Font().SetStyle(fsBold);
    c.TextOut(left + width + 14, mid - 8, t.value == 9 ? "○" : "×");
    c.Font().SetStyle(0);
  }
}

}  // namespace corvane
