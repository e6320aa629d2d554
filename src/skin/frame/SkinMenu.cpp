#include "skin/frame/SkinMenu.h"

#include <algorithm>
#include <cmath>

#include "platform/graphics/ImgList.h"
#include "skin/frame/EffectBmp.h"
#include "skin/frame/SkinDrawing.h"
#include "skin/package/SkinData.h"

namespace corvane {

namespace {

constexpr TColor kPlainActiveFill = 0xD2BDB6;  // RGB(182, 189, 210)
constexpr int kMarker = 10;                    // height of a scroll marker
constexpr int kMaxMenuWidth = 4096;            // widest menu when the screen's free part is not known

// Measures one line of text (an "&" marks the accelerator) in the canvas font.
TSize MeasureText(TCanvas& c, const std::string& text, int width = 0) {
  TRect r(0, 0, width, 0);
  c.DrawText(text, r, DT_CALCRECT | DT_SINGLELINE);
  return {r.Width(), r.Height()};
}

// The frame command a menu item stands for by its name, drawn as that command's caption glyph.
using TGlyphFn = void (*)(TCanvas&, int, int, TColor);
TGlyphFn FrameGlyphOf(const std::string& name) {
  if (name == "SKF_CLOSE" || name == "TRAY_SKF_CLOSE") return DrawCloseGlyph;
  if (name == "SKF_MINITEM") return DrawMinimizeGlyph;
  if (name == "SKF_MAXITEM") return DrawMaximizeGlyph;
  if (name == "SKF_RESTORE" || name == "TRAY_SKF_RESTORE") return DrawRestoreGlyph;
  if (name == "SKF_ROLLUP") return DrawRollUpGlyph;
  if (name == "SKF_MINTOTRAY") return DrawTrayGlyph;
  return nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TskSkinMenuItem

TskSkinMenuItem::TskSkinMenuItem(TskSkinPopupWindow* level, TMenuItem* item) : PopupWindow(level), MenuItem(item) {}

bool TskSkinMenuItem::HasSubItems() const {
  for (int i = 0; i < MenuItem->Count(); ++i)
    if (MenuItem->Items(i)->Visible) return true;
  return false;
}

bool TskSkinMenuItem::NeedsMorphStep() const {
  const TskDataSkinMenuItem* data = PopupWindow->ItemData();
  if (!PopupWindow->Skinned() || !data || !data->Morphing || IsSeparator()) return false;
  const double target = (Active || Down) ? 1.0 : 0.0;
  return MorphFactor != target;
}

void TskSkinMenuItem::Draw(TCanvas& canvas) {
  if (!Visible) return;
  const int w = ObjectRect.Width(), h = ObjectRect.Height();
  if (w <= 0 || h <= 0) return;
  TBitmap bitmap(w, h);
  const bool on = Active || Down;
  const double target = on ? 1.0 : 0.0;
  const TskDataSkinMenuItem* data = PopupWindow->ItemData();
  if (PopupWindow->Skinned() && data && data->Morphing && !IsSeparator() && MorphFactor > 0 && MorphFactor < 1 &&
      MorphFactor != target) {
    // Cross-fade between the normal and the active picture at the item's factor.
    TBitmap normal, active;
    DrawState(normal, false);
    DrawState(active, true);
    TskEffectBmp a(normal), b(active);
    a.Morph(data->MorphKind, b, MorphFactor);
    a.CopyTo(bitmap);
  } else {
    DrawState(bitmap, on);
  }
  canvas.CopyRect(ObjectRect, bitmap.Canvas(), TRect(0, 0, w, h));
}

void TskSkinMenuItem::DrawState(TBitmap& out, bool active) {
  const int w = ObjectRect.Width(), h = ObjectRect.Height();
  out.SetSize(w, h);
  TCanvas& c = out.Canvas();
  c.Font().Assign(PopupWindow->ItemFont());
  if (PopupWindow->Skinned()) DrawSkinned(c, w, h, active);
  else DrawPlain(c, w, h, active);
}

void TskSkinMenuItem::DrawPlain(TCanvas& c, int w, int h, bool active) {
  const int column = PopupWindow->Images() ? PopupWindow->GlyphWidth() : 19;
  const bool highlighted = active && !IsSeparator();
  if (highlighted) {
    c.Pen().Color = clNavy;
    c.Brush().Color = kPlainActiveFill;
    c.Brush().Style = TBrushStyle::bsSolid;
    c.Rectangle(0, 0, w, h);
  } else {
    c.Brush().Style = TBrushStyle::bsSolid;
    c.Brush().Color = clBtnFace;
    c.FillRect({0, 0, column, h});
    c.Brush().Color = clWindow;
    c.FillRect({column, 0, w, h});
  }
  if (IsSeparator()) {
    c.Pen().Color = clBtnShadow;
    c.MoveTo(column, h / 2);
    c.LineTo(w, h / 2);
    return;
  }
  const TColor color = (!highlighted && !Enabled()) ? clBtnShadow : clWindowText;
  const TRect inner(2, 2, w - 2, h - 2);
  if (MenuItem->OnDrawItem) {
    MenuItem->OnDrawItem(MenuItem, c, inner, active);
    return;
  }
  const int m = inner.Top + inner.Height() / 2;
  DrawTexts(c, inner, column, 19, color);
  DrawGlyph(c, inner.Left, inner.Left + 2, inner.Left + 3, m, color);
}

void TskSkinMenuItem::DrawSkinned(TCanvas& c, int w, int h, bool active) {
  const TskDataSkinMenuItem& d = *PopupWindow->ItemData();
  TBitmap& picture = *PopupWindow->ItemPicture();
  TBitmap strip;
  if (IsSeparator()) {
    BuildHorzStrip(picture, d.DividerRect, d.DividerLeftOffset, d.DividerRightOffset, w, strip);
    c.StretchDraw({0, 0, w, h}, strip);
    return;
  }
  BuildHorzStrip(picture, active ? d.ActiveSkinRect : d.SkinRect, d.ItemLeftOffset, d.ItemRightOffset, w, strip);
  c.StretchDraw({0, 0, w, h}, strip);
  const TRect t(d.TextRect.Left, d.TextRect.Top, d.TextRect.Right + (w - d.SkinRect.Width()), d.TextRect.Bottom);
  const TColor color = active ? d.ActiveFontColor : Enabled() ? d.FontColor : d.UnEnabledFontColor;
  if (MenuItem->OnDrawItem) {
    MenuItem->OnDrawItem(MenuItem, c, t, active);
    return;
  }
  const int gw = PopupWindow->Images() ? PopupWindow->GlyphWidth() : 16;
  const int m = t.Top + t.Height() / 2;
  DrawTexts(c, t, gw, 16, color);
  DrawGlyph(c, t.Left + 2, t.Left + 2, t.Left + 2, m, color);
}

void TskSkinMenuItem::DrawTexts(TCanvas& c, const TRect& t, int gw, int gap, TColor color) {
  const int m = t.Top + t.Height() / 2;
  c.Font().SetColor(color);
  c.Brush().Style = TBrushStyle::bsClear;
  const std::string shortcut = ShortCutToText(MenuItem->ShortCut);
  const int room = t.Right - gap - (t.Left + gw) - (shortcut.empty() ? 0 : MeasureText(c, shortcut + "  ").cx);
  std::string caption = MenuItem->Caption;
  TSize size = MeasureText(c, caption, room);
  if (PopupWindow->Narrowed() && size.cx > room) {
    caption = FitTextWidth(c, caption, room);  // a menu as wide as the screen still too narrow
    size = MeasureText(c, caption, room);
  }
  TRect r(t.Left + gw, m - size.cy / 2, t.Left + gw + size.cx + 2, m - size.cy / 2 + size.cy);
  c.DrawText(caption, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  if (!shortcut.empty()) {
    const TSize s = MeasureText(c, shortcut);
    TRect sr(t.Right - gap - s.cx - 2, r.Top, t.Right - gap, r.Bottom);
    c.DrawText(shortcut, sr, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
  c.Brush().Style = TBrushStyle::bsSolid;
  if (HasSubItems()) {
    // The sub-menu arrow: four lines of 7, 5, 3 and 1 pixels pointing right.
    const int x = t.Right - 7, y = m - 4;
    c.Pen().Color = color;
    for (int i = 0; i <= 3; ++i) {
      c.MoveTo(x + i, y + i);
      c.LineTo(x + i, y + 7 - i);
    }
  }
}

void TskSkinMenuItem::DrawGlyph(TCanvas& c, int imageX, int frameX, int checkX, int m, TColor color) {
  TImageList* images = PopupWindow->Images();
  const int index = MenuItem->ImageIndex;
  if (images && index >= 0 && index < images->Count()) {
    const int y = m - images->Height() / 2;
    images->Draw(c, imageX, y, index, Enabled());
    if (MenuItem->Checked) {
      c.Brush().Color = color;
      c.FrameRect({imageX - 1, y - 1, imageX + images->Width() + 1, y + images->Height() + 1});
    }
    return;
  }
  if (TGlyphFn glyph = FrameGlyphOf(MenuItem->Name())) {
    glyph(c, frameX, m - 4, color);
    return;
  }
  if (!MenuItem->Checked) return;
  c.Pen().Color = color;
  if (MenuItem->RadioItem) {
    c.Brush().Color = color;
    c.Brush().Style = TBrushStyle::bsSolid;
    c.Ellipse({checkX, m - 3, checkX + 6, m + 3});
    return;
  }
  const int x = checkX, y = m - 4;
  for (int i = 0; i <= 2; ++i) {
    c.MoveTo(x, y + 5 - i);
    c.LineTo(x + 2, y + 7 - i);
    c.LineTo(x + 7, y + 2 - i);
  }
}

// ---------------------------------------------------------------------------------------------
// TskSkinPopupWindow

TskSkinPopupWindow::TskSkinPopupWindow(TskSkinMenu* menu, TskSkinData* skin) : TPopupWindow(nullptr), menu_(menu), skin_(skin) {
  if (skin && !skin->IsEmpty && skin->PopupWindow && skin->PopupWindow->WindowPictureIndex != -1) {
    popupData_ = skin->PopupWindow.get();
    windowPicture_ = skin->ActivePicture(popupData_->WindowPictureIndex);
    if (popupData_->MaskPictureIndex != -1) maskPicture_ = skin->ActivePicture(popupData_->MaskPictureIndex);
  }
  if (skin && !skin->IsEmpty) {
    for (auto& member : skin->ObjectList)
      if (auto* data = dynamic_cast<TskDataSkinMenuItem*>(member.get())) {
        itemData_ = data;
        break;
      }
  }
  if (itemData_) itemPicture_ = skin->ActivePicture(itemData_->ActivePictureIndex);
  // A skin without the pictures a menu is drawn from gives the plain look rather than a window of
  // empty items.
  skinned_ = popupData_ && windowPicture_ && !windowPicture_->Empty() && itemData_ && itemPicture_ &&
             !itemPicture_->Empty() && !itemData_->SkinRect.IsEmpty();
}

TskSkinPopupWindow::~TskSkinPopupWindow() {
  StopTimers();
  Destroying();
}

int TskSkinPopupWindow::IndexOf(const TskSkinMenuItem* item) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i].get() == item) return static_cast<int>(i);
  return -1;
}

void TskSkinPopupWindow::Open(const TRect& anchor, TMenuItem* item, bool upward, bool subMenu, int first) {
  const bool fade = LayeringAvailable() && menu_->AlphaBlend && menu_->AlphaBlendAnimation && menu_->IsFirst();
  if (fade) Application->ProcessMessages();
  BuildItems(item, first);
  CalcSize();
  LayoutItems();
  if (skinned_ && maskPicture_ && !maskPicture_->Empty()) {
    TskSkinGeometry g;
    g.Rect = {0, 0, windowPicture_->Width(), windowPicture_->Height()};
    g.LT = popupData_->LTPoint;
    g.RT = popupData_->RTPoint;
    g.LB = popupData_->LBPoint;
    g.RB = popupData_->RBPoint;
    g.Cl = popupData_->ItemsRect;
    if (auto region = FrameMaskRegion(*maskPicture_, g, GrowGeometry(g, width_, height_))) SetWindowRegion(region.get());
  }
  Place(anchor, upward, subMenu);
  if (LayeringAvailable() && menu_->AlphaBlend) {
    SetWindowLong(GWL_EXSTYLE, GetWindowLong(GWL_EXSTYLE) | WS_EX_LAYERED);
    ApplyLayeredAlpha(*this, fade ? 0 : menu_->AlphaBlendValue);
  }
  ShowAt({left_, top_});
  if (fade) {
    for (int a = 3;; a += 3) {
      const int value = std::min(a, menu_->AlphaBlendValue);
      ApplyLayeredAlpha(*this, value);
      Update();
      if (value >= menu_->AlphaBlendValue) break;
    }
  }
  SetTimer(kMouseTimer, kMouseInterval);
  activeItem_ = -1;
  for (int i = 0; i < ItemCount(); ++i)
    if (Items(i)->Selectable()) {
      Items(i)->WaitCommand = true;
      activeItem_ = i;
      ActivateItem(i, true);
      break;
    }
}

void TskSkinPopupWindow::BuildItems(TMenuItem* item, int first) {
  parentItem_ = item;
  items_.clear();
  if (skinned_ && menu_->UseSkinFont) {
    itemFont_.SetName(itemData_->FontName);
    itemFont_.SetHeight(itemData_->FontHeight);
    itemFont_.SetStyle(itemData_->FontStyle);
  } else {
    itemFont_.Assign(menu_->DefaultItemFont);
  }
  font_.Assign(itemFont_);
  TPopupMenu* menu = item->GetParentMenu();
  images_ = menu ? menu->Images() : nullptr;
  for (int i = std::max(0, first); i < item->Count(); ++i) {
    TMenuItem* sub = item->Items(i);
    sub->InitiateAction();
    if (!sub->Visible) continue;
    items_.push_back(std::make_unique<TskSkinMenuItem>(this, sub));
  }
}

int TskSkinPopupWindow::ItemHeight(const TskSkinMenuItem& item) const {
  if (skinned_) return item.IsSeparator() ? itemData_->DividerRect.Height() : itemData_->SkinRect.Height();
  return item.IsSeparator() ? 4 : menu_->DefaultItemHeight;
}

int TskSkinPopupWindow::NormalItemHeight() const { return skinned_ ? itemData_->SkinRect.Height() : menu_->DefaultItemHeight; }

int TskSkinPopupWindow::FramePartHeight() const {
  return skinned_ ? windowPicture_->Height() - popupData_->ItemsRect.Height() : 4;
}

void TskSkinPopupWindow::CalcSize() {
  TBitmap scratch(1, 1);
  TCanvas& c = scratch.Canvas();
  c.Font().Assign(itemFont_);
  int w0 = 0;
  for (auto& it : items_) {
    const std::string shortcut = ShortCutToText(it->MenuItem->ShortCut);
    const std::string text = shortcut.empty() ? it->MenuItem->Caption : it->MenuItem->Caption + "  " + shortcut;
    w0 = std::max(w0, MeasureText(c, text).cx + 2);
  }
  glyphWidth_ = images_ ? images_->Width() + 5 : 19;
  const int w1 = w0 + glyphWidth_ + 19;
  int w = skinned_ ? w1 + (windowPicture_->Width() - popupData_->ItemsRect.Width()) +
                         (itemData_->SkinRect.Width() - itemData_->TextRect.Width())
                   : w1 + 10;
  int h = FramePartHeight();
  for (auto& it : items_) h += ItemHeight(*it);
  scroll_ = limited_ = false;
  const int max = menu_->MaxMenuItemsInWindow;
  if (max > 0 && max < ItemCount()) {
    h = NormalItemHeight() * max + FramePartHeight() + 2 * kMarker;
    scroll_ = limited_ = true;
  }
  const TRect& work = menu_->WorkArea();
  // No wider than the screen's free part: an item's caption beyond that is cut with "..." when
  // drawn (a caption of a hundred thousand characters would ask for a window of a million pixels).
  const int widest = work.IsEmpty() ? kMaxMenuWidth : work.Width();
  narrowed_ = w > widest;
  w = std::min(w, widest);
  if (!work.IsEmpty() && h > work.Height()) {
    h = work.Height();
    scroll_ = true;
  }
  if (skinned_) {
    // The corner parts keep their size: the borders' middles may shrink to nothing, not below.
    const TskDataSkinPopupWindow& d = *popupData_;
    w = std::max(w, windowPicture_->Width() - std::max(0, std::min(d.RTPoint.X - d.LTPoint.X, d.RBPoint.X - d.LBPoint.X)));
    h = std::max(h, windowPicture_->Height() - std::max(0, std::min(d.LBPoint.Y - d.LTPoint.Y, d.RBPoint.Y - d.RTPoint.Y)));
  }
  width_ = w;
  height_ = h;
  if (skinned_) {
    const TRect& ir = popupData_->ItemsRect;
    itemsRect_ = {ir.Left, ir.Top, ir.Right + (w - windowPicture_->Width()), ir.Bottom + (h - windowPicture_->Height())};
  } else {
    itemsRect_ = {2, 2, w - 2, h - 2};
  }
  firstVisible_ = 0;
}

void TskSkinPopupWindow::LayoutItems() {
  int y = itemsRect_.Top + (scroll_ ? kMarker : 0);
  const int bottom = itemsRect_.Bottom - (scroll_ ? kMarker : 0);
  visibleCount_ = 0;
  int i = firstVisible_;
  for (; i < ItemCount(); ++i) {
    TskSkinMenuItem& it = *Items(i);
    const int h = ItemHeight(it);
    it.ObjectRect = {itemsRect_.Left, y, itemsRect_.Right, y + h};
    if (y + h > bottom) {
      it.Visible = false;
      break;
    }
    it.Visible = true;
    ++visibleCount_;
    y += h;
  }
  if (scroll_) {
    for (int k = 0; k < ItemCount(); ++k)
      if (k < firstVisible_ || k >= firstVisible_ + visibleCount_) Items(k)->Visible = false;
  }
  // An item that left the shown part while fading starts over when it comes back.
  for (auto& it : items_)
    if (!it->Visible && it->MorphFactor > 0 && it->MorphFactor < 1) {
      it->Active = it->Down = false;
      it->MorphFactor = 0;
    }
}

void TskSkinPopupWindow::Place(const TRect& a, bool upward, bool subMenu) {
  const TRect& r = menu_->WorkArea();
  const int w = width_, h = height_, itemsTop = itemsRect_.Top;
  const bool upperHalf = a.Top < r.Top + r.Height() / 2;
  const bool fillsScreen = scroll_ && !limited_;
  bool covers = false;
  int x = a.Left, y = a.Bottom;
  if (fillsScreen) {
    y = r.Top;
  } else if (subMenu) {
    if (a.Top + h - itemsTop <= r.Bottom) y = a.Top - itemsTop;
    else if (upperHalf) y = r.Bottom - h;
    else y = std::max(a.Bottom - h + itemsTop, r.Top);
  } else if (upward) {
    if (a.Top - h >= r.Top) {
      y = a.Top - h;
    } else if (upperHalf) {
      if (a.Bottom + h <= r.Bottom) y = a.Bottom;
      else { y = r.Bottom - h; covers = true; }
    } else {
      y = r.Top;
      covers = true;
    }
  } else {
    if (a.Bottom + h <= r.Bottom) {
      y = a.Bottom;
    } else if (upperHalf) {
      y = r.Bottom - h;
      covers = true;
    } else if (a.Top - h >= r.Top) {
      y = a.Top - h;
    } else {
      y = r.Top;
      covers = true;
    }
  }
  if (!subMenu && !fillsScreen && !covers) {
    x = a.Left;
    if (x + w > r.Right) x = r.Right - w;
    else if (x < r.Left) x = r.Left;
  } else {
    x = a.Right + w + 1 <= r.Right ? a.Right + 1 : a.Left - w - 1;
  }
  left_ = x;
  top_ = y;
}

void TskSkinPopupWindow::PaintLevel(TBitmap& out) {
  const int w = width_, h = height_;
  if (skinned_) {
    TskSkinGeometry g;
    g.Rect = {0, 0, windowPicture_->Width(), windowPicture_->Height()};
    g.LT = popupData_->LTPoint;
    g.RT = popupData_->RTPoint;
    g.LB = popupData_->LBPoint;
    g.RB = popupData_->RBPoint;
    g.Cl = popupData_->ItemsRect;
    g.LeftStretch = popupData_->LeftStretch;
    g.TopStretch = popupData_->TopStretch;
    g.RightStretch = popupData_->RightStretch;
    g.BottomStretch = popupData_->BottomStretch;
    // A level kept at the height of its picture's corners (a single item, say) has room left
    // below its items: the items rectangle's own background fills it, as it does behind the
    // markers of a scrolled level.
    int itemsBottom = itemsRect_.Top;
    for (auto& it : items_)
      if (it->Visible) itemsBottom = std::max(itemsBottom, it->ObjectRect.Bottom);
    BuildFrameBitmap(*windowPicture_, g, GrowGeometry(g, w, h), scroll_ || itemsBottom < itemsRect_.Bottom, out);
  } else {
    out.SetSize(w, h);
    TCanvas& c = out.Canvas();
    const int column = images_ ? glyphWidth_ + 2 : 21;
    c.Brush().Style = TBrushStyle::bsSolid;
    c.Brush().Color = clBtnFace;
    c.FillRect({0, 0, column, h});
    c.Brush().Color = clWindow;
    c.FillRect({column, 0, w, h});
    c.Brush().Color = clBtnShadow;
    c.FrameRect({0, 0, w, h});
    c.Brush().Color = clWindow;
    c.FrameRect({1, 1, w - 1, h - 1});
  }
  TCanvas& c = out.Canvas();
  for (int i = firstVisible_; i < ItemCount(); ++i) Items(i)->Draw(c);
  if (!scroll_) return;
  if (skinned_) {
    const TRect up(itemsRect_.Left, itemsRect_.Top, itemsRect_.Right, itemsRect_.Top + kMarker);
    const TRect down(itemsRect_.Left, itemsRect_.Bottom - kMarker, itemsRect_.Right, itemsRect_.Bottom);
    DrawArrowGlyph(c, up, scrollCode_ == 1 ? popupData_->ScrollMarkerActiveColor : popupData_->ScrollMarkerColor, 3);
    DrawArrowGlyph(c, down, scrollCode_ == 2 ? popupData_->ScrollMarkerActiveColor : popupData_->ScrollMarkerColor, 4);
  } else {
    DrawArrowGlyph(c, {3, 3, w - 3, 13}, scrollCode_ == 1 ? clBtnText : clBtnShadow, 3);
    DrawArrowGlyph(c, {3, h - 10, w - 3, h - 3}, scrollCode_ == 2 ? clBtnText : clBtnShadow, 4);
  }
}

void TskSkinPopupWindow::Paint() {
  TBitmap picture;
  PaintLevel(picture);
  Canvas().CopyRect({0, 0, width_, height_}, picture.Canvas(), {0, 0, width_, height_});
}

void TskSkinPopupWindow::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_TIMER:
      if (m.WParam == kMouseTimer) MouseTick();
      else if (m.WParam == kMorphTimer) MorphTick();
      else if (m.WParam == kScrollTimer) {
        const bool moved = scrollCode_ == 1 ? ScrollUp(false) : scrollCode_ == 2 ? ScrollDown(false) : false;
        const bool atEnd = scrollCode_ == 1 ? firstVisible_ == 0
                                            : firstVisible_ + visibleCount_ >= ItemCount();
        if (!moved || atEnd) StopScrolling();
      }
      return;
    case WM_MOUSEMOVE:
      // Moves are followed by the mouse timer; a press or release handles its point at once.
      return;
    case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP: {
      const TPoint p(LoWordSigned(m.LParam), HiWordSigned(m.LParam));
      lastMouse_ = p;
      ButtonUpAt(p, m.Msg == WM_LBUTTONUP ? TMouseButton::mbLeft
                    : m.Msg == WM_RBUTTONUP ? TMouseButton::mbRight : TMouseButton::mbMiddle);
      return;
    }
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN: case WM_LBUTTONDBLCLK:
      return;
    default:
      TPopupWindow::WndProc(m);
  }
}

void TskSkinPopupWindow::MouseTick() {
  const TPoint screen = GetCursorPos();
  const TPoint p = ScreenToClient(screen);
  if (p == lastMouse_) return;
  lastMouse_ = p;
  if (FindWindowAtScreen(screen) == this) MouseMoveAt(p);
  else MouseOutside();
}

void TskSkinPopupWindow::MouseOutside() {
  if (scroll_ && scrollCode_ != 0) StopScrolling();
}

void TskSkinPopupWindow::MouseMoveAt(TPoint p) {
  if (scroll_) {
    const TRect up(itemsRect_.Left, itemsRect_.Top, itemsRect_.Right, itemsRect_.Top + kMarker);
    const TRect down(itemsRect_.Left, itemsRect_.Bottom - kMarker, itemsRect_.Right, itemsRect_.Bottom);
    if (up.Contains(p)) {
      if (scrollCode_ == 0 && firstVisible_ > 0) StartScrolling(1);
    } else if (down.Contains(p)) {
      if (scrollCode_ == 0 && firstVisible_ + visibleCount_ < ItemCount()) StartScrolling(2);
    } else if (scrollCode_ != 0) {
      StopScrolling();
    }
  }
  int hit = -1;
  for (int i = firstVisible_; i < ItemCount(); ++i)
    if (Items(i)->Visible && Items(i)->ObjectRect.Contains(p)) {
      hit = i;
      break;
    }
  if (hit < 0) return;
  if (hit == activeItem_) {
    TskSkinMenuItem* it = Items(hit);
    if (it->WaitCommand) {
      it->WaitCommand = false;
      if (it->HasSubItems() && it->Selectable()) ActivateItem(hit, false);
    }
    return;
  }
  prevActiveItem_ = activeItem_;
  activeItem_ = hit;
  if (prevActiveItem_ >= 0 && prevActiveItem_ < ItemCount() && Items(prevActiveItem_)->Selectable())
    DeactivateItem(prevActiveItem_);
  if (Items(hit)->Selectable()) ActivateItem(hit, false);
}

void TskSkinPopupWindow::ButtonUpAt(TPoint p, TMouseButton button) {
  MouseMoveAt(p);
  if (button != TMouseButton::mbLeft) return;
  for (int i = firstVisible_; i < ItemCount(); ++i)
    if (Items(i)->Visible && Items(i)->ObjectRect.Contains(p)) {
      if (activeItem_ >= 0 && !Items(activeItem_)->IsSeparator()) ClickItem(activeItem_);
      return;
    }
}

void TskSkinPopupWindow::ActivateItem(int index, bool keyboard) {
  TskSkinMenuItem* it = Items(index);
  it->Active = true;
  for (auto& other : items_)
    if (other.get() != it && other->Down) {
      other->Down = false;
      RedrawItem(other.get());
    }
  if (!keyboard && it->WaitCommand) {
    RedrawItem(it);
    return;
  }
  const int level = menu_->LevelIndex(this);
  if (it->Down) {
    menu_->CloseLevels(level + 2);
    if (level + 1 < menu_->LevelCount()) menu_->Level(level + 1)->RaiseItems();
    RedrawItem(it);
    return;
  }
  RedrawItem(it);
  menu_->ItemAction(this, it, keyboard, false);
}

void TskSkinPopupWindow::DeactivateItem(int index) {
  TskSkinMenuItem* it = Items(index);
  it->Active = false;
  it->WaitCommand = false;
  if (!it->Down) RedrawItem(it);
  if (menu_->WaitItem() == it) menu_->StopWaitTimer();
}

void TskSkinPopupWindow::ClickItem(int index) {
  TskSkinMenuItem* it = Items(index);
  it->WaitCommand = false;
  if (it->Down || !it->Enabled()) return;
  menu_->ItemAction(this, it, false, true);
}

void TskSkinPopupWindow::SelectItem(int index) {
  const int prev = activeItem_;
  if (prev == index) return;
  if (prev >= 0 && prev < ItemCount() && Items(prev)->Selectable()) DeactivateItem(prev);
  activeItem_ = index;
  Items(index)->WaitCommand = true;
  ActivateItem(index, true);
}

void TskSkinPopupWindow::ChooseByAccelerator(int index) {
  const int prev = activeItem_;
  ActivateItem(index, false);
  if (menu_->LevelIndex(this) < 0) return;
  if (prev >= 0 && prev != index && prev < ItemCount() && Items(prev)->Selectable()) DeactivateItem(prev);
  activeItem_ = index;
  ClickItem(index);
}

void TskSkinPopupWindow::ScrollIntoView(int index) {
  if (!scroll_) return;
  while (index < firstVisible_ && ScrollUp(false)) {}
  while (index >= firstVisible_ + visibleCount_ && ScrollDown(false)) {}
}

void TskSkinPopupWindow::SelectNext() {
  const int n = ItemCount();
  if (n == 0) return;
  if (scroll_ && scrollCode_ == 0 && activeItem_ >= 0 && activeItem_ == firstVisible_ + visibleCount_ - 1)
    ScrollDown(true);
  const int start = (activeItem_ < 0 || activeItem_ >= n - 1) ? 0 : activeItem_ + 1;
  // Forward to the end, then on from the top: the search goes round once.
  for (int k = 0; k < n; ++k) {
    const int i = (start + k) % n;
    if (Items(i)->Selectable()) {
      ScrollIntoView(i);
      SelectItem(i);
      return;
    }
  }
}

void TskSkinPopupWindow::SelectPrev() {
  const int n = ItemCount();
  if (n == 0) return;
  if (scroll_ && scrollCode_ == 0 && activeItem_ >= 0 && activeItem_ == firstVisible_) ScrollUp(true);
  const int start = (activeItem_ <= 0) ? n - 1 : activeItem_ - 1;
  for (int k = 0; k < n; ++k) {
    const int i = ((start - k) % n + n) % n;
    if (Items(i)->Selectable()) {
      ScrollIntoView(i);
      SelectItem(i);
      return;
    }
  }
}

int TskSkinPopupWindow::LastStartIndex() const {
  // The last items that fit between the two markers.
  int budget = itemsRect_.Bottom - kMarker;
  const int floor = itemsRect_.Top + kMarker;
  int fitted = 0;
  for (int i = ItemCount() - 1; i >= 0; --i) {
    const int h = ItemHeight(*Items(i));
    if (budget - h < floor) break;
    budget -= h;
    ++fitted;
  }
  return ItemCount() - fitted;
}

bool TskSkinPopupWindow::ScrollUp(bool wrap) {
  if (firstVisible_ > 0) --firstVisible_;
  else if (wrap) firstVisible_ = LastStartIndex();
  else return false;
  LayoutItems();
  Invalidate();
  return true;
}

bool TskSkinPopupWindow::ScrollDown(bool wrap) {
  if (firstVisible_ + visibleCount_ < ItemCount()) ++firstVisible_;
  else if (wrap) firstVisible_ = 0;
  else return false;
  LayoutItems();
  Invalidate();
  return true;
}

void TskSkinPopupWindow::StartScrolling(int code) {
  scrollCode_ = code;
  Invalidate();
  menu_->CloseLevels(menu_->LevelIndex(this) + 1);
  SetTimer(kScrollTimer, kScrollInterval);
}

void TskSkinPopupWindow::StopScrolling() {
  scrollCode_ = 0;
  KillTimer(kScrollTimer);
  Invalidate();
}

void TskSkinPopupWindow::RaiseItems() {
  for (auto& it : items_)
    if (it->Down) {
      it->Down = false;
      RedrawItem(it.get());
    }
}

void TskSkinPopupWindow::RedrawItem(TskSkinMenuItem* item) {
  if (item->NeedsMorphStep()) StartMorph();
  Invalidate();
}

void TskSkinPopupWindow::StartMorph() {
  if (morphRunning_) return;
  morphRunning_ = true;
  SetTimer(kMorphTimer, kMorphInterval);
}

void TskSkinPopupWindow::MorphTick() {
  bool any = false;
  for (auto& it : items_) {
    if (!it->NeedsMorphStep()) continue;
    const double target = (it->Active || it->Down) ? 1.0 : 0.0;
    it->MorphFactor = target > it->MorphFactor ? std::min(1.0, it->MorphFactor + 0.2) : std::max(0.0, it->MorphFactor - 0.2);
    // Steps of 0.2 add up to a little off the ends; the last one lands on them.
    if (std::fabs(it->MorphFactor - target) < 1e-9) it->MorphFactor = target;
    any = true;
  }
  if (any) Invalidate();
  bool more = false;
  for (auto& it : items_) more = more || it->NeedsMorphStep();
  if (!more) {
    morphRunning_ = false;
    KillTimer(kMorphTimer);
  }
}

void TskSkinPopupWindow::StopTimers() {
  KillTimer(kMouseTimer);
  KillTimer(kMorphTimer);
  KillTimer(kScrollTimer);
  morphRunning_ = false;
  scrollCode_ = 0;
}

// ---------------------------------------------------------------------------------------------
// TskSkinMenu

TskSkinMenu::TskSkinMenu(TComponent* owner) : TComponent(owner) {
  DefaultItemFont.SetName("Arial");
  DefaultItemFont.SetHeight(14);
  DefaultItemFont.SetStyle(0);
  waitTimer_ = new TTimer(this);
  waitTimer_->SetEnabled(false);
  waitTimer_->SetInterval(kWaitInterval);
  waitTimer_->OnTimer = [this](TObject*) { WaitTimerFired(); };
}

TskSkinMenu::~TskSkinMenu() {
  Destroying();
  waitTimer_->SetEnabled(false);
  for (auto& level : levels_) level->StopTimers();
  levels_.clear();
}

void TskSkinMenu::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  if (component == popupControl_) popupControl_ = nullptr;
  if (component == commandControl_) commandControl_ = nullptr;
  if (component == Form) Form = nullptr;
  if (component == skinData_) skinData_ = nullptr;
  if (component == lastCommand_) lastCommand_ = nullptr;
}

