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

void TthCustomPanel::Paint() {
  const int w = Width(), h = Height();
  if (w <= 0 || h <= 0) return;
  const TRect client(0, 0, w, h);
  TBitmap buffer(w, h);  // starts white
  TCanvas& bc = buffer.Canvas();
  if (transparent_) PaintParentBackground(bc, *this);
  if (HasGraphic()) {
    const TGraphic& g = *picture_->Graphic();
    switch (drawStyle_) {
      case TthDrawStyle::thStretch: bc.StretchDraw(client, g); break;
      case TthDrawStyle::thTile: TileGraphic(bc, g, client); break;
      default: bc.Draw(0, 0, g); break;
    }
  } else if (!transparent_) {
    bc.Brush().Style = TBrushStyle::bsSolid;
    bc.Brush().Color = Color();
    bc.FillRect(client);
  }
  bc.Brush().Style = TBrushStyle::bsClear;
  const std::string& caption = Caption();
  if (caption.find_first_not_of(" \t\r\n") != std::string::npos) {
    bc.Font().Assign(Font());
    if (captionPos_.X == -1 || captionPos_.Y == -1) {
      unsigned align = Alignment == TAlignment::taLeftJustify ? DT_LEFT
                     : Alignment == TAlignment::taRightJustify ? DT_RIGHT : DT_CENTER;
      TRect r = client;
      bc.DrawText(caption, r, DT_SINGLELINE | DT_VCENTER | align);
    } else {
      bc.TextOut(captionPos_.X, captionPos_.Y, caption);
    }
  }
  Canvas().CopyRect(client, bc, client);
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
