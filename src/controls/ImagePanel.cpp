#include "controls/ImagePanel.h"

#include "controls/Theme.h"

namespace corvane {

TthCustomPanel::TthCustomPanel(TComponent* owner) : TPanel(owner), picture_(std::make_unique<TPicture>()) {
  picture_->OnChange = [this](TObject*) { PictureChanged(); };
  captionPos_ = {-1, -1};
  BevelInner = TBevelCut::bvNone;
  BevelOuter = TBevelCut::bvNone;
  Invalidate();
}

TthCustomPanel::~TthCustomPanel() {
  Destroying();
  picture_->OnChange = nullptr;
  picture_.reset();
}

void TthCustomPanel::ClearBackground() {
  // Only a panel parented to a raw window would need filling; the brush is all that is set.
}

void TthCustomPanel::SyncTransparency() {
  TGraphic* g = picture_->Graphic();
  if (g && g->Transparent != transparent_) g->Transparent = transparent_;
}

void TthCustomPanel::ApplyAutoSize() {
  if (!autoSize_ || !HasGraphic()) return;
  int w = Width(), h = Height();
  if (Align != TAlign::alTop && Align != TAlign::alBottom && Align != TAlign::alClient) w = picture_->Width();
  if (Align != TAlign::alLeft && Align != TAlign::alRight && Align != TAlign::alClient) h = picture_->Height();
  SetBounds(Left(), Top(), w, h);
}

void TthCustomPanel::PictureChanged() {
  if (HasGraphic()) {
    ApplyAutoSize();
    SyncTransparency();
  }
  ClearBackground();
  Invalidate();
}

void TthCustomPanel::SetTransparent(bool v) {
  transparent_ = v;
  if (HasGraphic()) SyncTransparency();
  Invalidate();
}

void TthCustomPanel::Resize() {
  TPanel::Resize();
  Invalidate();
}

void TthCustomPanel::WndProc(TMessage& m) {
  if (m.Msg == WM_ERASEBKGND) {
    m.Result = 1;  // the paint covers every pixel
    return;
  }
  if (m.Msg == CM_TEXTCHANGED) Invalidate();
  TPanel::WndProc(m);
}

// Whether drawing the graphic in the draw style sets every pixel of a w x h client area.
static bool CoversClient(const TGraphic& g, TthDrawStyle style, int w, int h) {
  if (g.Transparent) return false;
  return style != TthDrawStyle::thNormal || (g.Width() >= w && g.Height() >= h);
}

void TthCustomPanel::Paint() {
  const int w = Width(), h = Height();
  if (w <= 0 || h <= 0) return;
  const TRect client(0, 0, w, h);
  // Drawn straight on the window's canvas; what the picture leaves uncovered is white.
  TCanvas& c = Canvas();
  // The graphic children are painted on the same canvas afterwards: brush and font are restored.
  const TBrush brush = c.Brush();
  TFont font;
  font.Assign(c.Font());
  c.SaveState();
  c.IntersectClip(client);
  const TGraphic* g = HasGraphic() ? picture_->Graphic() : nullptr;
  if (transparent_ || (g && !CoversClient(*g, drawStyle_, w, h))) {
    c.Brush().Style = TBrushStyle::bsSolid;
    c.Brush().Color = clWhite;
    c.FillRect(client);
  }
  if (transparent_) PaintParentBackground(c, *this);
  if (g) {
    switch (drawStyle_) {
      case TthDrawStyle::thStretch: c.StretchDraw(client, *g); break;
      case TthDrawStyle::thTile: TileGraphic(c, *g, client); break;
      default: c.Draw(0, 0, *g); break;
    }
  } else if (!transparent_) {
    c.Brush().Style = TBrushStyle::bsSolid;
    c.Brush().Color = Color();
    c.FillRect(client);
  }
  c.Brush().Style = TBrushStyle::bsClear;
  const std::string& caption = Caption();
  if (caption.find_first_not_of(" \t\r\n") != std::string::npos) {
    c.Font().Assign(Font());
    if (captionPos_.X == -1 || captionPos_.Y == -1) {
      unsigned align = Alignment == TAlignment::taLeftJustify ? DT_LEFT
                     : Alignment == TAlignment::taRightJustify ? DT_RIGHT : DT_CENTER;
      TRect r = client;
      c.DrawText(caption, r, DT_SINGLELINE | DT_VCENTER | align);
    } else {
      c.TextOut(captionPos_.X, captionPos_.Y, caption);
    }
  }
  c.RestoreState();
  c.Brush() = brush;
  c.Font().Assign(font);
}

TthImagePanel::TthImagePanel(TComponent* owner) : TthCustomPanel(owner) {}

void TthImagePanel::SetAutoSize(bool v) {
  autoSize_ = v;
  if (HasGraphic()) ApplyAutoSize();
}

void TthImagePanel::SetDrawStyle(TthDrawStyle v) {
  drawStyle_ = v;
  ClearBackground();
  Invalidate();
}

void TthImagePanel::SetPicture(const TPicture& p) {
  if (&p != picture_.get()) picture_->Assign(p);
  ClearBackground();
  Invalidate();
}

const char* DrawStyleName(TthDrawStyle s) {
  switch (s) {
    case TthDrawStyle::thStretch: return "thStretch";
    case TthDrawStyle::thTile: return "thTile";
    default: return "thNormal";
  }
}

}  // namespace corvane