void TskSkinMenu::ForgetLastCommand() {
  if (lastCommand_) lastCommand_->RemoveFreeNotification(this);
  lastCommand_ = nullptr;
}

int TskSkinMenu::LevelIndex(const TskSkinPopupWindow* level) const {
  for (size_t i = 0; i < levels_.size(); ++i)
    if (levels_[i].get() == level) return static_cast<int>(i);
  return -1;
}

bool TskSkinMenu::WaitTimerRunning() const { return waitTimer_->Enabled(); }

void TskSkinMenu::StopWaitTimer() { waitTimer_->SetEnabled(false); }

void TskSkinMenu::ItemGoing(TskSkinMenuItem* item) {
  if (waitItem_ == item) {
    waitItem_ = nullptr;
    waitLevel_ = nullptr;
    StopWaitTimer();
  }
}

void TskSkinMenu::ShowMenu(TWinControl* popupControl, TskSkinData* skin, bool upward, TMenuItem* item,
                           const TRect& anchor, int first) {
  first_ = !visible_;
  // The menu on screen goes first (its control is told), then the new control takes its place.
  CloseLevels(0);
  popupControl_ = popupControl;
  if (popupControl_) popupControl_->FreeNotification(this);
  if (Form) workArea_ = ScreenWorkRect(*Form, true);
  else if (Screen) workArea_ = Screen->WorkAreaRect();
  if (skinData_ != skin) {
    if (skinData_) skinData_->RemoveFreeNotification(this);
    skinData_ = skin;
    if (skinData_) skinData_->FreeNotification(this);
  }
  int shown = 0;
  if (item)
    for (int i = std::max(0, first); i < item->Count(); ++i)
      if (item->Items(i)->Visible) ++shown;
  if (shown > 0) {
    visible_ = true;
    OpenLevel(anchor, item, upward, false, first);
  }
  first_ = false;
}

