#include "controls/Button.h"

#include <algorithm>

namespace corvane {

namespace {

std::string Trimmed(const std::string& s) {
  size_t a = s.find_first_not_of(" \t\r\n");
  if (a == std::string::npos) return "";
  size_t b = s.find_last_not_of(" \t\r\n");
  return s.substr(a, b - a + 1);
}

char32_t FoldCase(char32_t c) { return (c >= 'a' && c <= 'z') ? c - 32 : c; }

}  // namespace

void DrawGreyed(TCanvas& canvas, const TBitmap& image, const TRect& src, TPoint at, TColor transparent) {
  TRect s = IntersectRect(src, TRect(0, 0, image.Width(), image.Height()));
  if (s.IsEmpty()) return;
  // A mask of the image's darker pixels, drawn once in white (offset) and once in grey.
  TBitmap white(s.Width(), s.Height()), grey(s.Width(), s.Height());
  for (int y = 0; y < s.Height(); ++y) {
    const uint32_t* from = image.ScanLine(s.Top + y) + s.Left;
    uint32_t* w = white.ScanLine(y);
    uint32_t* g = grey.ScanLine(y);
    for (int x = 0; x < s.Width(); ++x) {
      uint32_t px = from[x] & 0xFFFFFF;
      TColor c = RGB((px >> 16) & 0xFF, (px >> 8) & 0xFF, px & 0xFF);
      int lum = (GetRValue(c) * 30 + GetGValue(c) * 59 + GetBValue(c) * 11) / 100;
      bool ink = c != transparent && lum < 0xC0;
      w[x] = ink ? 0xFFFFFFFFu : 0xFFFF00FFu;
      g[x] = ink ? 0xFF808080u : 0xFFFF00FFu;
    }
  }
  TRect all(0, 0, s.Width(), s.Height());
  canvas.CopyTransparent(Bounds(at.X + 1, at.Y + 1, s.Width(), s.Height()), white, all, thKeyColor);
  canvas.CopyTransparent(Bounds(at.X, at.Y, s.Width(), s.Height()), grey, all, thKeyColor);
}

// ---------------------------------------------------------------------------------------------
// TthCustomButton

TthCustomButton::TthCustomButton(TComponent* owner)
    : TCustomControl(owner), actionLink_(this, [this](TAction& a) {
        SetCaption(a.Caption());
        Hint = a.Hint();
        SetEnabled(a.Enabled());
        SetVisible(a.Visible());
      }) {
  TabStop = true;
  SetParentColor(true);
}

TthCustomButton::~TthCustomButton() {
  Destroying();
  timer_.reset();
  if (fileTheme_) fileTheme_->RemoveFreeNotification(this);
}

void TthCustomButton::SetCaption(const std::string& v) {
  caption_ = v;
  TCustomControl::SetText(v);
  CaptionChanged();
  Invalidate();
}

void TthCustomButton::SetText(const std::string& v) {
  TCustomControl::SetText(v);
  caption_ = text_;
}

void TthCustomButton::SetAutoSize(bool v) {
  autoSize_ = v;
  AutoSizeChanged();
  Invalidate();
}

void TthCustomButton::AutoSizeChanged() {
  if (!autoSize_) return;
  // The raw style: FromThemeFile finds no built-in image and takes the fallback size.
  TBitmap image;
  ThemeImageOf(uiStyle_, thButtonImage, image);
  int h = image.Height() == 0 ? 21 : image.Height();
  int w = image.Width() == 0 ? 74 : image.Width();
  SetBounds(Left(), Top(), w / 3, h);
}

void TthCustomButton::SetDefault(bool v) {
  default_ = v;
  if (TForm* form = ParentForm(); form && form != static_cast<TControl*>(this))
    form->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(form->ActiveControl()));
  Invalidate();
}

void TthCustomButton::SetTransparent(bool v) {
  transparent_ = v;
  TransparentChanged();
  Invalidate();
}

void TthCustomButton::TransparentChanged() {
  paintTransparent_ = transparent_;
  Invalidate();
}

void TthCustomButton::SetUIStyle(TthUIStyle v) {
  uiStyle_ = v;
  UIStyleChanged();
  Invalidate();
}

