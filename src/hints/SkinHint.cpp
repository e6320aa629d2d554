#include "hints/SkinHint.h"

#include <algorithm>
#include <vector>

#include "platform/layout/Layout.h"
#include "platform/windows/Forms.h"
#include "skin/package/ResourceStrData.h"
#include "skin/package/SkinData.h"

namespace corvane {

namespace {

// Every skin hint that exists, oldest first.
std::vector<TskSkinHint*>& LiveSkinHints() {
  static std::vector<TskSkinHint*> live;
  return live;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TskSkinHint

TskSkinHint::TskSkinHint(TComponent* owner) : TComponent(owner), defaultFont_(std::make_unique<TFont>()) {
  LiveSkinHints().push_back(this);
  window_ = new TskSkinHintWindow(this);
  window_->SetVisible(false);
  if (!IsDesigning() && Application) {
    Application->SetHintWindowClass(&HintWindowClassOf<TskSkinHintWindow>);
    // Flipping the switch twice leaves it as it was; when it was on, the window is remade in the
    // new class.
    Application->SetShowHint(!Application->ShowHint());
    Application->SetShowHint(!Application->ShowHint());
    TakeNotification();
    Application->HintShortPause = 100;
  }
  UseSkinFont = true;
}

TskSkinHint::~TskSkinHint() {
  auto& live = LiveSkinHints();
  live.erase(std::remove(live.begin(), live.end(), this), live.end());
  delete timer_;
  timer_ = nullptr;
  delete window_;
  window_ = nullptr;
}

void TskSkinHint::TakeNotification() {
  // Withdrawn by the application when this component is destroyed.
  Application->SetOnShowHint(
      [this](std::string& text, bool& canShow, THintInfo& info) {
        if (OnShowHint) OnShowHint(text, canShow, info);
      },
      this);
}

void TskSkinHint::SetSkinData(TskSkinData* value) {
  if (skinData_ && skinData_ != value) RemoveFreeNotification(skinData_);
  skinData_ = value;
  if (value) FreeNotification(value);
}

void TskSkinHint::SetActive(bool value) {
  active_ = value;
  if (value && Application && Application->MainForm()) {
    TForm* main = Application->MainForm();
    for (int i = 0; i < main->ComponentCount(); ++i) {
      auto* other = dynamic_cast<TskSkinHint*>(main->Components(i));
      if (other && other != this && other->Active()) other->SetActive(false);
    }
  }
  if (!IsDesigning() && active_ && Application) TakeNotification();
}

void TskSkinHint::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  if (component == skinData_) skinData_ = nullptr;
  if (component == window_) window_ = nullptr;
  if (component == timer_) timer_ = nullptr;
}

void TskSkinHint::DropTimer() {
  if (!timer_) return;
  timer_->SetEnabled(false);
  // A timer is never destroyed inside its own tick; the stopped one goes with the next wait or
  // with the component.
  if (inTick_) return;
  delete timer_;
  timer_ = nullptr;
}

void TskSkinHint::ShowHintDelayed(const std::string& text) {
  DropTimer();
  pendingText_ = text;
  if (!timer_) {
    timer_ = new TTimer(this);
    timer_->SetEnabled(false);
    // One handler for both uses of the timer: it must not be replaced while it runs.
    timer_->OnTimer = [this](TObject*) {
      inTick_ = true;
      struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
      } reset{inTick_};
      if (nextIsShow_) ShowHintNow();
      else HideHint();
    };
  }
  nextIsShow_ = true;
  timer_->SetInterval(Application ? Application->HintPause : 500);
  timer_->SetEnabled(true);
}

void TskSkinHint::ShowHintNow() {
  if (!window_) return;
  const TPoint p = GetCursorPos();
  const int y = p.Y + CursorHeightMargin();
  window_->ActivateHint(TRect(p.X, y, p.X, y), pendingText_);
  // ActivateHint shows the window when it found settings; without them there is nothing to show.
  if (!timer_) return;
  timer_->SetEnabled(false);
  nextIsShow_ = false;
  timer_->SetInterval(Application ? Application->HintHidePause : 5000);
  timer_->SetEnabled(true);
}

void TskSkinHint::HideHint() {
  DropTimer();
  if (window_ && window_->Visible()) {
    window_->SetVisible(false);
    window_->SetBounds(0, 0, window_->Width(), window_->Height());
  }
}

const TskSkinHint* TskSkinHint::Settings(const TComponent* preferred) {
  if (TForm* main = Application ? Application->MainForm() : nullptr)
    for (int i = 0; i < main->ComponentCount(); ++i)
      if (auto* h = dynamic_cast<TskSkinHint*>(main->Components(i)); h && h->Active()) return h;
  // The main window owns none (in this program the only skin hint belongs to the about window):
  // the component that owns the window, else the most recent active one, normally the one that
  // installed the window class, rather than a hint that never shows.
  if (auto* own = dynamic_cast<const TskSkinHint*>(preferred); own && own->Active()) return own;
  const auto& live = LiveSkinHints();
  for (auto it = live.rbegin(); it != live.rend(); ++it)
    if ((*it)->Active()) return *it;
  return nullptr;
}

// ---------------------------------------------------------------------------------------------
// TskSkinHintWindow

TskSkinHintWindow::TskSkinHintWindow(TComponent* owner) : THintWindow(owner) {
  // The window draws its whole face itself. (No drop shadow is asked for: IsVersion51 never
  // holds on this window system.)
  SetWindowLong(GWL_STYLE, GetWindowLong(GWL_STYLE) & ~WS_BORDER);
  RecalcNonClient();
}

TSize TskSkinHintWindow::MeasureFor(int tw, int th, bool hasSkin, const TskSkinGeometry& g) {
  if (!hasSkin) return {tw + 4, th + 4};
  const int pw = g.Rect.Width(), ph = g.Rect.Height();
  const TRect& c = g.Cl;
  const int w = std::max(pw, tw + c.Left + (pw - c.Right));
  const int h = std::max(ph, th + c.Top + (ph - c.Bottom));
  return {w, h};
}

void TskSkinHintWindow::TakeLook(const TskSkinHint& s) {
  Look look;
  TskSkinData* data = s.SkinData();
  const TskDataSkinHintWindow* hw = data && !data->IsEmpty ? data->HintWindow.get() : nullptr;
  // An index that names no picture counts as no skin.
  TBitmap* picture = hw && hw->WindowPictureIndex != -1 ? data->ActivePicture(hw->WindowPictureIndex) : nullptr;
  look.font.Assign(s.DefaultFont());
  if (picture && !picture->Empty()) {
    look.hasSkin = true;
    look.picture = std::make_unique<TBitmap>();
    look.picture->Assign(*picture);
    TskSkinGeometry& g = look.geometry;
    g.Rect = {0, 0, picture->Width(), picture->Height()};
    g.LT = hw->LTPoint;
    g.RT = hw->RTPoint;
    g.LB = hw->LBPoint;
    g.RB = hw->RBPoint;
    g.Cl = hw->ClRect;
    g.LeftStretch = hw->LeftStretch;
    g.TopStretch = hw->TopStretch;
    g.RightStretch = hw->RightStretch;
    g.BottomStretch = hw->BottomStretch;
    if (s.UseSkinFont) {
      look.font.SetHeight(hw->FontHeight);
      look.font.SetName(hw->FontName);
      look.font.SetStyle(hw->FontStyle);
    }
    look.fontColor = hw->FontColor;
  }
  if (data && data->ResourceStrData()) look.font.SetCharset(data->ResourceStrData()->CharSet);
  else look.font.SetCharset(s.DefaultFont().Charset());
  look.font.SetColor(look.fontColor);
  look_ = std::move(look);
}

TSize TskSkinHintWindow::TextExtent(const std::string& text) const {
  TBitmap scratch(1, 1);
  scratch.Canvas().Font().Assign(look_.font);
  // Line breaks are honoured, nothing wraps; "&" marks an accelerator as it does when drawn.
  TRect r(0, 0, 0, 0);
  scratch.Canvas().DrawText(text, r, DT_CALCRECT | DT_LEFT);
  return {r.Width(), r.Height()};
}

void TskSkinHintWindow::ActivateHint(TRect rect, const std::string& text) {
  activated_ = false;
  const TskSkinHint* settings = TskSkinHint::Settings(Owner());
  if (!settings) return;
  TakeLook(*settings);
  SetCaption(text);
  const TSize ext = TextExtent(text);
  const TSize size = MeasureFor(ext.cx, ext.cy, look_.hasSkin, look_.geometry);
  const int w = size.cx, h = size.cy;
  if (look_.hasSkin) look_.grown = GrowGeometry(look_.geometry, w, h);

  TRect r(rect.Left, rect.Top, rect.Left + w, rect.Top + h);
  if (Screen->Width() < r.Right) r = r.Offset(-(w + 2), 0);
  if (Screen->Height() < r.Bottom) r = r.Offset(0, -(h + 2));
  SetBounds(r.Left, r.Top, w, h);

  if (LayeringAvailable()) {
    const bool blend = settings->AlphaBlend;
    if (blend != prevAlphaBlend_) {
      const uint32_t ex = GetWindowLong(GWL_EXSTYLE);
      SetWindowLong(GWL_EXSTYLE, blend ? ex | WS_EX_LAYERED : ex & ~WS_EX_LAYERED);
      // A window that has just become layered takes the value at once, 0 included.
      if (blend) {
        ApplyLayeredAlpha(*this, settings->AlphaBlendValue);
        prevAlphaValue_ = settings->AlphaBlendValue;
      }
    }
    prevAlphaBlend_ = blend;
    if (blend && settings->AlphaBlendValue != prevAlphaValue_) {
      ApplyLayeredAlpha(*this, settings->AlphaBlendValue);
      prevAlphaValue_ = settings->AlphaBlendValue;
    }
  }

  const TskDataSkinHintWindow* hw =
      look_.hasSkin && settings->SkinData() ? settings->SkinData()->HintWindow.get() : nullptr;
  TBitmap* mask = hw && hw->MaskPictureIndex != -1 ? settings->SkinData()->ActivePicture(hw->MaskPictureIndex) : nullptr;
  if (mask && !mask->Empty()) {
    std::unique_ptr<TRegion> region = FrameMaskRegion(*mask, look_.geometry, look_.grown);
    SetWindowRegion(region.get());
    region_ = std::move(region);
  } else if (region_) {
    SetWindowRegion(nullptr);
    region_.reset();
  }

  ShowAt(r.TopLeft());
  activated_ = true;
}

void TskSkinHintWindow::Paint() {
  const int w = Width(), h = Height();
  if (w <= 0 || h <= 0) return;
  TBitmap buffer(w, h);
  TCanvas& b = buffer.Canvas();
  const std::string text = Caption();
  if (look_.hasSkin) {
    BuildFrameBitmap(*look_.picture, look_.geometry, look_.grown, true, buffer);
    b.Brush().Style = TBrushStyle::bsClear;
    b.Font().Assign(look_.font);
    TRect ext(0, 0, 0, 0);
    b.DrawText(text, ext, DT_CALCRECT | DT_LEFT);
    const TRect& g = look_.grown.Cl;
    const int x = g.Left + g.Width() / 2 - ext.Width() / 2;
    const int y = g.Top + g.Height() / 2 - ext.Height() / 2;
    TRect r(x, y, x + ext.Width(), y + ext.Height());
    b.DrawText(text, r, DT_LEFT);
  } else {
    b.Brush().Style = TBrushStyle::bsSolid;
    b.Brush().Color = clInfoBk;
    b.FillRect(TRect(0, 0, w, h));
    b.Brush().Color = clBtnShadow;
    b.FrameRect(TRect(0, 0, w, h));
    b.Brush().Style = TBrushStyle::bsClear;
    b.Font().Assign(look_.font);
    b.Font().SetColor(clInfoText);
    TRect r(2, 2, w - 2, h - 2);
    b.DrawText(text, r, DT_LEFT);
  }
  Canvas().Draw(0, 0, buffer);
}

void TskSkinHintWindow::DefaultHandler(TMessage& m) {
  switch (m.Msg) {
    case WM_ERASEBKGND: m.Result = 1; return;  // the paint covers every pixel
    case WM_NCPAINT: return;
    default: THintWindow::DefaultHandler(m);
  }
}

// ---------------------------------------------------------------------------------------------
// Layouts

void RegisterSkinHintComponent() {
  static bool done = false;
  if (done) return;
  done = true;
  const std::string C = "TskSkinHint";
  RegisterComponentClass(C, "TComponent", [](TComponent* o) { return new TskSkinHint(o); });
  RegisterProp<TskSkinHint>(C, "SkinData", [](TskSkinHint* h, const TLayoutValue& v, TLayoutContext& x) {
    auto* data = dynamic_cast<TskSkinData*>(x.Component(v));
    if (!data) v.Fail(v.text + " is not skin data");
    h->SetSkinData(data);
  });
  RegisterProp<TskSkinHint>(C, "Active", [](TskSkinHint* h, const TLayoutValue& v, TLayoutContext&) { h->SetActive(v.AsBool()); });
  RegisterProp<TskSkinHint>(C, "AlphaBlend", [](TskSkinHint* h, const TLayoutValue& v, TLayoutContext&) { h->AlphaBlend = v.AsBool(); });
  RegisterProp<TskSkinHint>(C, "AlphaBlendValue", [](TskSkinHint* h, const TLayoutValue& v, TLayoutContext&) {
    const int value = v.AsInt();
    if (value < 0 || value > 255) v.Fail("AlphaBlendValue must be 0 to 255");
    h->AlphaBlendValue = static_cast<uint8_t>(value);
  });
  RegisterProp<TskSkinHint>(C, "DefaultFont.Name", [](TskSkinHint* h, const TLayoutValue& v, TLayoutContext&) { h->DefaultFont().SetName(v.AsString()); });
  RegisterProp<TskSkinHint>(C, "DefaultFont.Height", [](TskSkinHint* h, const TLayoutValue& v, TLayoutContext&) { h->DefaultFont().SetHeight(v.AsInt()); });
  RegisterProp<TskSkinHint>(C, "DefaultFont.Color", [](TskSkinHint* h, const TLayoutValue& v, TLayoutContext&) { h->DefaultFont().SetColor(v.AsColor()); });
  RegisterProp<TskSkinHint>(C, "DefaultFont.Charset", [](TskSkinHint* h, const TLayoutValue& v, TLayoutContext&) { h->DefaultFont().SetCharset(v.AsCharset()); });
  RegisterProp<TskSkinHint>(C, "DefaultFont.Style", [](TskSkinHint* h, const TLayoutValue& v, TLayoutContext&) { h->DefaultFont().SetStyle(v.AsFontStyles()); });
  RegisterProp<TskSkinHint>(C, "UseSkinFont", [](TskSkinHint* h, const TLayoutValue& v, TLayoutContext&) { h->UseSkinFont = v.AsBool(); });
  RegisterProp<TskSkinHint>(C, "OnShowHint", [](TskSkinHint* h, const TLayoutValue& v, TLayoutContext& x) {
    h->OnShowHint = x.Handler<TShowHintEvent>(v);
  });
}

}  // namespace corvane