void TskSkinMenu::OpenLevel(const TRect& anchor, TMenuItem* item, bool upward, bool subMenu, int first) {
  levels_.push_back(std::make_unique<TskSkinPopupWindow>(this, skinData_));
  TskSkinPopupWindow* level = levels_.back().get();
  level->Open(anchor, item, upward, subMenu, first);
  // A menu opened while no window of the program is active (the tray icon's, with every window
  // hidden) would get no keys and never hear of a press elsewhere: its first level takes them.
  if (!subMenu && Screen && !Screen->ActiveForm()) level->GrabInput();
}

void TskSkinMenu::FreeLevel(std::unique_ptr<TskSkinPopupWindow> level) {
  level->StopTimers();
  for (int i = 0; i < level->ItemCount(); ++i) ItemGoing(level->Items(i));
  level->Hide();
  // A level may be closing from inside its own handlers: it goes once they have returned.
  TskSkinPopupWindow* raw = level.release();
  PostCall([raw] { delete raw; });
}

void TskSkinMenu::CloseLevels(int n) {
  n = std::max(0, n);
  while (static_cast<int>(levels_.size()) > n) {
    std::unique_ptr<TskSkinPopupWindow> level = std::move(levels_.back());
    levels_.pop_back();
    FreeLevel(std::move(level));
  }
  if (n == 0) {
    visible_ = false;
    StopWaitTimer();
    commandControl_ = popupControl_;
    if (TWinControl* control = popupControl_) {
      popupControl_ = nullptr;
      SendMessage(control, MsgSkinMenuClosed, 0, 0);
    }
  }
}

