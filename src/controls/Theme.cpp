#include "controls/Theme.h"

#include <algorithm>
#include <cstring>

#include "controls/FileTheme.h"

namespace corvane {

namespace {

using K = TthElementKind;

// One row per element; values and names are in style order MacOS, WinXP, DeepBlue, Protein,
// BlueGlass.
const TthThemeElement kCatalogue[thElementCount] = {
    {1, "ButtonImage", K::Image, "_BUTTON", {}, {}},
    {2, "ButtonTransparentBool", K::Bool, nullptr, {}, {1, 0, 0, 0, 1}},
    {3, "CheckBoxImage", K::Image, "_CHECKBOX", {}, {}},
    {4, "RadioButtonImage", K::Image, "_RADIOBUTTON", {}, {}},
    {5, "TitleBarButtonImage", K::Image, "_TITLEBTN", {}, {}},
    {6, "TitleBarButtonTransparentBool", K::Bool, nullptr, {}, {0, 0, 0, 1, 1}},
    {7, "TitleBarButtonLeftOffsetInt", K::Int, nullptr, {}, {3, 2, 0, 0, 4}},
    {8, "TitleBarButtonRightOffsetInt", K::Int, nullptr, {}, {-2, -2, 0, 0, -3}},
    {9, "TitleBarButtonTopInt", K::Int, nullptr, {}, {4, 5, 2, 2, 6}},
    {10, "TitleBarLeftImage", K::Image, "_TITLE_LEFT", {}, {}},
    {11, "TitleBarClientImage", K::Image, "_TITLE_CLIENT", {}, {}},
    {12, "TitleBarRightImage", K::Image, "_TITLE_RIGHT", {}, {}},
    {13, "FormMinWidthInt", K::Int, nullptr, {}, {130, 150, 130, 130, 270}},
    {14, "FormRoundCornerInt", K::Int, nullptr, {}, {0, 13, 0, 0, 11}},
    {15, "FormBackgroundColor", K::Color, nullptr, {}, {0xE7E7E7, 0xDEEBEF, 0xE8E8E8, 0xFBFBFB, 0xE7E7E7}},
    {16, "FormBorderColor", K::Color, nullptr, {}, {0x7F7F7F, 0xC82C00, 0x000000, 0x000000, 0x000000}},
    {17, "FormBorderWidthInt", K::Int, nullptr, {}, {1, 3, 1, 1, 1}},
    {18, "MenuSelectedBorderColor", K::Color, nullptr, {}, {0xC47339, 0xC66931, 0xA04A44, 0xC4302D, 0xEC5E5E}},
    {19, "MenuSelectedBackgroundColor", K::Color, nullptr, {}, {0xC47339, 0xEFD3C6, 0xA04A44, 0xC4302D, 0xEC5E5E}},
    {20, "MenuSelectedFontColor", K::Color, nullptr, {}, {0xFFFFFF, 0x000000, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF}},
    {21, "MenuBackgroundColor", K::Color, nullptr, {}, {0x000000, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xE7E7E7}},
    {22, "MenuFontColor", K::Color, nullptr, {}, {0x000000, 0x000000, 0x000000, 0x000000, 0x000000}},
    {23, "MenuBarColor", K::Color, nullptr, {}, {0x000000, 0xCED3D6, 0xCED3D6, 0xCED3D6, 0xCED3D6}},
    {24, "ProgressBarImage", K::Image, "_PROGRESSBAR", {}, {}},
    {25, "ControlBorderColor", K::Color, nullptr, {}, {0x7F7F7F, 0x686868, 0x000000, 0x000000, 0x000000}},
    {26, "ControlBackgroundColor", K::Color, nullptr, {}, {0xE7E7E7, 0xDEEBEF, 0xE8E8E8, 0xFBFBFB, 0xE7E7E7}},
    {27, "ControlFontColor", K::Color, nullptr, {}, {0x000000, 0xCF4602, 0x000000, 0x000000, 0x000000}},
    {28, "TrackBarBarImage", K::Image, "_TRACKBAR_BAR", {}, {}},
    {29, "TrackBarSliderImage", K::Image, "_TRACKBAR_SLIDER", {}, {}},
    {30, "TrackBarSliderVImage", K::Image, "_TRACKBAR_SLIDER_V", {}, {}},
    {31, "ScrollBarBackgroundColor", K::Color, nullptr, {}, {0xC9C9C9, 0xF9F9F9, 0xF5F5F5, 0xF5F5F5, 0xF4F4F4}},
    {32, "ScrollBarButtonImage", K::Image, "_SCROLLBAR_BUTTON", {}, {}},
    {33, "ScrollBarSliderImage", K::Image, "_SCROLLBAR_TRACK", {}, {}},
    {34, "CheckListBoxImage", K::Image, "_CHECKLIST", {}, {}},
    {35, "ToolBarButtonBorderColor", K::Color, nullptr, {}, {0x474747, 0xC66931, 0x474747, 0x474747, 0x474747}},
    {36, "ToolBarButtonBackgroundColor", K::Color, nullptr, {}, {0xEFEFEF, 0xEFD3C6, 0xEFEFEF, 0xEFEFEF, 0xEFEFEF}},
    {37, "ToolBarButtonDownBackgroundColor", K::Color, nullptr, {}, {0xD8D8D8, 0xE1AC93, 0xD8D8D8, 0xD8D8D8, 0xD8D8D8}},
    {38, "ScrollButtonImage", K::Image, nullptr,
     {"MACOS_SCROLLBUTTON", "WINXP_SCROLLBUTTON", "MORE_SCROLLBUTTON", "MORE_SCROLLBUTTON", "MORE_SCROLLBUTTON"}, {}},
    {39, "TabControlTabImage", K::Image, "_TAB", {}, {}},
    {40, "TabControlBarImage", K::Image, "_TAB_LINE", {}, {}},
    {41, "SideChannelHandleImage", K::Image, "_SIDECHENNEL_HANDLE", {}, {}},
    {42, "SideChannelBarImage", K::Image, "_SIDECHENNEL_BAR", {}, {}},
};

bool IsBuiltIn(TthUIStyle style) {
  auto v = static_cast<int>(style);
  return v >= 1 && v <= 5;
}

// The catalogue value of an element of the given kind for a built-in style.
const int32_t* BuiltInValue(TthUIStyle style, int element, TthElementKind kind) {
  const TthThemeElement* e = ThemeElement(element);
  if (!e || e->kind != kind || !IsBuiltIn(style)) return nullptr;
  return &e->values[static_cast<int>(style) - 1];
}

}  // namespace

const char* UIStyleName(TthUIStyle style) {
  switch (style) {
    case TthUIStyle::FromThemeFile: return "FromThemeFile";
    case TthUIStyle::MacOS: return "MacOS";
    case TthUIStyle::WinXP: return "WinXP";
    case TthUIStyle::DeepBlue: return "DeepBlue";
    case TthUIStyle::Protein: return "Protein";
    case TthUIStyle::BlueGlass: return "BlueGlass";
  }
  return "";
}

std::optional<TthUIStyle> UIStyleFromName(const std::string& name) {
  for (int v = 0; v <= 5; ++v)
    if (name == UIStyleName(static_cast<TthUIStyle>(v))) return static_cast<TthUIStyle>(v);
  return std::nullopt;
}

const TthThemeElement* ThemeElement(int number) {
  if (number < 1 || number > thElementCount) return nullptr;
  return &kCatalogue[number - 1];
}

const TthThemeElement* ThemeElementByKey(const std::string& key) {
  for (const TthThemeElement& e : kCatalogue)
    if (key == e.key) return &e;
  return nullptr;
}

std::string StylePrefix(TthUIStyle style) {
  switch (style) {
    case TthUIStyle::MacOS: return "MACOS";
    case TthUIStyle::WinXP: return "WINXP";
    case TthUIStyle::DeepBlue: return "DEEPBLUE";
    case TthUIStyle::Protein: return "PROTEIN";
    case TthUIStyle::BlueGlass: return "BLUEGLASS";
    default: return "";
  }
}

std::string ThemeImageName(TthUIStyle style, int element) {
  const TthThemeElement* e = ThemeElement(element);
  if (!e || e->kind != TthElementKind::Image || !IsBuiltIn(style)) return "";
  if (!e->suffix) return e->fixedNames[static_cast<int>(style) - 1];
  return StylePrefix(style) + e->suffix;
}

TthResolvedStyle ResolveStyle(const TthFileTheme* fileTheme, TthUIStyle style) {
  if (style != TthUIStyle::FromThemeFile) return {false, style};
  if (fileTheme && fileTheme->IsLoaded()) return {true, TthUIStyle::DeepBlue};
  return {false, TthUIStyle::DeepBlue};
}

// Cuts the requested frame out of a whole image held in `whole`, or hands the whole image over.
static void TakeFrame(TBitmap& whole, TBitmap& target, int frameCount, int frameIndex) {
  if (frameCount <= 0) {
    target.Assign(whole);
    return;
  }
  CutFrame(whole, target, frameCount, frameIndex);
}

void ThemeImageOf(TthUIStyle style, int element, TBitmap& target, int frameCount, int frameIndex) {
  target.Clear();
  std::string name = ThemeImageName(style, element);
  if (name.empty()) return;
  TBitmap whole;
  if (!whole.LoadFromResourceName(name)) return;
  TakeFrame(whole, target, frameCount, frameIndex);
}

void ThemeImageOf(const TthFileTheme& fileTheme, int element, TBitmap& target, int frameCount, int frameIndex) {
  target.Clear();
  const TthThemeElement* e = ThemeElement(element);
  if (!e || e->kind != TthElementKind::Image) return;
  TBitmap whole;
  if (!fileTheme.ImageOf(e->key, whole)) return;
  TakeFrame(whole, target, frameCount, frameIndex);
}

void ThemeImageOf(const TthFileTheme* fileTheme, TthUIStyle style, int element, TBitmap& target, int frameCount,
                  int frameIndex) {
  TthResolvedStyle r = ResolveStyle(fileTheme, style);
  if (r.useFile) ThemeImageOf(*fileTheme, element, target, frameCount, frameIndex);
  else ThemeImageOf(r.style, element, target, frameCount, frameIndex);
}

bool ThemeFlagOf(TthUIStyle style, int element) {
  const int32_t* v = BuiltInValue(style, element, TthElementKind::Bool);
  return v && *v != 0;
}

TColor ThemeColorOf(TthUIStyle style, int element) {
  const int32_t* v = BuiltInValue(style, element, TthElementKind::Color);
  return v ? static_cast<TColor>(*v) : 0;
}

int ThemeIntOf(TthUIStyle style, int element) {
  const int32_t* v = BuiltInValue(style, element, TthElementKind::Int);
  return v ? *v : -1;
}

void CutFrame(const TBitmap& strip, TBitmap& target, int count, int index) {
  if (&strip == &target) {
    TBitmap copy;
    copy.Assign(strip);
    CutFrame(copy, target, count, index);
    return;
  }
  target.Clear();
  if (count < 1) return;
  int fw = strip.Width() / count;
  int h = strip.Height();
  target.SetSize(fw, h);
  if (fw <= 0 || h <= 0 || index < 1 || index > count) return;
  int x0 = (index - 1) * fw;
  for (int y = 0; y < h; ++y) {
    const uint32_t* s = strip.ScanLine(y) + x0;
    std::copy(s, s + fw, target.ScanLine(y));
  }
}

// ---------------------------------------------------------------------------------------------
// Nine-slice drawing

namespace {

TRect Clip(const TRect& r, int w, int h) {
  TRect c(std::max(r.Left, 0), std::max(r.Top, 0), std::min(r.Right, w), std::min(r.Bottom, h));
  if (c.Right < c.Left) c.Right = c.Left;
  if (c.Bottom < c.Top) c.Bottom = c.Top;
  return c;
}

// Copies `src` of the image into a fresh bitmap of that size (the piece's temporary bitmap).
bool CopyPiece(const TBitmap& image, const TRect& src, TBitmap& piece) {
  TRect s = Clip(src, image.Width(), image.Height());
  if (s.IsEmpty()) return false;
  piece.SetSize(s.Width(), s.Height());
  for (int y = 0; y < s.Height(); ++y) {
    const uint32_t* from = image.ScanLine(s.Top + y) + s.Left;
    std::copy(from, from + s.Width(), piece.ScanLine(y));
  }
  return true;
}

// A corner: drawn unscaled at `at`, key-colour pixels left out only when asked.
void DrawCorner(const TBitmap& image, TCanvas& canvas, const TRect& src, TPoint at, bool transparent) {
  TBitmap piece;
  if (!CopyPiece(image, src, piece)) return;
  TRect dest = Bounds(at.X, at.Y, piece.Width(), piece.Height());
  TRect all(0, 0, piece.Width(), piece.Height());
  canvas.CopyTransparent(dest, piece, all, transparent ? thKeyColor : clNone);
}

// An edge or the centre: stretched by pixel replication into dest, key colour always left out.
void DrawStretched(const TBitmap& image, TCanvas& canvas, const TRect& src, const TRect& dest) {
  if (dest.IsEmpty()) return;
  TBitmap piece;
  if (!CopyPiece(image, src, piece)) return;
  canvas.CopyTransparent(dest, piece, TRect(0, 0, piece.Width(), piece.Height()), thKeyColor);
}

}  // namespace

void DrawSlicedImage(const TBitmap& image, TCanvas& canvas, const TRect& r, bool transparentCorners) {
  const int W = image.Width(), H = image.Height();
  if (W <= 0 || H <= 0) return;
  const int w = r.Right - r.Left, h = r.Bottom - r.Top;
  const int hw = W / 2, hh = H / 2, tw = w / 2, th = h / 2;
  const int right = r.Right, bottom = r.Bottom;
  auto nonNeg = [](int v) { return std::max(v, 0); };

  // 1. Top-left corner.
  int cw = nonNeg(std::min(hw, tw)), ch = nonNeg(std::min(hh, th));
  TRect LT(0, 0, cw, ch);
  if (cw > 0 && ch > 0) DrawCorner(image, canvas, TRect(0, 0, cw, ch), {0, 0}, transparentCorners);
  else LT = TRect(0, 0, 0, 0);

  // 2. Bottom-left corner: the bottom-left part of (0, H - hh + 1, hw, H).
  cw = nonNeg(std::min(hw, tw));
  ch = nonNeg(std::min(hh - 1, th - 1));
  TRect LB(0, bottom - ch, cw, bottom);
  if (cw > 0 && ch > 0) DrawCorner(image, canvas, TRect(0, H - ch, cw, H), {0, bottom - ch}, transparentCorners);
  else LB = TRect(0, bottom, 0, bottom);

  // 3. Left edge: source (0, hh, hw, H - hh), keeping its left part when the edge is narrower.
  {
    TRect dest(0, LT.Bottom, LT.Right, LB.Top);
    TRect src(0, hh, std::min(hw, dest.Width()), H - hh);
    DrawStretched(image, canvas, src, dest);
  }

  // 4. Top-right corner: the top-right part of (W - hw + 1, 0, W, hh).
  cw = nonNeg(std::min(hw - 1, tw - 1));
  ch = nonNeg(std::min(hh, th));
  TRect TR(right - cw, 0, right, ch);
  if (cw > 0 && ch > 0) DrawCorner(image, canvas, TRect(W - cw, 0, W, ch), {right - cw, 0}, transparentCorners);
  else TR = TRect(right, 0, right, 0);

  // 5. Bottom-right corner: the bottom-right part of (W - hw + 1, H - hh + 1, W, H).
  cw = nonNeg(std::min(hw - 1, tw - 1));
  ch = nonNeg(std::min(hh - 1, th - 1));
  TRect RB(right - cw, bottom - ch, right, bottom);
  if (cw > 0 && ch > 0)
    DrawCorner(image, canvas, TRect(W - cw, H - ch, W, H), {right - cw, bottom - ch}, transparentCorners);
  else RB = TRect(right, bottom, right, bottom);

  // 6. Right edge: source (W - hw + 1, H - hh, W, hh + 2), keeping its right part.
  {
    TRect dest(TR.Left, TR.Bottom, TR.Right, RB.Top);
    TRect src(W - hw + 1, H - hh, W, hh + 2);
    if (dest.Width() < src.Width()) src.Left = src.Right - std::max(dest.Width(), 0);
    DrawStretched(image, canvas, src, dest);
  }

  // 7. Top edge: source (hw, 0, W - hw + 1, hh), keeping its top part.
  {
    TRect dest(LT.Right, 0, TR.Left, LT.Bottom);
    TRect src(hw, 0, W - hw + 1, hh);
    if (dest.Height() < src.Height()) src.Bottom = src.Top + std::max(dest.Height(), 0);
    DrawStretched(image, canvas, src, dest);
  }

  // 8. Centre.
  DrawStretched(image, canvas, TRect(hw, hh, W - hw + 1, H - hh), TRect(LT.Right, LT.Bottom, TR.Left, RB.Top - 1));

  // 9. Bottom edge: source (hw, H - hh, W - hw + 1, H), keeping its bottom part.
  {
    TRect dest(LT.Right - 1, LB.Top - 1, RB.Left, RB.Bottom);
    TRect src(hw, H - hh, W - hw + 1, H);
    if (dest.Height() < src.Height()) src.Top = src.Bottom - std::max(dest.Height(), 0);
    DrawStretched(image, canvas, src, dest);
  }
}

// ---------------------------------------------------------------------------------------------

void PaintParentBackground(TCanvas& canvas, const TControl& control) {
  TWinControl* parent = control.Parent();
  if (!parent) return;
  canvas.SaveState();
  canvas.SetOrigin(-control.Left(), -control.Top());
  canvas.IntersectClip(TRect(0, 0, parent->ClientWidth(), parent->ClientHeight()));
  // Erase and paint of the parent itself (its graphic children included, windowed ones not).
  parent->PaintTo(canvas);
  canvas.RestoreState();
}

void TileGraphic(TCanvas& canvas, const TGraphic& graphic, const TRect& r) {
  const int pw = graphic.Width(), ph = graphic.Height();
  if (pw <= 0 || ph <= 0) return;
  const int w = r.Right - r.Left, h = r.Bottom - r.Top;
  for (int x = 0; x < w + pw; x += pw)
    for (int y = 0; y < h + ph; y += ph) canvas.Draw(x, y, graphic);
}

}  // namespace corvane
