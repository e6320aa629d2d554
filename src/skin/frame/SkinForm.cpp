#include "skin/frame/SkinForm.h"

#include <algorithm>

#include "platform/windows/Menus.h"
#include "platform/windows/TrayIcons.h"
#include "skin/frame/EffectBmp.h"
#include "skin/frame/SkinMenu.h"
#include "skin/frame/SkinObjects.h"
#include "skin/frame/TrayIcon.h"
#include "skin/package/ResourceStrData.h"
#include "skin/package/SkinData.h"
#include "skin/package/SkinMembers.h"

namespace corvane {

namespace {

TFont MakeFont(const std::string& name, int height, TFontStyles style, TColor colour) {
  TFont f;
  f.SetName(name);
  f.SetHeight(height);
  f.SetStyle(style);
  f.SetColor(colour);
  return f;
}

// The skin's frame picture as a surface: the main picture's rectangle, the corner points, the
// client rectangle and the stretch flags.
TskSkinGeometry SkinGeometryOf(const TskSkinData& d) {
  TskSkinGeometry g;
  g.Rect = {0, 0, d.Picture ? d.Picture->Width() : 0, d.Picture ? d.Picture->Height() : 0};
  g.LT = d.LTPoint;
  g.RT = d.RTPoint;
  g.LB = d.LBPoint;
  g.RB = d.RBPoint;
  g.Cl = d.ClRect;
  g.LeftStretch = d.LeftStretch;
  g.TopStretch = d.TopStretch;
  g.RightStretch = d.RightStretch;
  g.BottomStretch = d.BottomStretch;
  return g;
}

bool IsCaption(const TskActiveSkinObject& o) { return dynamic_cast<const TskSkinCaptionObject*>(&o) != nullptr; }

// The command of a caption button or an animation (cmdefault for other objects), and whether the
// object takes part in the caption-button rules.
bool CommandOf(const TskActiveSkinObject& o, SkinCommand& command) {
  if (auto* b = dynamic_cast<const TskSkinStdButtonObject*>(&o)) {
    command = b->Command;
    return true;
  }
  if (auto* a = dynamic_cast<const TskSkinAnimateObject*>(&o)) {
    command = a->Command;
    return true;
  }
  return false;
}

bool PointIn(const TRect& r, TPoint p) { return p.X >= r.Left && p.Y >= r.Top && p.X < r.Right && p.Y < r.Bottom; }

// Whether the pixel at (x, y) of a border mask is black (inside); outside the bitmap it is not.
bool BlackAt(const TBitmap& b, int x, int y) {
  if (x < 0 || y < 0 || x >= b.Width() || y >= b.Height()) return false;
  return (b.ScanLine(y)[x] & 0xFFFFFF) == 0;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Attaching

TskSkinForm::TskSkinForm(TComponent* owner)
    : TComponent(owner),
      defMenuItemFont_(MakeFont("Arial", 14, 0, clWindowText)),
      defCaptionFont_(MakeFont("Arial", 14, fsBold, clBtnText)),
      defInActiveCaptionFont_(MakeFont("Arial", 14, fsBold, clBtnShadow)) {
  form_ = dynamic_cast<TForm*>(owner);
  if (!form_) throw EInvalidCast("Invalid class typecast");
  // The default frame draws its caption in these fonts: a change shows at once.
  for (TFont* f : {&defCaptionFont_, &defInActiveCaptionFont_})
    f->OnChange = [this](TObject*) {
      if (!skinned_ && !IsLoading() && !IsDesigning()) RequestFramePaint();
    };
  defaultSystemMenu_ = new TPopupMenu(this);
  // The tray menu's captions are the built-in ones: there is no skin yet.
  trayMenu_ = new TskSkinPopupMenu(this);
  auto* restore = new TMenuItem(trayMenu_);
  restore->SetName("TRAY_SKF_RESTORE");
  restore->Caption = "还原(&R)";
  restore->OnClick = [this](TObject*) { RestoreFrameFromTray(); };
  auto* line = new TMenuItem(trayMenu_);
  line->Caption = "-";
  auto* close = new TMenuItem(trayMenu_);
  close->SetName("TRAY_SKF_CLOSE");
  close->Caption = "关闭(&C)";
  close->ShortCut = ShortCut(VK_F4, ssAlt);
  close->OnClick = [this](TObject*) { form_->Close(); };
  for (TMenuItem* item : {restore, line, close}) trayMenu_->Items().Add(item);
  // The icon's menu shows through the window's menu host, with the frame's menu settings.
  trayMenu_->OnPopup = [this](TObject*) { MenuHost(); };
  if (IsDesigning()) return;
  previous_ = form_->WindowProc;
  form_->WindowProc = [this](TMessage& m) { FrameWindowProc(m); };
  form_->SetWindowLong(GWL_STYLE, form_->GetWindowLong(GWL_STYLE) & ~WS_CAPTION);
  form_->RecalcNonClient();
}

TskSkinForm::~TskSkinForm() {
  Destroying();
  if (!form_ || IsDesigning()) return;
  StopTimers();
  objects_.clear();
  form_->WindowProc = previous_;
  if (regionSet_) form_->SetWindowRegion(nullptr);
  if (!form_->IsDestroying()) form_->RecalcNonClient();
}

TskSkinForm* TskSkinForm::FindFrameOf(const TForm* form) {
  if (!form) return nullptr;
  for (int i = 0; i < form->ComponentCount(); ++i)
    if (auto* f = dynamic_cast<TskSkinForm*>(form->Components(i))) return f;
  return nullptr;
}

void TskSkinForm::SetSkinData(TskSkinData* value) {
  SetReference(skinData_, value);
  trayMenu_->SetSkinData(value);
  // A layout being read applies the skin once all the frame's settings are in (Loaded).
  if (!IsDesigning() && !IsLoading()) ApplySkinData();
}

void TskSkinForm::Loaded() {
  TComponent::Loaded();
  if (!IsDesigning()) ApplySkinData();
}

void TskSkinForm::SetMenusSkinData(TskSkinData* value) { SetReference(menusSkinData_, value); }

void TskSkinForm::SetSkinHint(TComponent* value) {
  auto* target = dynamic_cast<TskObjectHint*>(value);
  if (value && !target) throw EInvalidCast("Invalid class typecast");
  SetReference(skinHintComponent_, value);
  skinHint_ = target;
}

void TskSkinForm::SetSystemMenu(TPopupMenu* value) { SetReference(systemMenu_, value); }

void TskSkinForm::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  if (component == skinData_) {
    // The objects point into the skin's pictures: they go with it, and the frame falls back to
    // its default look.
    skinData_ = nullptr;
    StopTimers();
    objects_.clear();
    skinned_ = false;
    if (!IsDestroying() && !form_->IsDestroying()) ApplySkinData();
  }
  if (component == menusSkinData_) menusSkinData_ = nullptr;
  if (component == skinHintComponent_) {
    skinHintComponent_ = nullptr;
    skinHint_ = nullptr;
  }
  if (component == systemMenu_) systemMenu_ = nullptr;
  if (component == menuHost_) menuHost_ = nullptr;
  if (component == trayIcon_) trayIcon_ = nullptr;
}

void TskSkinForm::SetBorderIcons(TskBorderIcons value) {
  borderIcons_ = value;
  if (IsLoading()) return;  // the skin applied at the end of loading builds the objects
  BuildDefaultButtons();
  if (!IsLoading() && !IsDesigning()) RequestFramePaint();
}

void TskSkinForm::SetHideCaptionButtons(bool value) {
  hideCaptionButtons_ = value;
  ApplyBorderIcons();
  if (!IsLoading() && !IsDesigning()) RequestFramePaint();
}

void TskSkinForm::SetAlphaBlend(bool value) {
  if (value == AlphaBlend) return;
  AlphaBlend = value;
  if (IsLoading() || IsDesigning() || !LayeringAvailable()) return;
  const auto exStyle = form_->GetWindowLong(GWL_EXSTYLE);
  if (value) {
    form_->SetWindowLong(GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
    ApplyLayeredAlpha(*form_, AlphaBlendValue);
  } else {
    form_->SetWindowLong(GWL_EXSTYLE, exStyle & ~WS_EX_LAYERED);
  }
}

void TskSkinForm::SetAlphaBlendValue(uint8_t value) {
  AlphaBlendValue = value;
  if (AlphaBlend && !IsLoading() && !IsDesigning() && LayeringAvailable()) ApplyLayeredAlpha(*form_, value);
}

const TBitmap& TskSkinForm::SmallIcon() {
  if (!smallIconLoaded_) {
    smallIconLoaded_ = true;
    LoadApplicationIcon(smallIcon_);
  }
  return smallIcon_;
}

void TskSkinForm::DrawSmallIcon(TCanvas& canvas, int x, int y) {
  const TBitmap& icon = SmallIcon();
  if (icon.Empty()) return;
  const TSize s = SmallIconSize();
  canvas.StretchDraw({x, y, x + s.cx, y + s.cy}, icon);
}

void TskSkinForm::SetShowIcon(bool value) {
  showIcon_ = value;
  if (!IsLoading() && !IsDesigning()) RequestFramePaint();
}

void TskSkinForm::SetLogoBitMap(const TBitmap& bitmap) {
  logo_.Assign(bitmap);
  if (!IsLoading() && !IsDesigning()) form_->Invalidate();
}

// ---------------------------------------------------------------------------------------------
// State

bool TskSkinForm::BorderStyleNone() const { return form_->BorderStyle() == TFormBorderStyle::bsNone; }

bool TskSkinForm::Sizeable() const {
  return form_->BorderStyle() == TFormBorderStyle::bsSizeable || form_->BorderStyle() == TFormBorderStyle::bsSizeToolWin;
}

int TskSkinForm::DefCaptionHeight() const {
  const TFormBorderStyle s = form_->BorderStyle();
  return s == TFormBorderStyle::bsToolWindow || s == TFormBorderStyle::bsSizeToolWin ? 15 : 19;
}

int TskSkinForm::DefButtonSize() const {
  const TFormBorderStyle s = form_->BorderStyle();
  return s == TFormBorderStyle::bsToolWindow || s == TFormBorderStyle::bsSizeToolWin ? 13 : 17;
}

bool TskSkinForm::IsFormActive() const { return ActiveLook >= 0 ? ActiveLook == 1 : form_->WindowActive(); }

std::string TskSkinForm::CaptionText() const { return form_->Caption(); }

TskActiveSkinObject* TskSkinForm::FindObject(const std::string& idName) const {
  for (const auto& o : objects_)
    if (o->IDName == idName) return o.get();
  return nullptr;
}

TPoint TskSkinForm::ScreenToFrame(TPoint p) const {
  const TRect w = form_->WindowRect();
  return {p.X - w.Left, p.Y - w.Top};
}

int TskSkinForm::MinFrameWidth() const {
  if (skinned_) {
    const int pw = skinData_->Picture->Width();
    return MinWidth > pw && state_ != TskFrameState::Minimized ? MinWidth : pw;
  }
  return MinWidth > 0 ? MinWidth : 120;
}

int TskSkinForm::MinFrameHeight() const {
  const int h = skinned_ ? skinData_->Picture->Height() - skinData_->ClRect.Height() : DefCaptionHeight() + 6;
  return h < MinHeight && !rolledUp_ && state_ != TskFrameState::Minimized ? MinHeight : h;
}

int TskSkinForm::MaxFrameWidth() const {
  const int w = ScreenWorkRect(*form_, !MaximizeOnFullScreen).Width();
  return MaxWidth != 0 && MaxWidth < w ? MaxWidth : w;
}

int TskSkinForm::MaxFrameHeight() const {
  const int h = ScreenWorkRect(*form_, !MaximizeOnFullScreen).Height();
  return MaxHeight != 0 && MaxHeight < h ? MaxHeight : h;
}

void TskSkinForm::RequestFramePaint() { form_->Perform(WM_NCPAINT, 0, 0); }

void TskSkinForm::HideObjectHint() {
  if (ShowObjectHint && skinHint_) skinHint_->HideHint();
}

// ---------------------------------------------------------------------------------------------
// Geometry, region, size

void TskSkinForm::ComputeFrameGeometry() {
  if (frameWidth_ == 0) frameWidth_ = form_->Width();
  if (frameHeight_ == 0) frameHeight_ = form_->Height();
  if (!skinData_ || skinData_->IsEmpty) {
    // The default frame's client rectangle, so both modes can be asked the same way.
    geometry_.ClRect = {3, DefCaptionHeight() + 3, frameWidth_ - 3, frameHeight_ - 3};
    return;
  }
  const TskSkinData& d = *skinData_;
  const int pw = d.Picture->Width(), ph = d.Picture->Height();
  const int dw = frameWidth_ - pw, dh = frameHeight_ - ph;
  TskFrameGeometry& g = geometry_;
  g.LT = d.LTPoint;
  g.RT = {d.RTPoint.X + dw, d.RTPoint.Y};
  g.LB = {d.LBPoint.X, d.LBPoint.Y + dh};
  g.RB = {d.RBPoint.X + dw, d.RBPoint.Y + dh};
  g.ClRect = {d.ClRect.Left, d.ClRect.Top, d.ClRect.Right + dw, d.ClRect.Bottom + dh};
  g.CaptionRect = d.CaptionRect;
  if (!g.CaptionRect.IsEmpty()) g.CaptionRect.Right += dw;
  g.ButtonsRect = d.ButtonsRect;
  if (!g.ButtonsRect.IsEmpty() && g.ButtonsRect.Left > pw / 2) g.ButtonsRect = g.ButtonsRect.Offset(dw, 0);
  g.ButtonsOffset = d.ButtonsOffset;
  g.ButtonsInLeft = d.ButtonsInLeft;
  g.MaskRectArea = {d.MaskRectArea.Left, d.MaskRectArea.Top, d.MaskRectArea.Right + dw, d.MaskRectArea.Bottom + dh};
  g.HitLT = d.HitTestLTPoint;
  g.HitRT = {d.HitTestRTPoint.X + dw, d.HitTestRTPoint.Y};
  g.HitLB = {d.HitTestLBPoint.X, d.HitTestLBPoint.Y + dh};
  g.HitRB = {d.HitTestRBPoint.X + dw, d.HitTestRBPoint.Y + dh};
}

void TskSkinForm::RebuildFrame(bool arrange) {
  if (IsDesigning() || !skinned_) return;
  ComputeFrameGeometry();
  if (arrange) ArrangeObjects();
  UpdateWindowRegion(true);
  if (!regionSet_) RequestFramePaint();
}

void TskSkinForm::UpdateWindowRegion(bool resize) {
  auto remove = [&] {
    if (regionSet_) form_->SetWindowRegion(nullptr);
    regionSet_ = false;
  };
  if (BorderStyleNone()) {
    remove();
    return;
  }
  if (!skinData_ || skinData_->IsEmpty || !skinData_->Mask || skinData_->Mask->Empty()) {
    remove();
    for (TBitmap* b : {&maskBorders_.Top, &maskBorders_.Bottom, &maskBorders_.Left, &maskBorders_.Right}) b->Clear();
    return;
  }
  TBitmap& mask = *skinData_->Mask;
  std::vector<TRect> rects;
  if (resize) {
    const TskSkinGeometry g = SkinGeometryOf(*skinData_);
    const TskGrownGeometry n = GrowGeometry(g, frameWidth_, frameHeight_);
    const TRect& area = geometry_.MaskRectArea;
    BuildMaskBorderBitmaps(mask, g, skinData_->MaskRectArea, n, area, maskBorders_);
    if (!area.IsEmpty()) rects.push_back(area);
    auto add = [&](const TBitmap& b, int ox, int oy) {
      if (b.Empty()) return;
      const TskMaskRuns runs = MaskRunRects(b, ox, oy);
      rects.insert(rects.end(), runs.Rects.begin(), runs.Rects.end());
    };
    add(maskBorders_.Top, 0, 0);
    add(maskBorders_.Bottom, 0, area.Bottom);
    add(maskBorders_.Left, 0, area.Top);
    add(maskBorders_.Right, area.Right, area.Top);
  } else {
    rects = MaskRunRects(mask, 0, 0).Rects;
  }
  const TRegion region = TRegion::FromRects(rects);
  form_->SetWindowRegion(&region);
  regionSet_ = true;
}

void TskSkinForm::NudgeWidth() {
  const int w = form_->Width();
  if (w - 1 < MinFrameWidth()) {
    form_->SetWidth(w + 1);
  } else {
    form_->SetWidth(w - 1);
  }
  form_->SetWidth(w);
}

void TskSkinForm::ApplySkinData() {
  activeObject_ = previousActiveObject_ = capturedObject_ = -1;
  skinned_ = skinData_ && !skinData_->IsEmpty && skinData_->Picture && !skinData_->Picture->Empty();
  if (skinned_) {
    BuildSkinObjects();
    ApplyBorderIcons();
  } else {
    objects_.clear();
    UpdateWindowRegion(false);
  }
  applyingSkin_ = true;
  struct Clear { bool& flag; ~Clear() { flag = false; } } clear{applyingSkin_};
  const int minW = MinFrameWidth(), minH = MinFrameHeight();
  const int w = form_->Width(), h = form_->Height();
  if (w < minW && h < minH) form_->SetBounds(form_->Left(), form_->Top(), minW, minH);
  else if (h < minH) form_->SetHeight(minH);
  else if (w < minW) form_->SetWidth(minW);
  else NudgeWidth();
  if (rolledUp_ || state_ == TskFrameState::Minimized) {
    if (form_->Height() != MinFrameHeight()) form_->SetHeight(MinFrameHeight());
  }
  if (state_ == TskFrameState::Minimized && form_->Width() != MinFrameWidth()) form_->SetWidth(MinFrameWidth());
  frameWidth_ = form_->Width();
  frameHeight_ = form_->Height();
  // The non-client size depends on the mode and the skin.
  form_->RecalcNonClient();
  if (skinned_) RebuildFrame(true);
  form_->Invalidate();
  UpdateCaptionActivity(true);
  if (!mouseTimer_) {
    form_->SetTimer(kMouseTimer, 50);
    mouseTimer_ = true;
  }
  if (OnChangeSkinData) OnChangeSkinData(this);
  applyingSkin_ = false;
  if (ClientWidth > 0 || ClientHeight > 0) {
    const TRect c = form_->ClientRect();
    form_->SetClientSize(ClientWidth > 0 ? ClientWidth : c.Width(), ClientHeight > 0 ? ClientHeight : c.Height());
  }
}

void TskSkinForm::UpdateCaptionActivity(bool repaint) {
  const bool active = IsFormActive();
  for (auto& o : objects_) {
    if (!IsCaption(*o) || o->Active == active) continue;
    o->Active = active;
    if (repaint) {
      RequestFramePaint();
      if (o->Morphing) StartMorphTimer();
    } else if (o->Morphing) {
      o->MorphFactor = active ? 1 : 0;
    }
    break;
  }
  if (active) {
    if (OnActivate) OnActivate(this);
  } else if (OnDeActivate) {
    OnDeActivate(this);
  }
}

void TskSkinForm::ResetObjectStates() {
  // Nothing is under the pointer any more: the next hover over any object, the one that was
  // active included, enters it again (a button left inactive would ignore its next click).
  activeObject_ = -1;
  for (auto& o : objects_) {
    if (auto* a = dynamic_cast<TskSkinAnimateObject*>(o.get())) {
      a->MouseIn = false;
      a->Active = false;
      a->FrameNumber = 1;
    } else if (!IsCaption(*o)) {
      o->Active = false;
      o->MouseIn = false;
      o->MorphFactor = 0;
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Painting

void TskSkinForm::PaintSkinFrame(TCanvas& canvas) {
  if (frameWidth_ == 0 || frameHeight_ == 0) {
    frameWidth_ = form_->Width();
    frameHeight_ = form_->Height();
  }
  if (frameWidth_ < MinFrameWidth() || frameHeight_ < MinFrameHeight()) return;
  ComputeFrameGeometry();
  ArrangeObjects();
  const TskSkinData& d = *skinData_;
  const bool active = IsFormActive();
  TBitmap& source = active || !d.InActivePicture || d.InActivePicture->Empty() ? *d.Picture : *d.InActivePicture;
  TskBorderBitmaps b;
  const TskSkinGeometry g = SkinGeometryOf(d);
  BuildBorderBitmaps(source, g, GrowGeometry(g, frameWidth_, frameHeight_), b);
  const TRect& cl = geometry_.ClRect;
  for (auto& o : objects_) {
    if (!o->Visible) continue;
    if (o->ObjectRect.Bottom > cl.Top) {
      const TRect saved = o->ObjectRect;
      o->ObjectRect = saved.Offset(0, -cl.Bottom);
      o->Draw(b.Bottom.Canvas(), false);
      o->ObjectRect = saved;
    } else {
      o->Draw(b.Top.Canvas(), false);
    }
  }
  if (cl.Height() > 0) canvas.ExcludeClipRect(cl);
  const int topH = b.Top.Height();
  auto put = [&](TBitmap& bitmap, int x, int y) {
    if (bitmap.Empty()) return;
    if (active || !d.AutoRenderingInActiveImage) {
      canvas.Draw(x, y, bitmap);
      return;
    }
    TskEffectBmp e(bitmap);
    e.ApplyInactiveEffect(d.InActiveEffect);
    e.Draw(canvas, x, y);
  };
  put(b.Top, 0, 0);
  put(b.Left, 0, topH);
  put(b.Right, frameWidth_ - b.Right.Width(), topH);
  put(b.Bottom, 0, frameHeight_ - b.Bottom.Height());
}

void TskSkinForm::PaintClientBackground(TCanvas& canvas) {
  const TRect client = form_->ClientRect();
  const int cw = client.Width(), ch = client.Height();
  auto tile = [&](TBitmap& picture, const TRect& src) {
    const int pw = src.Width(), ph = src.Height();
    if (cw <= 0 || ch <= 0 || pw <= 0 || ph <= 0) return;
    for (int i = 0; i <= cw / pw; ++i)
      for (int j = 0; j <= ch / ph; ++j) canvas.CopyRect(Bounds(i * pw, j * ph, pw, ph), picture.Canvas(), src);
  };
  canvas.Brush().Style = TBrushStyle::bsSolid;
  canvas.Brush().Color = clBtnFace;
  if (skinned_ && skinData_->BGPictureIndex != -1) {
    if (TBitmap* p = skinData_->ActivePicture(skinData_->BGPictureIndex)) tile(*p, {0, 0, p->Width(), p->Height()});
    else canvas.FillRect(client);
  } else if (skinned_) {
    if (skinData_->ClRect.IsEmpty()) {
      canvas.FillRect(client);
      return;
    }
    tile(*skinData_->Picture, skinData_->ClRect);
  } else {
    canvas.FillRect(client);
  }
  if (logo_.Empty()) return;
  const int x = std::max(0, cw / 2 - logo_.Width() / 2), y = std::max(0, ch / 2 - logo_.Height() / 2);
  if (LogoBitMapTransparent) {
    canvas.CopyTransparent(Bounds(x, y, logo_.Width(), logo_.Height()), logo_, {0, 0, logo_.Width(), logo_.Height()},
                           logo_.Canvas().Pixel(0, logo_.Height() - 1));
  } else {
    canvas.Draw(x, y, logo_);
  }
}

// ---------------------------------------------------------------------------------------------
// Hit testing

int TskSkinForm::SkinHitTest(TPoint p) {
  TRect caption;
  for (auto& o : objects_)
    if (IsCaption(*o)) { caption = o->ObjectRect; break; }
  const TskFrameGeometry& g = geometry_;
  if (rolledUp_ || state_ == TskFrameState::Minimized) return PointIn(caption, p) ? HTCAPTION : HTOBJECT;
  if (activeObject_ >= 0 && !PointIn(caption, p) && !PointIn(g.ClRect, p) && !inMoveOrSize_) return HTOBJECT;
  if (state_ != TskFrameState::Maximized && Sizeable()) {
    const int b = skinData_->BorderW;
    const TPoint probes[4] = {{p.X - b, p.Y}, {p.X, p.Y - b}, {p.X + b, p.Y}, {p.X, p.Y + b}};
    bool edge = false;
    const bool masked = skinData_->Mask && !skinData_->Mask->Empty();
    if (!masked) {
      const TRect all(0, 0, frameWidth_, frameHeight_);
      for (const TPoint& q : probes) edge = edge || !PointIn(all, q);
    } else if (!PointIn(g.MaskRectArea, p)) {
      for (const TPoint& q : probes) edge = edge || !MaskPixelInside(q);
    }
    if (!edge) {
      if (PointIn(g.ClRect, p)) return HTCLIENT;
      return PointIn(caption, p) ? HTCAPTION : HTOBJECT;
    }
    if (p.X <= g.HitLT.X && p.Y <= g.HitLT.Y) return HTTOPLEFT;
    if (p.X >= g.HitRT.X && p.Y <= g.HitRT.Y) return HTTOPRIGHT;
    if (p.X <= g.HitLB.X && p.Y >= g.HitLB.Y) return HTBOTTOMLEFT;
    if (p.X >= g.HitRB.X && p.Y >= g.HitRB.Y) return HTBOTTOMRIGHT;
    if (PointIn({g.HitLT.X, 0, g.HitRT.X, g.ClRect.Top}, p)) return HTTOP;
    if (PointIn({g.HitLB.X, g.ClRect.Bottom, g.HitRB.X, frameHeight_}, p)) return HTBOTTOM;
    if (PointIn({0, g.HitLT.Y, g.ClRect.Left, g.HitLB.Y}, p)) return HTLEFT;
    if (PointIn({g.ClRect.Right, g.HitRT.Y, frameWidth_, g.HitRB.Y}, p)) return HTRIGHT;
  }
  if (PointIn(g.ClRect, p)) return HTCLIENT;
  return PointIn(caption, p) ? HTCAPTION : HTOBJECT;
}

bool TskSkinForm::MaskPixelInside(TPoint p) const {
  const TRect& a = geometry_.MaskRectArea;
  if (PointIn(a, p)) return true;
  if (p.Y < a.Top) return BlackAt(maskBorders_.Top, p.X, p.Y);
  if (p.Y >= a.Bottom) return BlackAt(maskBorders_.Bottom, p.X, p.Y - a.Bottom);
  if (p.X < a.Left) return BlackAt(maskBorders_.Left, p.X, p.Y - a.Top);
  return BlackAt(maskBorders_.Right, p.X - a.Right, p.Y - a.Top);
}

// ---------------------------------------------------------------------------------------------
// The window procedure

bool TskSkinForm::MenuClosingMessage(unsigned msg) const {
  switch (msg) {
    case WM_MOVE: case WM_SIZE: case WM_ACTIVATE: case WM_KILLFOCUS: case WM_CANCELMODE: case WM_MOUSEACTIVATE:
    case WM_NCLBUTTONDOWN: case WM_NCRBUTTONDOWN: case WM_NCMBUTTONDOWN: case WM_LBUTTONDOWN: case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: case WM_PARENTNOTIFY:
      return true;
    default:
      return false;
  }
}

void TskSkinForm::FrameWindowProc(TMessage& m) {
  if (MenuClosingMessage(m.Msg)) {
    HideObjectHint();
    if (menuHost_ && (menuHost_->SkinMenu().Visible() || menuHost_->InMenu())) menuHost_->CloseMenus();
  }
  if (FirstDispatch(m)) return;
  previous_(m);
  SecondDispatch(m);
}

void TskSkinForm::AfterSize() {
  frameWidth_ = form_->Width();
  frameHeight_ = form_->Height();
  if (!skinned_) {
    RequestFramePaint();
  } else if (frameWidth_ >= MinFrameWidth() && frameHeight_ >= MinFrameHeight()) {
    RebuildFrame(true);
  }
  if (AlphaBlend && AlphaBlendValue != 255 && LayeringAvailable()) {
    RequestFramePaint();
    form_->Invalidate();
  }
  if (!logo_.Empty()) form_->Invalidate();
}

bool TskSkinForm::FirstDispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_DESTROY:
      StopTimers();
      return false;
    case WM_SIZE:
      if (inMoveOrSize_ && fullDrag_) {
        if (!logo_.Empty()) form_->Invalidate();
        return false;
      }
      previous_(m);
      AfterSize();
      return true;
    case WM_ACTIVATE:
      previous_(m);
      RequestFramePaint();
      // The window manager activates a window after the press that clicked it has arrived: a
      // button pressed on an inactive window keeps its state until its release.
      if (capturedObject_ < 0) ResetObjectStates();
      UpdateCaptionActivity(true);
      return true;
    case WM_SETTEXT:
      previous_(m);
      if (!BorderStyleNone()) RequestFramePaint();
      return true;
    case WM_ERASEBKGND:
      if (auto* canvas = reinterpret_cast<TCanvas*>(m.WParam)) PaintClientBackground(*canvas);
      m.Result = 1;
      return true;
    case WM_SHOWWINDOW:
      if (m.WParam) {
        StartFadeIn();
        NudgeWidth();
      } else if (AlphaBlend && LayeringAvailable()) {
        form_->SetWindowLong(GWL_EXSTYLE, form_->GetWindowLong(GWL_EXSTYLE) & ~WS_EX_LAYERED);
      }
      return false;
    case WM_SETCURSOR:
      if (UseFormCursorInNCArea) {
        const int hit = LoWordSigned(m.LParam);
        if (hit < HTLEFT || hit > HTBOTTOMRIGHT) m.LParam = MakeLParam(HTCLIENT, HiWordSigned(m.LParam));
      }
      return false;
    case WM_GETMINMAXINFO:
      if (auto* info = reinterpret_cast<TMinMaxInfo*>(m.LParam)) {
        info->MinTrackSizeX = MinFrameWidth();
        info->MinTrackSizeY = MinFrameHeight();
        info->MaxTrackSizeX = MaxFrameWidth();
        info->MaxTrackSizeY = MaxFrameHeight();
      }
      return false;
    case WM_NCCALCSIZE: {
      auto* r = reinterpret_cast<TRect*>(m.LParam);
      if (!r || BorderStyleNone()) return true;
      if (skinned_) {
        ComputeFrameGeometry();
        const TRect& cl = skinData_->ClRect;
        r->Left += cl.Left;
        r->Top += cl.Top;
        r->Right -= skinData_->Picture->Width() - cl.Right;
        r->Bottom -= skinData_->Picture->Height() - cl.Bottom;
      } else {
        r->Left += 3;
        r->Top += DefCaptionHeight() + 3;
        r->Right -= 3;
        r->Bottom -= 3;
      }
      r->Right = std::max(r->Right, r->Left);
      r->Bottom = std::max(r->Bottom, r->Top);
      return true;
    }
    case WM_NCHITTEST: {
      const TPoint p = ScreenToFrame({LoWordSigned(m.LParam), HiWordSigned(m.LParam)});
      if (frameWidth_ == 0) ComputeFrameGeometry();
      m.Result = skinned_ ? SkinHitTest(p) : DefaultHitTest(p);
      if (m.Result == HTOBJECT && !mouseTimer_) {
        UpdateHover(p.X, p.Y, true);
        form_->SetTimer(kMouseTimer, 50);
        mouseTimer_ = true;
      }
      return true;
    }
    case WM_NCPAINT:
      if (m.WParam == 0) {
        form_->InvalidateNonClient();
        return true;
      }
      if (BorderStyleNone()) return true;
      if (skinned_) PaintSkinFrame(*reinterpret_cast<TCanvas*>(m.WParam));
      else PaintDefaultFrame(*reinterpret_cast<TCanvas*>(m.WParam));
      return true;
    case WM_NCACTIVATE:
      m.Result = 1;
      if (BorderStyleNone()) {
        UpdateCaptionActivity(false);
      } else {
        RequestFramePaint();
        UpdateCaptionActivity(true);
      }
      return true;
    case WM_SYSCOMMAND:
      // Alt, F10 and Alt+Space open no menu of the platform's; they close a menu that shows (its
      // levels go with the menu mode, so no menu is left on screen that takes no keys).
      if ((m.WParam & 0xFFF0) != SC_KEYMENU) return false;
      if (menuHost_ && (menuHost_->SkinMenu().Visible() || menuHost_->InMenu())) menuHost_->CloseMenus();
      return true;
    case WM_TIMER:
      switch (m.WParam) {
        case kMouseTimer: MouseTimerTick(); return true;
        case kMorphTimer: MorphTimerTick(); return true;
        case kAnimationTimer: AnimationTimerTick(); return true;
        case 1: FinishFadeIn(); return false;
        default: return false;
      }
    case WM_SIZING:
      if (inMoveOrSize_ && fullDrag_) {
        previous_(m);
        if (auto* r = reinterpret_cast<TRect*>(m.LParam)) {
          frameWidth_ = r->Width();
          frameHeight_ = r->Height();
        }
        if (skinned_ && frameWidth_ >= MinFrameWidth() && frameHeight_ >= MinFrameHeight()) RebuildFrame(true);
        return true;
      }
      return false;
    case WM_MOVING:
      if (auto* r = reinterpret_cast<TRect*>(m.LParam)) {
        if (state_ == TskFrameState::Maximized) {
          *r = form_->BoundsRect();
        } else if (Magnetic) {
          int left = r->Left, top = r->Top;
          MagneticSnap(left, top, r->Width(), r->Height());
          *r = Bounds(left, top, r->Width(), r->Height());
        }
      }
      return false;
    case WM_ENTERSIZEMOVE:
      ResetObjectStates();
      StopTimers();
      activeObject_ = capturedObject_ = -1;
      inMoveOrSize_ = true;
      fullDrag_ = true;  // the window's contents always follow the pointer here
      return false;
    case WM_EXITSIZEMOVE:
      if (mouseTimer_) form_->KillTimer(kMouseTimer);
      mouseTimer_ = false;
      activeObject_ = previousActiveObject_ = capturedObject_ = -1;
      if (skinned_) RequestFramePaint();
      return false;
    case MsgBeforeSkinChange:
      if (m.WParam == reinterpret_cast<WPARAM>(skinData_) && skinData_) {
        skinned_ = false;
        StopTimers();
        objects_.clear();
      }
      SkinChangeFanOut(m.Msg, m.WParam);
      return false;
    case MsgSkinChange:
      if (m.WParam == reinterpret_cast<WPARAM>(skinData_) && skinData_) ApplySkinData();
      SkinChangeFanOut(m.Msg, m.WParam);
      return false;
    case MsgSkinStringsChange:
      ApplyDefaultHints();
      return false;
    case MsgSkinMenuClosed:
      if (menuHost_ && menuHost_->InMenu()) menuHost_->ExitMenuMode();
      RaiseMenuButton();
      return false;
    default:
      return false;
  }
}

void TskSkinForm::SecondDispatch(TMessage& m) {
  const bool nc = m.Msg >= WM_NCMOUSEMOVE && m.Msg <= WM_NCMBUTTONUP;
  const TPoint p = nc ? ScreenToFrame({LoWordSigned(m.LParam), HiWordSigned(m.LParam)}) : TPoint{-1, -1};
  const int hit = static_cast<int>(m.WParam);
  switch (m.Msg) {
    case WM_NCMOUSEMOVE: {
      const int i = capturedObject_ >= 0 ? capturedObject_ : activeObject_;
      if (i >= 0 && i < static_cast<int>(objects_.size())) objects_[i]->MouseMove(p.X, p.Y);
      break;
    }
    case WM_NCLBUTTONDOWN:
      if (inMoveOrSize_) {
        inMoveOrSize_ = false;
        if (!mouseTimer_) {
          form_->SetTimer(kMouseTimer, 50);
          mouseTimer_ = true;
        }
        break;
      }
      UpdateHover(p.X, p.Y, true, true);
      PressObject(TMouseButton::mbLeft, p.X, p.Y);
      if (hit == HTCAPTION) capturedObject_ = -1;
      break;
    case WM_NCLBUTTONUP: ReleaseObject(TMouseButton::mbLeft, p.X, p.Y); break;
    case WM_NCLBUTTONDBLCLK:
      UpdateHover(p.X, p.Y, true, true);
      PressObject(TMouseButton::mbLeft, p.X, p.Y);
      if (activeObject_ >= 0 && activeObject_ < static_cast<int>(objects_.size())) objects_[activeObject_]->DblClick();
      if (hit == HTCAPTION) {
        CaptionDoubleClick();
        capturedObject_ = -1;
      }
      break;
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONDBLCLK:
      UpdateHover(p.X, p.Y, true, true);
      PressObject(TMouseButton::mbRight, p.X, p.Y);
      if (hit == HTCAPTION) {
        capturedObject_ = -1;
        if (m.Msg == WM_NCRBUTTONDOWN) PopupSystemMenu(LoWordSigned(m.LParam), HiWordSigned(m.LParam));
      }
      break;
    case WM_NCRBUTTONUP: ReleaseObject(TMouseButton::mbRight, p.X, p.Y); break;
    case WM_LBUTTONUP: ReleaseObject(TMouseButton::mbLeft, -1, -1); break;
    case WM_RBUTTONUP: ReleaseObject(TMouseButton::mbRight, -1, -1); break;
    default: break;
  }
}

void TskSkinForm::SkinChangeFanOut(unsigned msg, WPARAM skin) {
  for (int i = 0; i < form_->ComponentCount(); ++i) {
    auto* c = dynamic_cast<TskSkinComponent*>(form_->Components(i));
    if (!c) continue;
    if (msg == MsgBeforeSkinChange) c->BeforeChangeSkinData();
    else c->ChangeSkinData();
  }
  (void)skin;
}

// ---------------------------------------------------------------------------------------------
// Timers

void TskSkinForm::StopTimers() {
  if (mouseTimer_) form_->KillTimer(kMouseTimer);
  if (morphTimer_) form_->KillTimer(kMorphTimer);
  if (animationTimer_) form_->KillTimer(kAnimationTimer);
  mouseTimer_ = morphTimer_ = animationTimer_ = false;
}

void TskSkinForm::StartMorphTimer() {
  if (morphTimer_) return;
  form_->SetTimer(kMorphTimer, 20);
  morphTimer_ = true;
}

void TskSkinForm::StartAnimationTimer() {
  if (animationTimer_) return;
  form_->SetTimer(kAnimationTimer, 25);
  animationTimer_ = true;
}

void TskSkinForm::MouseTimerTick() {
  if (!IsFormActive()) return;
  if (inMoveOrSize_) {
    form_->KillTimer(kMouseTimer);
    mouseTimer_ = false;
    return;
  }
  const TPoint p = ScreenToFrame(GetCursorPos());
  if (!PointIn(geometry_.ClRect, p)) UpdateHover(p.X, p.Y, true);
  else if (activeObject_ >= 0) UpdateHover(-1, -1, true);
}

void TskSkinForm::MorphTimerTick() {
  bool stepped = false;
  for (auto& o : objects_) {
    if (!o->Morphing || !o->NeedsMorphStep()) continue;
    o->MorphStep();
    DrawObjectNow(*o);
    stepped = true;
  }
  if (!stepped) {
    form_->KillTimer(kMorphTimer);
    morphTimer_ = false;
  }
}

void TskSkinForm::AnimationTimerTick() {
  bool any = false;
  for (auto& o : objects_)
    if (auto* a = dynamic_cast<TskSkinAnimateObject*>(o.get()); a && a->Active) any = a->AnimationTick() || any;
  if (!any) {
    form_->KillTimer(kAnimationTimer);
    animationTimer_ = false;
  }
}

// ---------------------------------------------------------------------------------------------
// Objects

void TskSkinForm::BuildSkinObjects() {
  objects_.clear();
  if (!skinData_) return;
  for (const auto& member : skinData_->ObjectList) {
    TskDataSkinObject* m = member.get();
    std::unique_ptr<TskActiveSkinObject> o;
    // Menu items, menu-bar items and menu-bar buttons belong to the menus.
    if (dynamic_cast<TskDataSkinMenuItem*>(m) || dynamic_cast<TskDataSkinMainMenuItem*>(m) ||
        dynamic_cast<TskDataSkinMainMenuBarButton*>(m))
      continue;
    if (dynamic_cast<TskDataSkinStdButton*>(m)) o = std::make_unique<TskSkinStdButtonObject>(this, skinData_, m);
    else if (dynamic_cast<TskDataSkinButton*>(m)) o = std::make_unique<TskSkinButtonObject>(this, skinData_, m);
    else if (dynamic_cast<TskDataSkinCaption*>(m)) o = std::make_unique<TskSkinCaptionObject>(this, skinData_, m);
    else if (dynamic_cast<TskDataSkinAnimate*>(m)) o = std::make_unique<TskSkinAnimateObject>(this, skinData_, m);
    else if (dynamic_cast<TskDataUserObject*>(m)) o = std::make_unique<TskUserObject>(this, skinData_, m);
    if (o) objects_.push_back(std::move(o));
  }
}

void TskSkinForm::BuildDefaultButtons() {
  objects_.clear();
  activeObject_ = previousActiveObject_ = capturedObject_ = -1;
  const std::pair<const char*, SkinCommand> buttons[] = {
      {"closebutton", SkinCommand::cmclose},     {"maxbutton", SkinCommand::cmmaximize},
      {"minbutton", SkinCommand::cmminimize},    {"rollupbutton", SkinCommand::cmrollup},
      {"sysmenubutton", SkinCommand::cmsysmenu}, {"traybutton", SkinCommand::cmminimizetotray}};
  for (const auto& [name, command] : buttons) {
    auto b = std::make_unique<TskSkinStdButtonObject>(this, nullptr, nullptr, command);
    b->IDName = name;
    objects_.push_back(std::move(b));
  }
  ApplyBorderIcons();
}

void TskSkinForm::ApplyBorderIcons() {
  for (auto& o : objects_) {
    SkinCommand command;
    if (!CommandOf(*o, command)) continue;
    // Hidden caption buttons take every animation with them; otherwise only an animation that
    // works as a button follows the border icons.
    if (hideCaptionButtons_) {
      o->Enabled = false;
      o->Visible = !o->InPicture;
      continue;
    }
    if (auto* a = dynamic_cast<TskSkinAnimateObject*>(o.get()); a && !a->ButtonStyle) continue;
    if (command == SkinCommand::cmdefault) {
      bool visible = false;
      if (OnActivateCustomObject) OnActivateCustomObject(o->IDName, visible);
      o->Visible = visible;
      continue;
    }
    TskBorderIcon needed;
    switch (command) {
      case SkinCommand::cmminimizetotray: needed = TskBorderIcon::biMinimizeToTray; break;
      case SkinCommand::cmrollup: needed = TskBorderIcon::biRollUp; break;
      case SkinCommand::cmmaximize: needed = TskBorderIcon::biMaximize; break;
      case SkinCommand::cmminimize: needed = TskBorderIcon::biMinimize; break;
      case SkinCommand::cmsysmenu: needed = TskBorderIcon::biSystemMenu; break;
      default: continue;  // close is always there
    }
    if (!(borderIcons_ & BorderIconBit(needed))) {
      o->Enabled = false;
      o->Visible = !o->InPicture;
    }
  }
  ApplyDefaultHints();
}

namespace {
// A menu caption as plain text: a trailing "(&X)" goes, and so does every other "&" mark.
std::string WithoutAccelerator(const std::string& caption) {
  std::string text = caption;
  const size_t open = text.rfind("(&");
  if (open != std::string::npos && text.size() == open + 4 && text.back() == ')') text.erase(open);
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size() && text[i + 1] != '&') continue;
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    out += text[i];
  }
  return out;
}
}  // namespace

void TskSkinForm::ApplyDefaultHints() {
  if (!UseDefaultObjectHint || !skinData_) return;
  TskResourceStrData* strings = skinData_->ResourceStrData();
  for (auto& o : objects_) {
    SkinCommand command;
    if (!CommandOf(*o, command)) continue;
    const char* name = nullptr;
    const char* text = nullptr;
    switch (command) {
      case SkinCommand::cmclose: name = "CLOSEBUTTON_HINT"; text = "关闭"; break;
      case SkinCommand::cmmaximize:
        // While maximised the button restores, and says so: the restore item's caption without
        // its accelerator ("还原(&R)" gives "还原").
        if (state_ == TskFrameState::Maximized) {
          o->Hint = WithoutAccelerator(strings ? strings->GetString("MI_RESTORECAPTION") : "还原(&R)");
          continue;
        }
        name = "MAXBUTTON_HINT";
        text = "最大化";
        break;
      case SkinCommand::cmminimize: name = "MINBUTTON_HINT"; text = "最小化"; break;
      case SkinCommand::cmsysmenu: name = "MENUBUTTON_HINT"; text = "系统菜单"; break;
      case SkinCommand::cmrollup: name = "ROLLUPBUTTON_HINT"; text = "向上卷拢"; break;
      case SkinCommand::cmminimizetotray: name = "TRAYBUTTON_HINT"; text = "最小化到图标"; break;
      case SkinCommand::cmdefault: continue;
    }
    o->Hint = strings ? strings->GetString(name) : text;
  }
}

void TskSkinForm::ArrangeObjects() {
  if (!skinned_) return;
  const TskSkinData& d = *skinData_;
  const int pw = d.Picture->Width(), ph = d.Picture->Height();
  const int dx = geometry_.RB.X - d.RBPoint.X, dy = geometry_.RB.Y - d.RBPoint.Y;
  const TRect lt(0, 0, d.LTPoint.X, d.LTPoint.Y), rt(d.RTPoint.X, 0, pw, d.RTPoint.Y),
      lb(0, d.LBPoint.Y, d.LBPoint.X, ph), rb(d.RBPoint.X, d.RBPoint.Y, pw, ph);
  // A rectangle lies in an area when its top-left and bottom-right corners both do.
  auto in = [](const TRect& area, TPoint p) { return PointIn(area, p); };
  for (auto& o : objects_) {
    if (o->InPicture) continue;
    const TRect s = o->SkinRect;
    const TPoint tl{s.Left, s.Top}, br{s.Right, s.Bottom};
    TRect r = s;
    if (in(lt, tl) && in(lt, br)) {
    } else if (in(rt, tl) && in(rt, br)) {
      r = s.Offset(dx, 0);
    } else if (in(lb, tl) && in(lb, br)) {
      r = s.Offset(0, dy);
    } else if (in(rb, tl) && in(rb, br)) {
      r = s.Offset(dx, dy);
    } else if (in(lt, tl) && in(rb, br)) {
      r.Right += dx;
      r.Bottom += dy;
    } else if (in(lt, tl) && in(rt, br)) {
      r.Right += dx;
    } else if (in(lb, tl) && in(rb, br)) {
      r = s.Offset(0, dy);
      r.Right += dx;
    } else if (in(lt, tl) && in(lb, br)) {
      r.Bottom += dy;
    } else if (in(rt, tl) && in(rb, br)) {
      r = s.Offset(dx, 0);
      r.Bottom += dy;
    }
    o->ObjectRect = r;
  }

  const TRect row = !geometry_.ButtonsRect.IsEmpty() ? geometry_.ButtonsRect : geometry_.CaptionRect;
  if (row.IsEmpty()) return;
  TskActiveSkinObject* caption = nullptr;
  for (auto& o : objects_)
    if (IsCaption(*o)) { caption = o.get(); break; }
  const int top = row.Top, gap = geometry_.ButtonsOffset;
  auto sizeOf = [&](TskActiveSkinObject& o, SkinCommand c) {
    if (c == SkinCommand::cmsysmenu && showIcon_) return SmallIconSize();
    return TSize{o.SkinRect.Width(), o.SkinRect.Height()};
  };
  auto inRow = [&](SkinCommand wanted) -> TskActiveSkinObject* {
    for (auto& o : objects_) {
      SkinCommand c;
      if (o->Visible && o->InPicture && CommandOf(*o, c) && c == wanted) return o.get();
    }
    return nullptr;
  };
  std::vector<TskActiveSkinObject*> placed;
  for (SkinCommand c : {SkinCommand::cmclose, SkinCommand::cmmaximize, SkinCommand::cmminimize, SkinCommand::cmrollup,
                        SkinCommand::cmminimizetotray})
    if (TskActiveSkinObject* o = inRow(c)) placed.push_back(o);
  for (auto& o : objects_) {
    SkinCommand c;
    if (o->Visible && o->InPicture && CommandOf(*o, c) && c == SkinCommand::cmdefault) placed.push_back(o.get());
  }
  TskActiveSkinObject* sysmenu = inRow(SkinCommand::cmsysmenu);
  if (!geometry_.ButtonsInLeft) {
    int x = row.Right;
    for (TskActiveSkinObject* o : placed) {
      SkinCommand c;
      CommandOf(*o, c);
      const TSize s = sizeOf(*o, c);
      o->ObjectRect = {x - s.cx, top, x, top + s.cy};
      x -= s.cx + gap;
    }
    if (geometry_.ButtonsRect.IsEmpty() && caption) caption->ObjectRect.Right = x + gap;
    if (sysmenu) {
      const TSize s = sizeOf(*sysmenu, SkinCommand::cmsysmenu);
      const TRect& cr = geometry_.CaptionRect;
      const int sx = cr.Left, sy = cr.Top + cr.Height() / 2 - s.cy / 2;
      sysmenu->ObjectRect = {sx, sy, sx + s.cx, sy + s.cy};
      if (caption) caption->ObjectRect.Left = sysmenu->ObjectRect.Right;
    }
  } else {
    int x = row.Left;
    if (geometry_.ButtonsRect.IsEmpty() && sysmenu) placed.push_back(sysmenu);
    for (TskActiveSkinObject* o : placed) {
      SkinCommand c;
      CommandOf(*o, c);
      const TSize s = sizeOf(*o, c);
      o->ObjectRect = {x, top, x + s.cx, top + s.cy};
      x += s.cx + gap;
    }
    if (geometry_.ButtonsRect.IsEmpty() && caption) caption->ObjectRect.Left = x + gap;
  }
}

void TskSkinForm::UpdateHover(int x, int y, bool allow, bool press) {
  if (objects_.empty() || (!IsFormActive() && !press)) return;
  previousActiveObject_ = activeObject_;
  int found = -1;
  for (size_t i = 0; i < objects_.size(); ++i) {
    const auto& o = objects_[i];
    if (o->Enabled && o->Visible && PointIn(o->ObjectRect, {x, y})) {
      found = static_cast<int>(i);
      break;
    }
  }
  int active = allow ? found : -1;
  if (capturedObject_ >= 0 && capturedObject_ != active && active != -1) active = -1;
  activeObject_ = active;
  if (activeObject_ == previousActiveObject_) return;
  if (previousActiveObject_ >= 0 && previousActiveObject_ < static_cast<int>(objects_.size())) {
    TskActiveSkinObject& o = *objects_[previousActiveObject_];
    if (o.Enabled && o.Visible) {
      o.MouseLeave();
      if (ShowObjectHint && skinHint_ && !o.Hint.empty()) skinHint_->HideHint();
    }
  }
  if (activeObject_ >= 0) {
    TskActiveSkinObject& o = *objects_[activeObject_];
    if (o.Enabled && o.Visible) {
      o.MouseEnter();
      if (ShowObjectHint && skinHint_ && !o.Hint.empty()) skinHint_->ShowHintDelayed(o.Hint);
    }
  }
}

void TskSkinForm::PressObject(TMouseButton button, int x, int y) {
  if (activeObject_ < 0 || activeObject_ >= static_cast<int>(objects_.size())) return;
  TskActiveSkinObject& o = *objects_[activeObject_];
  if (!IsCaption(o)) form_->SetMouseCapture(true);
  capturedObject_ = activeObject_;
  o.MouseDown(x, y, button);
}

void TskSkinForm::ReleaseObject(TMouseButton button, int x, int y) {
  if (capturedObject_ < 0 || capturedObject_ >= static_cast<int>(objects_.size())) return;
  TskActiveSkinObject& o = *objects_[capturedObject_];
  // Forgotten first: the release may run a command that closes the window.
  capturedObject_ = -1;
  if (!IsCaption(o)) form_->SetMouseCapture(false);
  o.MouseUp(x, y, button);
}

void TskSkinForm::DrawObjectNow(TskActiveSkinObject&) {
  // The frame is painted off screen as a whole; the window shows the result at once.
  if (BorderStyleNone()) return;
  form_->InvalidateNonClient();
}

// ---------------------------------------------------------------------------------------------
// The default frame

void TskSkinForm::LayoutDefaultCaption() {
  if (objects_.empty()) return;
  if (frameWidth_ == 0) frameWidth_ = form_->Width();
  const int size = DefButtonSize();
  TRect cap(3, 3, frameWidth_ - 3, DefCaptionHeight());
  int x = frameWidth_ - 3;
  auto find = [&](SkinCommand wanted) -> TskActiveSkinObject* {
    for (auto& o : objects_) {
      SkinCommand c;
      if (o->Visible && CommandOf(*o, c) && c == wanted) return o.get();
    }
    return nullptr;
  };
  for (SkinCommand c : {SkinCommand::cmclose, SkinCommand::cmmaximize, SkinCommand::cmminimize, SkinCommand::cmrollup,
                        SkinCommand::cmminimizetotray}) {
    if (TskActiveSkinObject* o = find(c)) {
      o->ObjectRect = {x - size, 4, x, 4 + size};
      x -= size;
    }
  }
  cap.Right = x;
  x = cap.Left;
  if (TskActiveSkinObject* o = find(SkinCommand::cmsysmenu)) {
    const TSize s = showIcon_ ? SmallIconSize() : TSize{size, size};
    o->ObjectRect = {x, 4, x + s.cx, 4 + s.cy};
    cap.Left = x + s.cx;
  }
  geometry_.DefCaptionRect = cap;
}

void TskSkinForm::PaintDefaultFrame(TCanvas& canvas) {
  if (frameWidth_ == 0 || frameHeight_ == 0) {
    frameWidth_ = form_->Width();
    frameHeight_ = form_->Height();
  }
  if (objects_.empty()) BuildDefaultButtons();
  LayoutDefaultCaption();
  const int capH = DefCaptionHeight();
  const int bw = std::max(0, frameWidth_ - 6);
  TBitmap bar(bw, capH);
  TCanvas& c = bar.Canvas();
  c.Brush().Style = TBrushStyle::bsSolid;
  c.Brush().Color = clBtnFace;
  c.FillRect({0, 0, bw, capH});
  const TRect& cap = geometry_.DefCaptionRect;
  const int L = cap.Left - 3, R = bw - cap.Right;
  if (capH - 4 > 1) {
    for (int y = 2; y <= capH - 4; ++y) {
      c.Pen().Color = (y - 2) % 2 == 0 ? clBtnHighlight : clBtnShadow;
      c.MoveTo(L + 2, y);
      c.LineTo(cap.Right - 6, y);
    }
  }
  c.Font().Assign(IsFormActive() ? defCaptionFont_ : defInActiveCaptionFont_);
  if (skinData_ && skinData_->ResourceStrData()) c.Font().SetCharset(skinData_->ResourceStrData()->CharSet);
  const std::string caption = CaptionText();
  if (!caption.empty()) {
    const std::string text = FitTextWidth(c, caption, bw - L - R);
    const TSize size = c.TextExtent(text);
    const int x = L + (bw - L - R) / 2 - (size.cx + 5) / 2;
    const int y = capH / 2 - size.cy / 2;
    c.Brush().Color = clBtnFace;
    c.TextRect({x, 0, x + size.cx + 5, capH}, x + 3, y, text);
  }
  for (auto& o : objects_) {
    if (!o->Visible) continue;
    const TRect saved = o->ObjectRect;
    o->ObjectRect = saved.Offset(-3, -3);
    o->Draw(c, true);
    o->ObjectRect = saved;
  }
  canvas.ExcludeClipRect({3, capH + 3, frameWidth_ - 3, frameHeight_ - 3});
  canvas.Draw(3, 3, bar);
  TRect r(0, 0, frameWidth_, frameHeight_);
  canvas.Frame3D(r, cl3DLight, cl3DDkShadow, 1);
  canvas.Frame3D(r, clBtnHighlight, clBtnShadow, 1);
  canvas.Frame3D(r, clBtnFace, clBtnFace, 1);
}

int TskSkinForm::DefaultHitTest(TPoint p) {
  const int W = form_->Width(), H = form_->Height();
  if (state_ == TskFrameState::Normal && !rolledUp_ && Sizeable()) {
    if (activeObject_ >= 0) return HTOBJECT;
    if (p.X <= 2 && p.Y <= 2) return HTTOPLEFT;
    if (p.X >= W - 2 && p.Y <= 2) return HTTOPRIGHT;
    if (p.X <= 2 && p.Y >= H - 2) return HTBOTTOMLEFT;
    if (p.X >= W - 2 && p.Y >= H - 2) return HTBOTTOMRIGHT;
    if (p.X <= 2) return HTLEFT;
    if (p.Y <= 2) return HTTOP;
    if (p.X >= W - 2) return HTRIGHT;
    if (p.Y >= H - 2) return HTBOTTOM;
  }
  if (objects_.empty()) BuildDefaultButtons();
  LayoutDefaultCaption();
  if (PointIn(geometry_.DefCaptionRect, p)) return HTCAPTION;
  return PointIn({3, DefCaptionHeight() + 3, W - 3, H - 3}, p) ? HTCLIENT : HTOBJECT;
}

}  // namespace corvane