void TskSkinMenu::CloseAll() {
  CloseLevels(0);
  StopWaitTimer();
  waitItem_ = nullptr;
  waitLevel_ = nullptr;
  if (Form) SendMessage(Form, MsgSkinMenuClosed, 0, 0);
  if (TWinControl* control = popupControl_) {
    popupControl_ = nullptr;
    SendMessage(control, MsgSkinMenuClosed, 0, 0);
  }
}

void TskSkinMenu::ItemAction(TskSkinPopupWindow* level, TskSkinMenuItem* item, bool keyboard, bool click) {
  const int index = LevelIndex(level);
  if (index < 0) return;
  if (!item->HasSubItems()) {
    StopWaitTimer();
    if (!click) {
      CloseLevels(index + 1);
      return;
    }
    TMenuItem* command = item->MenuItem;
    CloseAll();
    ForgetLastCommand();
    lastCommand_ = command;
    command->FreeNotification(this);
    // The command may close and free the window, and this engine with it.
    std::weak_ptr<bool> alive = alive_;
    command->Click();
    if (alive.expired()) return;
    if (TWinControl* control = commandControl_) {
      commandControl_ = nullptr;
      SendMessage(control, MsgSkinMenuCommand, 0, 0);
    }
    return;
  }
  if (!click) {
    if (keyboard) return;  // a keyboard selection does not open sub-menus
    StopWaitTimer();
    CloseLevels(index + 1);
    waitItem_ = item;
    waitLevel_ = level;
    waitTimer_->SetEnabled(false);
    waitTimer_->SetEnabled(true);
    return;
  }
  std::weak_ptr<bool> alive = alive_;
  item->MenuItem->Click();
  if (alive.expired() || LevelIndex(level) < 0) return;  // the click closed the menu
  StopWaitTimer();
  // A sub-menu left open by an item selected from the keyboard goes first.
  CloseLevels(index + 1);
  item->Down = true;
  level->RedrawItem(item);
  const TPoint origin = level->ClientOrigin();
  OpenLevel(item->ObjectRect.Offset(origin.X, origin.Y), item->MenuItem, false, true, 0);
}