void TthCustomButton::SetFileTheme(TthFileTheme* theme) {
  if (theme != fileTheme_) {
    if (fileTheme_) fileTheme_->RemoveFreeNotification(this);
    fileTheme_ = theme;
    if (theme) theme->FreeNotification(this);
  }
  SetUIStyle(uiStyle_);
}

void TthCustomButton::Notification(TComponent* component, TOperation operation) {
  TCustomControl::Notification(component, operation);
  actionLink_.Notification(component, operation);
  if (operation == TOperation::opRemove && component == fileTheme_ && fileTheme_) {
    fileTheme_ = nullptr;
    if (!IsDestroying()) SetUIStyle(TthUIStyle::DeepBlue);
  }
}

void TthCustomButton::SetEnabled(bool v) {
  TCustomControl::SetEnabled(v);
  EnabledChanged();
  Invalidate();
}

void TthCustomButton::FontChanged() {
  TCustomControl::FontChanged();
  ButtonFontChanged();
}

void TthCustomButton::ButtonFontChanged() { Invalidate(); }

void TthCustomButton::StopRepeatTimer() {
  if (!timer_) return;
  timer_->SetEnabled(false);
  timer_->OnTimer = nullptr;
  // The timer may be the one whose tick is running now: free it once the tick is over.
  std::shared_ptr<TTimer> dying(timer_.release());
  PostCall([dying] {});
}

void TthCustomButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == TMouseButton::mbLeft) {
    down_ = true;
    if (!timer_) {
      timer_ = std::make_unique<TTimer>(nullptr);
      timer_->SetEnabled(false);
      timer_->SetInterval(std::max(MouseContinuouslyDownInterval, 0));
      timer_->OnTimer = [this](TObject*) {
        if (OnMouseContinuouslyDown) OnMouseContinuouslyDown(this);
      };
      timer_->SetEnabled(true);
    }
    Invalidate();
  }
  TCustomControl::MouseDown(button, shift, x, y);
}

void TthCustomButton::MouseMove(TShiftState shift, int x, int y) {
  TCustomControl::MouseMove(shift, x, y);
  if (x < 0 || y < 0 || x >= Width() || y >= Height()) {
    if (hot_ || down_) {
      hot_ = false;
      down_ = false;
      Invalidate();
    }
  } else if (!hot_ && !IsDesigning()) {
    // Back over the button while the press holds the pointer (no enter comes then): hot again.
    hot_ = true;
    Invalidate();
  }
}

void TthCustomButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseUp(button, shift, x, y);
  // The repeat ends with the press, wherever it is released (a press that left the button and
  // came back is no longer down, so the click would not stop it).
  if (button == TMouseButton::mbLeft) StopRepeatTimer();
  // A release outside the button gives no click; the face stops being down.
  if (button == TMouseButton::mbLeft && !ClientRect().Contains({x, y})) {
    if (down_) {
      down_ = false;
      Invalidate();
    }
  }
}

void TthCustomButton::KeyDown(int& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  if ((key == VK_SPACE || key == VK_RETURN) && Focused() && Enabled()) {
    down_ = true;
    Invalidate();
  }
}

void TthCustomButton::KeyUp(int& key, TShiftState shift) {
  TCustomControl::KeyUp(key, shift);
  if ((key == VK_SPACE || key == VK_RETURN) && Focused() && down_ && Enabled()) {
    down_ = false;
    Invalidate();
    Click();
  }
}

void TthCustomButton::Click() {
  if (down_) {
    StopRepeatTimer();
    down_ = false;
    Invalidate();
  }
  if (TabStop && CanFocus() && Enabled() && ParentForm() && !Focused()) SetFocus();
  if (Parent()) {
    if (TForm* form = ParentForm(); form && form != static_cast<TControl*>(this)) form->SetModalResult(ModalResult);
  }
  // The platform click: OnClick, or else the linked action.
  if (!OnClick && Action()) actionLink_.Execute();
  else TCustomControl::Click();
}

