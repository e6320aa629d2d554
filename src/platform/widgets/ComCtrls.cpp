#include "platform/widgets/ComCtrls.h"

#include "platform/graphics/ImgList.h"
#include "platform/windows/ActnList.h"
#include "platform/windows/Forms.h"
#include "platform/windows/Hints.h"

namespace corvane {

namespace {
// A one-pixel raised (or sunken) edge around r.
void Edge(TCanvas& c, TRect r, bool raised) {
  if (raised) c.Frame3D(r, clBtnHighlight, clBtnShadow, 1);
  else c.Frame3D(r, clBtnShadow, clBtnHighlight, 1);
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// TToolBar

TToolBar::TToolBar(TComponent* owner) : TCustomControl(owner) {
  width_ = 150;
  height_ = 29;
}

TToolBar::~TToolBar() { Destroying(); }

void TToolBar::SetImages(TImageList* images) {
  if (images_) RemoveFreeNotification(images_);
  images_ = images;
  if (images_) FreeNotification(images_);
  Invalidate();
}

void TToolBar::Notification(TComponent* component, TOperation operation) {
  TCustomControl::Notification(component, operation);
  if (operation == TOperation::opRemove && component == images_) images_ = nullptr;
}

void TToolBar::WndProc(TMessage& m) {
  if (m.Msg == CM_HINTSHOW) {
    auto* info = reinterpret_cast<THintInfo*>(m.LParam);
    if (auto* button = dynamic_cast<TToolButton*>(ControlAtPos(info->CursorPos, true))) {
      info->HintStr = GetShortHint(button->Hint);
      info->CursorRect = button->BoundsRect();
    }
  }
  TCustomControl::WndProc(m);
}

void TToolBar::Paint() {
  TCanvas& c = Canvas();
  TRect r = ClientRect();
  c.Brush().Style = TBrushStyle::bsSolid;
  c.Brush().Color = color_;
  c.FillRect(r);
  // Etched lines: a shadow line with a highlight line beside it, on the inner side.
  auto line = [&](TRect shadow, TRect highlight) {
    c.Brush().Color = clBtnShadow;
    c.FillRect(shadow);
    c.Brush().Color = clBtnHighlight;
    c.FillRect(highlight);
  };
  if (edges_ & ebTop) line(TRect(0, 0, r.Right, 1), TRect(0, 1, r.Right, 2));
  if (edges_ & ebLeft) line(TRect(0, 0, 1, r.Bottom), TRect(1, 0, 2, r.Bottom));
  if (edges_ & ebBottom) line(TRect(0, r.Bottom - 2, r.Right, r.Bottom - 1), TRect(0, r.Bottom - 1, r.Right, r.Bottom));
  if (edges_ & ebRight) line(TRect(r.Right - 2, 0, r.Right - 1, r.Bottom), TRect(r.Right - 1, 0, r.Right, r.Bottom));
}

// ---------------------------------------------------------------------------------------------
// TToolButton

TToolButton::TToolButton(TComponent* owner)
    : TGraphicControl(owner), actionLink_(this, [this](TAction& a) {
        Hint = a.Hint();
        SetCaption(a.Caption());
        SetImageIndex(a.ImageIndex());
        SetEnabled(a.Enabled());
        SetVisible(a.Visible());
      }) {
  width_ = 23;
  height_ = 22;
}

TToolButton::~TToolButton() { Destroying(); }

void TToolButton::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  actionLink_.Notification(component, operation);
}

void TToolButton::Click() {
  if (style_ == TToolButtonStyle::tkSeparator) return;
  if (OnClick) OnClick(this);
  else actionLink_.Execute();
}

void TToolButton::WndProc(TMessage& m) {
  if (m.Msg == CM_MOUSEENTER || m.Msg == CM_MOUSELEAVE) {
    hot_ = m.Msg == CM_MOUSEENTER;
    Invalidate();
  } else if (m.Msg == CM_ENABLEDCHANGED && !enabled_) {
    down_ = false;
  }
  TGraphicControl::WndProc(m);
}

void TToolButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == TMouseButton::mbLeft && style_ == TToolButtonStyle::tkButton) {
    down_ = true;
    Invalidate();
  }
  TGraphicControl::MouseDown(button, shift, x, y);
}

void TToolButton::MouseMove(TShiftState shift, int x, int y) {
  // While the button is held, it looks pressed only with the pointer over it.
  bool over = ClientRect().Contains({x, y});
  if (over != hot_ && (shift & ssLeft)) {
    hot_ = over;
    Invalidate();
  }
  TGraphicControl::MouseMove(shift, x, y);
}

void TToolButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == TMouseButton::mbLeft && down_) {
    down_ = false;
    Invalidate();
  }
  TGraphicControl::MouseUp(button, shift, x, y);
}

void TToolButton::Paint() {
  TCanvas& c = Canvas();
  TRect r = ClientRect();
  TToolBar* bar = ToolBar();
  bool flat = !bar || bar->Flat();
  if (style_ == TToolButtonStyle::tkSeparator) {
    // A flat toolbar divides its groups with an etched line.
    if (flat) {
      int x = r.Width() / 2 - 1;
      c.Brush().Style = TBrushStyle::bsSolid;
      c.Brush().Color = clBtnShadow;
      c.FillRect(TRect(x, 2, x + 1, r.Bottom - 2));
      c.Brush().Color = clBtnHighlight;
      c.FillRect(TRect(x + 1, 2, x + 2, r.Bottom - 2));
    }
    return;
  }
  bool pressed = down_ && hot_;
  if (enabled_ && (pressed || hot_ || !flat)) Edge(c, r, !pressed);
  TImageList* images = bar ? bar->Images() : nullptr;
  if (!images) return;
  int x = (r.Width() - images->Width()) / 2 + (pressed ? 1 : 0);
  int y = (r.Height() - images->Height()) / 2 + (pressed ? 1 : 0);
  images->Draw(c, x, y, imageIndex_, enabled_);
}

}  // namespace corvane