void TskSkinMenu::WaitTimerFired() {
  StopWaitTimer();
  TskSkinMenuItem* item = waitItem_;
  TskSkinPopupWindow* level = waitLevel_;
  if (!item || LevelIndex(level) < 0) return;
  ItemAction(level, item, false, true);
}

bool TskSkinMenu::HandleKey(int key) {
  TskSkinPopupWindow* top = TopLevel();
  if (!top) return false;
  auto closeTop = [&] {
    CloseLevels(LevelCount() - 1);
    if (TskSkinPopupWindow* now = TopLevel()) {
      now->RaiseItems();
      return false;
    }
    return true;
  };
  for (int i = 0; i < top->ItemCount(); ++i) {
    TskSkinMenuItem* it = top->Items(i);
    if (!it->Selectable() || !IsAccel(key, it->MenuItem->Caption)) continue;
    top->ChooseByAccelerator(i);
    return false;
  }
  switch (key) {
    case VK_RETURN:
      if (TskSkinMenuItem* it = top->ActiveItem(); it && !it->IsSeparator()) top->ClickItem(top->ActiveIndex());
      return false;
    case VK_ESCAPE:
      return closeTop();
    case VK_LEFT:
      if (LevelCount() >= 2) return closeTop();
      return false;
    case VK_UP:
      top->SelectPrev();
      return false;
    case VK_DOWN:
      top->SelectNext();
      return false;
    case VK_RIGHT:
      if (TskSkinMenuItem* it = top->ActiveItem(); it && it->HasSubItems()) top->ClickItem(top->ActiveIndex());
      return false;
    default:
      return false;
  }
}