void TthCustomButton::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_ERASEBKGND:
      m.Result = 1;  // the paint covers every pixel
      return;
    case WM_LBUTTONDBLCLK:
      m.Msg = WM_LBUTTONDOWN;  // a quick second press is an ordinary press
      break;
    case CM_MOUSEENTER:
      if (!IsDesigning()) {
        hot_ = true;
        Invalidate();
      }
      break;
    case CM_MOUSELEAVE:
      hot_ = false;
      down_ = false;
      StopRepeatTimer();
      Invalidate();
      if (OnMouseExit) OnMouseExit(this);
      break;
    case CM_DIALOGKEY: {
      auto key = static_cast<int>(m.WParam);
      auto shift = static_cast<TShiftState>(m.LParam);
      if (((key == VK_RETURN && default_) || (key == VK_ESCAPE && Cancel)) &&
          (shift & (ssShift | ssCtrl | ssAlt)) == 0 && CanFocus()) {
        Click();
        m.Result = 1;
        return;
      }
      break;
    }
    case CM_DIALOGCHAR: {
      TCustomControl::WndProc(m);
      char32_t ch = static_cast<char32_t>(m.WParam);
      char32_t accel = AcceleratorOf(caption_);
      if (accel != 0 && FoldCase(ch) == FoldCase(accel) && Enabled()) {
        Click();
        m.Result = 1;
      } else {
        m.Result = 0;
      }
      return;
    }
    case WM_SETFOCUS: case WM_KILLFOCUS: case CM_FOCUSCHANGED:
      Invalidate();
      break;
    case CM_TEXTCHANGED:
      caption_ = text_;
      break;
    default:
      break;
  }
  TCustomControl::WndProc(m);
}

void TthCustomButton::Paint() {
  const int w = Width(), h = Height();
  if (w <= 0 || h <= 0) return;
  const TRect client(0, 0, w, h);
  TBitmap buffer;
  TBitmap state;
  try {
    if (!Enabled()) GetDisabledImage(state);
    else if (down_) GetDownImage(state);
    else if (hot_) GetHotImage(state);
    else GetNormalImage(state);
  } catch (const std::exception&) {
    state.Clear();
    state.SetSize(74, 21);
  }
  state.Transparent = paintTransparent_;
  buffer.SetPixelFormat(TPixelFormat::pfDevice);
  buffer.SetSize(w, h);  // starts white
  TCanvas& bc = buffer.Canvas();
  if (transparent_) {
    PaintParentBackground(bc, *this);
  } else {
    bc.Brush().Style = TBrushStyle::bsSolid;
    bc.Brush().Color = Color();
    bc.FillRect(client);
  }
  PaintFace(bc, state);
  state.Clear();
  if (Focused() && TabStop) PaintFocus(bc);
  bc.Font().Assign(Font());
  Canvas().Font().Assign(Font());
  if (!Trimmed(caption_).empty()) PaintCaption(bc, caption_);
  Canvas().CopyRect(client, bc, client);
}

void TthCustomButton::PaintFace(TCanvas& canvas, TBitmap& stateImage) {
  if (stateImage.Empty()) return;
  TRect src(0, 0, stateImage.Width(), stateImage.Height());
  TColor key = paintTransparent_ ? stateImage.Pixel(0, 0) : clNone;
  if (!Enabled()) DrawGreyed(canvas, stateImage, src, {0, 0}, key);
  else canvas.CopyTransparent(src, stateImage, src, key);
}

void TthCustomButton::PaintFocus(TCanvas& canvas) {
  int m = focusedRectMargin_;
  canvas.DrawFocusRect(TRect(m, m, ClientWidth() - m, ClientHeight() - m));
}

void TthCustomButton::PaintCaption(TCanvas& canvas, const std::string& caption) {
  canvas.Brush().Style = TBrushStyle::bsClear;
  TRect r = ClientRect();
  canvas.Font().Assign(Font());
  if (boldCaption_) canvas.Font().SetStyle(canvas.Font().Style() | fsBold);
  const unsigned flags = DT_SINGLELINE | DT_CENTER | DT_VCENTER;
  if (!Enabled()) {
    r = r.Offset(1, 1);
    canvas.Font().SetColor(clWhite);
    canvas.DrawText(caption, r, flags);
    r = ClientRect();
    canvas.Font().SetColor(clGray);
  } else if (down_) {
    r = r.Offset(1, 1);
  }
  canvas.DrawText(caption, r, flags);
  boldCaption_ = false;
}

// ---------------------------------------------------------------------------------------------
// TthButton

TthButton::TthButton(TComponent* owner) : TthCustomButton(owner), glyph_(std::make_unique<TBitmap>()) {
  SetBounds(Left(), Top(), 80, 27);
  SetUIStyle(TthUIStyle::DeepBlue);
}

