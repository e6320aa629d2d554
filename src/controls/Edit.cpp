#include "controls/Edit.h"

namespace corvane {

TthEdit::TthEdit(TComponent* owner) : TEdit(owner) {
  SetBorderStyle(TBorderStyle::bsNone);  // no platform border; the band is ours
  LayoutInner();
  SetUIStyle(TthUIStyle::DeepBlue);
}

TthEdit::~TthEdit() {
  Destroying();
  if (fileTheme_) fileTheme_->RemoveFreeNotification(this);
}

void TthEdit::SetBorderColor(TColor c) {
  borderColor_ = c;
  Invalidate();
}

void TthEdit::SetUIStyle(TthUIStyle v) {
  uiStyle_ = v;
  TthResolvedStyle r = ResolveStyle(fileTheme_, v);
  borderColor_ = r.useFile ? fileTheme_->ColorOf(ThemeElement(thControlBorderColor)->key)
                           : ThemeColorOf(r.style, thControlBorderColor);
  Invalidate();
}

void TthEdit::SetFileTheme(TthFileTheme* theme) {
  if (theme != fileTheme_) {
    if (fileTheme_) fileTheme_->RemoveFreeNotification(this);
    fileTheme_ = theme;
    if (theme) theme->FreeNotification(this);
  }
  SetUIStyle(uiStyle_);
}

void TthEdit::Notification(TComponent* component, TOperation operation) {
  TEdit::Notification(component, operation);
  if (operation == TOperation::opRemove && component == fileTheme_ && fileTheme_) {
    fileTheme_ = nullptr;
    if (!IsDestroying()) SetUIStyle(TthUIStyle::DeepBlue);
  }
}

void TthEdit::WndProc(TMessage& m) {
  TEdit::WndProc(m);
  // The rings go over whatever the erase and the paint left in the band.
  if ((m.Msg == WM_ERASEBKGND || m.Msg == WM_PAINT) && m.WParam != 0)
    DrawBorder(*reinterpret_cast<TCanvas*>(m.WParam));
}

void TthEdit::DrawBorder(TCanvas& canvas) {
  TRect r(0, 0, Width(), Height());
  TBrush saved = canvas.Brush();
  canvas.Brush().Style = TBrushStyle::bsSolid;
  canvas.Brush().Color = ColorToRGB(borderColor_);
  canvas.FrameRect(r);
  canvas.Brush().Color = ColorToRGB(Color());
  canvas.FrameRect(TRect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1));
  canvas.Brush().Color = saved.Color;
  canvas.Brush().Style = saved.Style;
}

}  // namespace corvane