// ---------------------------------------------------------------------------------------------
// TskSkinMenuHost

TskSkinMenuHost::TskSkinMenuHost(TWinControl* owner) : TComponent(owner), window_(owner) {
  menu_ = new TskSkinMenu(this);
  menu_->Form = owner;
}

TskSkinMenuHost::~TskSkinMenuHost() {
  Destroying();
  menu_->CloseLevels(0);
  if (hooked_) {
    Application->UnhookMainWindow(hookId_);
    Application->OnMessage = previousOnMessage_;
    hooked_ = false;
  }
}

void TskSkinMenuHost::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  if (component == MenusSkinData) MenusSkinData = nullptr;
  if (component == SkinData) SkinData = nullptr;
}

void TskSkinMenuHost::EnterMenuMode() {
  if (!hooked_) {
    previousOnMessage_ = Application->OnMessage;
    Application->OnMessage = [this](TMessage& msg, bool& handled) { OnMessage(msg, handled); };
    hookId_ = Application->HookMainWindow([this](TControl* target, TMessage& msg) { return Hook(target, msg); });
    hooked_ = true;
  }
  if (inMenu_) return;
  inMenu_ = true;
  if (OnSkinMenuOpen) OnSkinMenuOpen(this);
}

void TskSkinMenuHost::ExitMenuMode() {
  inMenu_ = false;
  if (hooked_) {
    Application->UnhookMainWindow(hookId_);
    Application->OnMessage = previousOnMessage_;
    previousOnMessage_ = nullptr;
    hooked_ = false;
  }
  if (OnSkinMenuClose) OnSkinMenuClose(this);
}