void TthButton::SetGlyph(const TBitmap& glyph) {
  if (&glyph != glyph_.get()) glyph_->Assign(glyph);
  Invalidate();
}

void TthButton::UIStyleChanged() {
  TthResolvedStyle r = ResolveStyle(fileTheme_, uiStyle_);
  SetTransparent(r.useFile ? fileTheme_->BoolOf(ThemeElement(thButtonTransparentBool)->key)
                           : ThemeFlagOf(r.style, thButtonTransparentBool));
}

void TthButton::PaintFace(TCanvas& canvas, TBitmap& stateImage) {
  canvas.Font().Assign(Font());
  DrawSlicedImage(stateImage, canvas, ClientRect(), paintTransparent_);
  if (glyph_->Empty()) return;
  TSize text = canvas.TextExtent(caption_);
  const int tw = text.cx, th = text.cy;
  int gw = glyph_->Width(), gh = glyph_->Height();
  const bool twoImages = gw == 2 * gh;
  if (twoImages) gw = gh;
  const int W = Width(), H = Height(), S = spacing_;
  int gx = 0, gy = 0;
  switch (layout_) {
    case TButtonLayout::blGlyphLeft:
      gx = (W - gw - tw - S) / 2;
      gy = (H - gh) / 2;
      textOrigin_ = {gx + gw + S, (H - th) / 2};
      break;
    case TButtonLayout::blGlyphRight:
      gx = (W + tw + S - gw) / 2;
      gy = (H - gh) / 2;
      textOrigin_ = {gx - tw - S, (H - th) / 2};
      break;
    case TButtonLayout::blGlyphTop:
      gx = (W - gw) / 2;
      gy = (H - th - gh - S) / 2;
      textOrigin_ = {(W - tw) / 2, gy + gh + S};
      break;
    case TButtonLayout::blGlyphBottom:
      gx = (W - gw) / 2;
      gy = (H + th + S - gh) / 2;
      textOrigin_ = {(W - tw) / 2, gy - th - S};
      break;
  }
  if (down_) {
    ++gx;
    ++gy;
  }
  const TColor key = glyph_->Pixel(0, 0);
  TRect first(0, 0, gw, gh);
  if (!twoImages) {
    if (Enabled()) canvas.CopyTransparent(Bounds(gx, gy, gw, gh), *glyph_, first, key);
    else DrawGreyed(canvas, *glyph_, first, {gx, gy}, key);
  } else {
    TRect src = Enabled() ? first : first.Offset(gw, 0);
    canvas.CopyTransparent(Bounds(gx, gy, gw, gh), *glyph_, src, key);
  }
}

void TthButton::PaintFocus(TCanvas& canvas) {
  if (uiStyle_ == TthUIStyle::MacOS || uiStyle_ == TthUIStyle::BlueGlass) {
    boldCaption_ = true;  // the focused caption is drawn bold instead of a focus rectangle
    return;
  }
  TthCustomButton::PaintFocus(canvas);
}

void TthButton::PaintCaption(TCanvas& canvas, const std::string& caption) {
  if (glyph_->Empty()) {
    TthCustomButton::PaintCaption(canvas, caption);
    return;
  }
  canvas.Brush().Style = TBrushStyle::bsClear;
  canvas.Font().Assign(Font());
  if (boldCaption_) canvas.Font().SetStyle(canvas.Font().Style() | fsBold);
  TPoint o = textOrigin_;
  const int W = Width(), H = Height();
  if (!Enabled()) {
    canvas.Font().SetColor(clWhite);
    TRect shadow(o.X + 1, o.Y + 1, W, H);
    canvas.DrawText(caption, shadow, DT_SINGLELINE);
    canvas.Font().SetColor(clGray);
  } else if (down_) {
    o = {o.X + 1, o.Y + 1};
  }
  TRect r(o.X, o.Y, W, H);
  canvas.DrawText(caption, r, DT_SINGLELINE);
  boldCaption_ = false;
}

const char* ButtonLayoutName(TButtonLayout l) {
  switch (l) {
    case TButtonLayout::blGlyphRight: return "blGlyphRight";
    case TButtonLayout::blGlyphTop: return "blGlyphTop";
    case TButtonLayout::blGlyphBottom: return "blGlyphBottom";
    default: return "blGlyphLeft";
  }
}

}  // namespace corvane
