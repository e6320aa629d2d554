// Drawing from skin pictures: a picture rectangle with its corner points and client rectangle
// composed into a surface of any larger size, window regions from mask pictures, three-part
// strips, arrows, text shortening, the screen work area and the layered-window alpha. The hint
// window, the form frame and the menus are drawn with these.
#pragma once

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/graphics/Graphics.h"

namespace corvane {

class TWinControl;

// A skinned surface as the picture holds it: the skin rectangle, the corner points and the client
// rectangle (both relative to the skin rectangle's top-left corner) and the stretch flags.
struct TskSkinGeometry {
  TRect Rect;
  TPoint LT, RT, LB, RB;
  TRect Cl;
  bool LeftStretch = false, TopStretch = false, RightStretch = false, BottomStretch = false;
};

// The same surface at a new size: the left and top border stay, the right and bottom border move
// with the size.
struct TskGrownGeometry {
  int W = 0, H = 0;
  TPoint LT, RT, LB, RB;
  TRect Cl;
};
// The geometry of `g` grown to w x h (never smaller than the skin rectangle in practice).
TskGrownGeometry GrowGeometry(const TskSkinGeometry& g, int w, int h);

// Lays a middle of length d from p0 to p1: tile k starts at p0 + k*d and copies the first
// d - overhang pixels, so the last one is cut at p1. Calls fn(start, length) for each tile that
// copies something; a length of 0 or less lays nothing.
template <class Fn>
void TileMiddle(int p0, int p1, int d, Fn&& fn) {
  if (d <= 0) return;
  const int n = (p1 - p0) / d;
  for (int k = 0; k <= n; ++k) {
    const int start = p0 + k * d;
    const int ov = std::max(0, p0 + (k + 1) * d - p1);
    if (d - ov > 0) fn(start, d - ov);
  }
}

// Composes the whole surface into `dest` (resized to n.W x n.H): the four middles tiled (or
// scaled where the stretch flag is on), the eight corner parts copied, and with `drawClient` the
// client area tiled. Nothing is drawn when the picture is empty or the corner points leave no
// middle (RB.X = LT.X or RB.Y = LT.Y).
void BuildFrameBitmap(TBitmap& picture, const TskSkinGeometry& g, const TskGrownGeometry& n, bool drawClient,
                      TBitmap& dest);

// The four borders of a surface as separate bitmaps: top, bottom, left, right. A border that is not
// built is left empty (0 x 0).
struct TskBorderBitmaps {
  TBitmap Top, Bottom, Left, Right;
};

// The form frame's four borders from the picture, for the size n: the top and bottom ones span the
// whole width, the left and right ones the height between them (the frame draws them at (0, 0),
// (0, top height), (W - right width, top height) and (0, H - bottom height)). The repeated middles
// start at each bitmap's own start and the corners are drawn over them. A border without
// thickness, or whose middle has no length in the picture, is not built.
void BuildBorderBitmaps(TBitmap& picture, const TskSkinGeometry& g, const TskGrownGeometry& n, TskBorderBitmaps& out);

// The four mask borders of a surface (tiling only): top, bottom, left, right. A border that has no
// thickness is left empty (0 x 0).
using TskMaskBorders = TskBorderBitmaps;
void BuildMaskBorderBitmaps(TBitmap& mask, const TskSkinGeometry& g, const TRect& area, const TskGrownGeometry& n,
                            const TRect& newArea, TskMaskBorders& out);

// The glyphs of the default caption buttons, one pixel wide in colour c, drawn from the origin
// (x, y) into a box of about 11 x 10 pixels.
void DrawCloseGlyph(TCanvas& canvas, int x, int y, TColor c);
void DrawSysMenuGlyph(TCanvas& canvas, int x, int y, TColor c);
void DrawMinimizeGlyph(TCanvas& canvas, int x, int y, TColor c);
void DrawMaximizeGlyph(TCanvas& canvas, int x, int y, TColor c);
void DrawRestoreGlyph(TCanvas& canvas, int x, int y, TColor c);
void DrawRollDownGlyph(TCanvas& canvas, int x, int y, TColor c);
void DrawRollUpGlyph(TCanvas& canvas, int x, int y, TColor c);
void DrawTrayGlyph(TCanvas& canvas, int x, int y, TColor c);

// The black pixels of a bitmap as one rectangle per run and row (scan order), offset by (ox, oy),
// and the bounding rectangle (ox, oy, ox + width, oy + height). Every pixel that is not pure
// black lies outside.
struct TskMaskRuns {
  std::vector<TRect> Rects;
  TRect Bounds;
};
TskMaskRuns MaskRunRects(const TBitmap& bitmap, int ox, int oy);
// The region of a mask's black pixels.
TRegion MaskRegion(const TBitmap& mask);
// The window region of a surface from its mask picture: the new client rectangle and the black
// pixels of the four mask borders. Null when the new corner points are inverted or the new client
// rectangle is empty.
std::unique_ptr<TRegion> FrameMaskRegion(TBitmap& mask, const TskSkinGeometry& g, const TskGrownGeometry& n);

// A new strip `newWidth` wide and as high as `src` (what `out` held before is dropped): the left
// cap (lc columns of src) at the left, the right cap (rc columns) at the right, the columns
// between tiled from the left cap on. A middle of no width is taken as one column wide.
void BuildHorzStrip(TBitmap& picture, const TRect& src, int lc, int rc, int newWidth, TBitmap& out);
// The same upright: as wide as `src` and `newHeight` high, the top cap (tc rows) at the top, the
// bottom cap (bc rows) at the bottom, the rows between tiled. A middle of no height lays nothing.
void BuildVertStrip(TBitmap& picture, const TRect& src, int tc, int bc, int newHeight, TBitmap& out);

// A small arrow (seven pixels across at its base) centred in r: direction 1 points left, 2 right,
// 3 up, 4 down; any other direction draws nothing. Drawn with the canvas pen in colour c.
void DrawArrowGlyph(TCanvas& canvas, const TRect& r, TColor c, int direction);

// The text as it fits `limit` pixels in the canvas font: unchanged when it fits, else cut after
// the last whole character that leaves room for "..." and followed by it ("..." alone when no
// character fits).
std::string FitTextWidth(TCanvas& canvas, const std::string& text, int limit);

// The screen area of the monitor nearest to the window: its work area (what panels leave free)
// when `workArea` is set, else the monitor's whole rectangle.
TRect ScreenWorkRect(const TWinControl& window, bool workArea = true);

// Sets the constant alpha (0..255) of a window that has the layered style.
void ApplyLayeredAlpha(TWinControl& window, int alpha);
// Whether windows can be made translucent with a constant alpha: on this platform exactly when a
// compositing manager runs on the display (without one a window's alpha does not show, and the
// alpha effects are left off rather than drawn opaque with extra work).
bool LayeringAvailable();
// Whether tool windows such as hints and menus ask the platform for a drop shadow. Windows here
// have no shadow style of their own (a compositing manager adds shadows by its own rules), so
// they never ask.
bool IsVersion51();

}  // namespace corvane