void TskSkinMenuHost::CloseMenus() {
  if (menu_->Visible()) menu_->CloseAll();
  else if (inMenu_) ExitMenuMode();
}

void TskSkinMenuHost::OnMessage(TMessage& msg, bool& handled) {
  if (msg.Msg == WM_MOUSEWHEEL) {
    handled = true;
    return;
  }
  // Alt on its own and F10 end the menu, as they would open a window's menu bar.
  const bool altAlone = (msg.Msg == WM_KEYDOWN || msg.Msg == WM_SYSKEYDOWN) && msg.WParam == VK_MENU;
  const bool f10 = msg.Msg == WM_KEYDOWN && msg.WParam == VK_F10 && msg.LParam == 0;
  if (altAlone || f10) {
    handled = true;
    CloseMenus();
    return;
  }
  if (msg.Msg != WM_KEYDOWN) return;  // keys with Alt stay the window's (Alt+F4 closes it)
  handled = true;
  if (!menu_->Visible()) return;
  if (menu_->HandleKey(static_cast<int>(msg.WParam)) && !menu_->Visible()) ExitMenuMode();
}

bool TskSkinMenuHost::Hook(TControl* target, TMessage& msg) {
  switch (msg.Msg) {
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN: case WM_LBUTTONDBLCLK:
    case WM_NCLBUTTONDOWN: case WM_NCRBUTTONDOWN: case WM_NCMBUTTONDOWN:
      // A press anywhere but on the menu closes it; the press still goes where it was made. A level
      // holding the pointer also gets the presses made outside the program, outside its own area.
      if (auto* level = dynamic_cast<TskSkinPopupWindow*>(target); level && level->Menu() == menu_) {
        // Presses on a window's frame come in screen coordinates, the others in the level's own.
        const TPoint p{LoWordSigned(msg.LParam), HiWordSigned(msg.LParam)};
        const bool frame = msg.Msg >= WM_NCLBUTTONDOWN && msg.Msg <= WM_NCMBUTTONDOWN;
        const bool inside = frame ? level->BoundsRect().Contains(p) : level->ClientRect().Contains(p);
        if (inside) return false;
      }
      CloseMenus();
      return false;
    case WM_ACTIVATE:
      if (target == window_ && msg.WParam == 0) CloseMenus();
      return false;
    case WM_KILLFOCUS: case WM_CANCELMODE: case WM_MOVE: case WM_SIZE: case WM_ENTERSIZEMOVE:
      if (target == window_) CloseMenus();
      return false;
    default:
      if (msg.Msg == MsgSkinMenuClosed && target == window_ && inMenu_) ExitMenuMode();
      return false;
  }
}

