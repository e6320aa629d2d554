#include "hints/FlatHint.h"

#include <algorithm>
#include <vector>

#include "hints/SkinHint.h"
#include "platform/layout/Layout.h"
#include "platform/windows/Forms.h"

namespace corvane {

namespace {

// Every flat hint that exists, oldest first.
std::vector<TFlatHint*>& LiveFlatHints() {
  static std::vector<TFlatHint*> live;
  return live;
}

// The arrow strip and the text area of a w x h window (empty for an unknown placement).
struct Areas {
  TRect strip, text;
};
Areas AreasFor(int placement, int w, int h) {
  switch (placement) {
    case 1: case 3: return {{1, 1, 15, h - 1}, {15, 1, w - 1, h - 1}};
    case 0: case 2: return {{w - 15, 1, w - 1, h - 1}, {1, 1, w - 15, h - 1}};
    default: return {};
  }
}

// The corner of the strip the arrow starts from: top for a box below the pointer, bottom for one
// above it, on the pointer's side.
TPoint ArrowPointOf(int placement, const TRect& s) {
  switch (placement) {
    case 0: return {s.Right - 3, s.Top + 2};
    case 1: return {s.Left + 2, s.Top + 2};
    case 2: return {s.Right - 3, s.Bottom - 3};
    case 3: return {s.Left + 2, s.Bottom - 3};
    default: return {};
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TFlatHint

TFlatHint::TFlatHint(TComponent* owner) : TComponent(owner), font_(std::make_unique<TFont>()) {
  LiveFlatHints().push_back(this);
  if (IsDesigning() || !Application) return;
  Application->SetHintWindowClass(&HintWindowClassOf<TFlatHintWindow>);
  // Flipping the switch twice leaves it as it was; when it was on, the window is remade in the
  // new class.
  Application->SetShowHint(!Application->ShowHint());
  Application->SetShowHint(!Application->ShowHint());
  // Withdrawn by the application when this component is destroyed.
  Application->SetOnShowHint(
      [this](std::string& text, bool& canShow, THintInfo& info) {
        if (OnShowHint) OnShowHint(text, canShow, info);
      },
      this);
  Application->HintShortPause = 25;
  Application->HintPause = 500;
  Application->HintHidePause = 5000;
}

TFlatHint::~TFlatHint() {
  auto& live = LiveFlatHints();
  live.erase(std::remove(live.begin(), live.end(), this), live.end());
}

const TFlatHint* TFlatHint::Settings() {
  if (TForm* main = Application ? Application->MainForm() : nullptr)
    for (int i = 0; i < main->ComponentCount(); ++i)
      if (auto* h = dynamic_cast<TFlatHint*>(main->Components(i))) return h;
  // The main window owns none (in this program the only flat hint belongs to the notes editor):
  // the most recent one, normally the one that installed the window class, rather than no look.
  const auto& live = LiveFlatHints();
  return live.empty() ? nullptr : live.back();
}

// ---------------------------------------------------------------------------------------------
// TFlatHintWindow

TFlatHintWindow::TFlatHintWindow(TComponent* owner) : THintWindow(owner) {
  // The border is painted by the window itself.
  SetWindowLong(GWL_STYLE, GetWindowLong(GWL_STYLE) & ~WS_BORDER);
  RecalcNonClient();
}

int TFlatHintWindow::PlacementFor(TPoint p, int sw, int sh) {
  const int hw = sw / 2, hh = sh / 2;
  auto in = [p](int l, int t, int r, int b) { return TRect(l, t, r, b).Contains(p); };
  if (in(0, 0, hw, hh)) return 1;
  if (in(hw, 0, sw, hh)) return 0;
  if (in(0, hh, hw, sh)) return 3;
  return 2;
}

TRect TFlatHintWindow::BoundsFor(int placement, TPoint p, int w, int h) {
  const int d = placement == 1 ? 12 : 5;
  switch (placement) {
    case 1: return {p.X + d, p.Y + d, p.X + w + d, p.Y + h + d};
    case 0: return {p.X - w - d, p.Y + d, p.X - d, p.Y + h + d};
    case 3: return {p.X + d, p.Y - h - d, p.X + w + d, p.Y - d};
    default: return {p.X - w - d, p.Y - h - d, p.X - d, p.Y - d};
  }
}

std::array<TPoint, 18> TFlatHintWindow::ArrowPolyline(int placement, TPoint a) {
  // The glyph for placement 1 (pointing up and left): a two-pixel-thick right angle at the arrow
  // point with a thick diagonal shaft leading away from it. The others mirror it.
  static constexpr std::array<TPoint, 18> kUpLeft{{{0, 0}, {0, 6}, {1, 6}, {1, 0}, {6, 0}, {6, 1},
                                                   {2, 1}, {2, 4}, {5, 7}, {6, 7}, {3, 4}, {3, 3},
                                                   {6, 6}, {7, 6}, {3, 2}, {4, 2}, {7, 5}, {7, 6}}};
  const int sx = placement == 0 || placement == 2 ? -1 : 1;
  const int sy = placement == 2 || placement == 3 ? -1 : 1;
  std::array<TPoint, 18> out;
  for (size_t i = 0; i < out.size(); ++i) out[i] = {a.X + sx * kUpLeft[i].X, a.Y + sy * kUpLeft[i].Y};
  return out;
}

void TFlatHintWindow::TakeSettings() {
  if (const TFlatHint* s = TFlatHint::Settings()) {
    for (int i = 0; i < 4; ++i) colors_[i] = s->Color(i);
    maxHintWidth_ = s->MaxHintWidth();
    canvasFont_.Assign(s->Font());
  } else {
    colors_ = TFlatHint::kDefaultColors;
    maxHintWidth_ = TFlatHint::kDefaultMaxHintWidth;
    canvasFont_.Assign(TFont());
  }
}

void TFlatHintWindow::ActivateHint(TRect rect, const std::string& text) {
  SetCaption(text);
  TakeSettings();
  // The text wrapped at MaxHintWidth - 22, with room for the strip, the border and the margins.
  TBitmap scratch(1, 1);
  scratch.Canvas().Font().Assign(canvasFont_);
  TRect r(rect.Left, rect.Top, rect.Left + maxHintWidth_ - 22, rect.Top);
  scratch.Canvas().DrawText(text, r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  const int w = r.Width() + 22, h = r.Height() + 6;
  // Only the pointer decides where the box goes.
  const TPoint pointer = GetCursorPos();
  placement_ = static_cast<uint8_t>(PlacementFor(pointer, Screen->Width(), Screen->Height()));
  arrowPoint_ = ArrowPointOf(placement_, AreasFor(placement_, w, h).strip);
  const TRect box = BoundsFor(placement_, pointer, w, h);
  SetBounds(box.Left, box.Top, w, h);
  ShowAt(box.TopLeft());
}

void TFlatHintWindow::Paint() {
  TCanvas& c = Canvas();
  const TRect client = ClientRect();
  const Areas areas = AreasFor(placement_, client.Width(), client.Height());
  c.Brush().Style = TBrushStyle::bsSolid;
  c.Brush().Color = colors_[TFlatHint::ciArrowBackground];
  c.FillRect(areas.strip);
  c.Brush().Color = colors_[TFlatHint::ciBackground];
  c.FillRect(areas.text);
  c.Brush().Color = colors_[TFlatHint::ciBorder];
  c.FrameRect(client);

  c.Pen().Color = colors_[TFlatHint::ciArrow];
  c.Pen().Width = 1;
  c.Pen().Style = TPenStyle::psSolid;
  const auto arrow = ArrowPolyline(placement_, ArrowPointOf(placement_, areas.strip));
  c.Polyline(std::vector<TPoint>(arrow.begin(), arrow.end()));

  c.Brush().Style = TBrushStyle::bsClear;
  c.Font().Assign(canvasFont_);
  TRect text(areas.text.Left + 3, areas.text.Top + 1, areas.text.Right - 3, areas.text.Bottom - 1);
  c.DrawText(Caption(), text, DT_WORDBREAK | DT_NOPREFIX);
}

// ---------------------------------------------------------------------------------------------
// Layouts

void RegisterHintComponents() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterSkinHintComponent();
  const std::string C = "TFlatHint";
  RegisterComponentClass(C, "TComponent", [](TComponent* o) { return new TFlatHint(o); });
  RegisterFontProperties(C, [](TComponent* c) -> TFont& { return static_cast<TFlatHint*>(c)->Font(); });
  const char* const colors[] = {"ColorBackground", "ColorBorder", "ColorArrowBackground", "ColorArrow"};
  for (int i = 0; i < 4; ++i)
    RegisterProp<TFlatHint>(C, colors[i], [i](TFlatHint* h, const TLayoutValue& v, TLayoutContext&) { h->SetColor(i, v.AsColor()); });
  RegisterProp<TFlatHint>(C, "MaxHintWidth", [](TFlatHint* h, const TLayoutValue& v, TLayoutContext&) { h->SetMaxHintWidth(v.AsInt()); });
  RegisterProp<TFlatHint>(C, "OnShowHint", [](TFlatHint* h, const TLayoutValue& v, TLayoutContext& x) {
    h->OnShowHint = x.Handler<TShowHintEvent>(v);
  });
}

}  // namespace corvane