void TskSkinMenuHost::PopupAt(TMenuItem* item, int x, int y, TskSkinData* skin) {
  if (menu_->Visible()) ExitMenuMode();
  EnterMenuMode();
  menu_->ShowMenu(nullptr, skin ? skin : MenuSkin(), false, item, {x, y, x, y}, 0);
  // Nothing to show: no menu mode without a menu.
  if (!menu_->Visible()) ExitMenuMode();
}

TMenuItem* TskSkinMenuHost::RunModal(TMenuItem* item, int x, int y, TskSkinData* skin) {
  menu_->ForgetLastCommand();
  PopupAt(item, x, y, skin);
  while (menu_->Visible() || inMenu_) {
    Application->ProcessUntil([&] { return !(menu_->Visible() || inMenu_); }, 100);
    if (Application->Terminated()) break;
  }
  return menu_->LastCommand();
}

TskSkinMenuHost* FindMenuHost(TComponent* window) {
  if (!window) return nullptr;
  for (int i = 0; i < window->ComponentCount(); ++i)
    if (auto* host = dynamic_cast<TskSkinMenuHost*>(window->Components(i))) return host;
  return nullptr;
}

// ---------------------------------------------------------------------------------------------
// TskSkinPopupMenu

TskSkinPopupMenu::TskSkinPopupMenu(TComponent* owner) : TPopupMenu(owner) {}

TskSkinPopupMenu::~TskSkinPopupMenu() { Destroying(); }

void TskSkinPopupMenu::SetSkinData(TskSkinData* skin) {
  if (skinData_ == skin) return;
  if (skinData_) skinData_->RemoveFreeNotification(this);
  skinData_ = skin;
  if (skinData_) skinData_->FreeNotification(this);
}

void TskSkinPopupMenu::Notification(TComponent* component, TOperation operation) {
  TPopupMenu::Notification(component, operation);
  if (operation == TOperation::opRemove) {
    if (component == skinData_) skinData_ = nullptr;
    if (component == ComponentForm) ComponentForm = nullptr;
  }
}

// The host of the window the menu belongs to: its own form, or its owner's. A window that has
// shown no skinned menu yet gets its host now, so a menu opened from outside the window (the tray
// icon's, say) shows as well as one opened from the window's frame.
TskSkinMenuHost* TskSkinPopupMenu::Host() {
  auto form = [](TComponent* c) { return dynamic_cast<TForm*>(c); };
  if (ComponentForm)
    if (TskSkinMenuHost* h = FindMenuHost(ComponentForm)) return h;
  TForm* window = form(Owner());
  if (!window && Owner()) window = form(Owner()->Owner());
  if (!window) return nullptr;
  if (TskSkinMenuHost* h = FindMenuHost(window)) return h;
  return new TskSkinMenuHost(window);
}

void TskSkinPopupMenu::Show(TWinControl* control, const TRect& rect, bool upward) {
  TskSkinMenuHost* host = Host();
  if (!host) return;
  if (!skinData_) SetSkinData(host->MenuSkin());
  if (host->SkinMenu().Visible()) host->ExitMenuMode();
  host->EnterMenuMode();
  host->SkinMenu().ShowMenu(control, skinData_, upward, &Items(), rect, 0);
  if (!host->SkinMenu().Visible()) host->ExitMenuMode();
}

void TskSkinPopupMenu::Popup(int x, int y) {
  if (OnPopup) OnPopup(this);
  Show(nullptr, {x, y, x, y}, false);
}

void TskSkinPopupMenu::PopupAtRect(const TRect& rect, bool upward) {
  if (OnPopup) OnPopup(this);
  Show(nullptr, rect, upward);
}

void TskSkinPopupMenu::PopupForControl(TWinControl* control, int x, int y) {
  if (OnPopup) OnPopup(this);
  TskSkinMenuHost* host = Host();
  if (!host) return;
  if (!skinData_) SetSkinData(host->MenuSkin());
  if (!skinData_) return;  // only a skinned control asks, and only with a skin
  Show(control, {x, y, x, y}, false);
}

}  // namespace corvane
