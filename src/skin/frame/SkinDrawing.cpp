#include "skin/frame/SkinDrawing.h"

#include "platform/windows/Controls.h"
#include "platform/windows/Forms.h"

namespace corvane {

namespace {

// Copies src of the picture into dest of the bitmap (scaling when the sizes differ); empty
// rectangles copy nothing.
void Copy(TBitmap& dest, const TRect& d, TBitmap& picture, const TRect& s) {
  if (d.IsEmpty() || s.IsEmpty()) return;
  dest.Canvas().CopyRect(d, picture.Canvas(), s);
}

}  // namespace

TskGrownGeometry GrowGeometry(const TskSkinGeometry& g, int w, int h) {
  const int dw = w - g.Rect.Width(), dh = h - g.Rect.Height();
  TskGrownGeometry n;
  n.W = w;
  n.H = h;
  n.LT = g.LT;
  n.RT = {g.RT.X + dw, g.RT.Y};
  n.LB = {g.LB.X, g.LB.Y + dh};
  n.RB = {g.RB.X + dw, g.RB.Y + dh};
  n.Cl = {g.Cl.Left, g.Cl.Top, g.Cl.Right + dw, g.Cl.Bottom + dh};
  return n;
}

void BuildFrameBitmap(TBitmap& p, const TskSkinGeometry& g, const TskGrownGeometry& n, bool drawClient,
                      TBitmap& dest) {
  dest.SetSize(n.W, n.H);
  if (g.RB.X == g.LT.X || g.RB.Y == g.LT.Y || p.Empty()) return;
  const int L = g.Rect.Left, T = g.Rect.Top, R = g.Rect.Right, B = g.Rect.Bottom;
  const TPoint LT = g.LT, RT = g.RT, LB = g.LB, RB = g.RB;
  const TRect Cl = g.Cl, nCl = n.Cl;
  const int W = n.W, H = n.H;

  // Top middle.
  if (g.TopStretch) {
    Copy(dest, {n.LT.X, 0, n.RT.X, nCl.Top}, p, {L + LT.X, T, L + RT.X, T + Cl.Top});
  } else {
    TileMiddle(n.LT.X, n.RT.X, RT.X - LT.X, [&](int x, int len) {
      Copy(dest, {x, 0, x + len, nCl.Top}, p, {L + LT.X, T, L + LT.X + len, T + Cl.Top});
    });
  }
  // Bottom middle.
  if (g.BottomStretch) {
    Copy(dest, {n.LB.X, nCl.Bottom, n.RB.X, H}, p, {L + LB.X, T + Cl.Bottom, L + RB.X, B});
  } else {
    TileMiddle(n.LB.X, n.RB.X, RB.X - LB.X, [&](int x, int len) {
      Copy(dest, {x, nCl.Bottom, x + len, H}, p, {L + LB.X, T + Cl.Bottom, L + LB.X + len, B});
    });
  }
  // Left middle.
  if (g.LeftStretch) {
    Copy(dest, {0, n.LT.Y, nCl.Left, n.LB.Y}, p, {L, T + LT.Y, L + Cl.Left, T + LB.Y});
  } else {
    TileMiddle(n.LT.Y, n.LB.Y, LB.Y - LT.Y, [&](int y, int len) {
      Copy(dest, {0, y, nCl.Left, y + len}, p, {L, T + LT.Y, L + Cl.Left, T + LT.Y + len});
    });
  }
  // Right middle.
  if (g.RightStretch) {
    Copy(dest, {nCl.Right, n.RT.Y, W, n.RB.Y}, p, {L + Cl.Right, T + RT.Y, R, T + RB.Y});
  } else {
    TileMiddle(n.RT.Y, n.RB.Y, RB.Y - RT.Y, [&](int y, int len) {
      Copy(dest, {nCl.Right, y, W, y + len}, p, {L + Cl.Right, T + RT.Y, R, T + RT.Y + len});
    });
  }
  // The eight corner parts.
  Copy(dest, {0, 0, n.LT.X, nCl.Top}, p, {L, T, L + LT.X, T + Cl.Top});
  Copy(dest, {0, nCl.Top, nCl.Left, n.LT.Y}, p, {L, T + Cl.Top, L + Cl.Left, T + LT.Y});
  Copy(dest, {n.RT.X, 0, W, nCl.Top}, p, {L + RT.X, T, R, T + Cl.Top});
  Copy(dest, {nCl.Right, nCl.Top, W, n.RT.Y}, p, {L + Cl.Right, T + Cl.Top, R, T + RT.Y});
  Copy(dest, {0, n.LB.Y, nCl.Left, H}, p, {L, T + LB.Y, L + Cl.Left, B});
  Copy(dest, {nCl.Left, nCl.Bottom, n.LB.X, H}, p, {L + Cl.Left, T + Cl.Bottom, L + LB.X, B});
  Copy(dest, {n.RB.X, nCl.Bottom, W, H}, p, {L + RB.X, T + Cl.Bottom, R, B});
  Copy(dest, {nCl.Right, n.RB.Y, W, nCl.Bottom}, p, {L + Cl.Right, T + RB.Y, R, T + Cl.Bottom});

  // The client area, tiled from its top-left corner.
  const int cw = Cl.Width(), ch = Cl.Height();
  if (!drawClient || cw <= 0 || ch <= 0) return;
  for (int k = 0; k <= nCl.Width() / cw; ++k) {
    const int ovx = std::max(0, (k + 1) * cw - nCl.Width());
    for (int m = 0; m <= nCl.Height() / ch; ++m) {
      const int ovy = std::max(0, (m + 1) * ch - nCl.Height());
      const int x = nCl.Left + k * cw, y = nCl.Top + m * ch;
      Copy(dest, {x, y, x + cw - ovx, y + ch - ovy}, p,
           {L + Cl.Left, T + Cl.Top, L + Cl.Left + cw - ovx, T + Cl.Top + ch - ovy});
    }
  }
}

void BuildBorderBitmaps(TBitmap& p, const TskSkinGeometry& g, const TskGrownGeometry& n, TskBorderBitmaps& out) {
  for (TBitmap* b : {&out.Top, &out.Bottom, &out.Left, &out.Right}) b->Clear();
  const int L = g.Rect.Left, T = g.Rect.Top, R = g.Rect.Right, B = g.Rect.Bottom;
  const TPoint LT = g.LT, RT = g.RT, LB = g.LB, RB = g.RB;
  const TRect Cl = g.Cl, nCl = n.Cl;
  const int W = n.W, H = n.H;
  const int tH = nCl.Top, bH = H - nCl.Bottom, lW = nCl.Left, rW = W - nCl.Right;
  const int dTop = RT.X - LT.X, dBottom = RB.X - LB.X, dLeft = LB.Y - LT.Y, dRight = RB.Y - RT.Y;

  if (W > 0 && tH > 0 && dTop > 0) {
    TBitmap& b = out.Top;
    b.SetSize(W, tH);
    if (g.TopStretch) {
      Copy(b, {n.LT.X, 0, n.RT.X, tH}, p, {L + LT.X, T, L + RT.X, T + tH});
    } else {
      TileMiddle(0, W, dTop, [&](int x, int len) { Copy(b, {x, 0, x + len, tH}, p, {L + LT.X, T, L + LT.X + len, T + tH}); });
    }
    Copy(b, {0, 0, n.LT.X, tH}, p, {L, T, L + LT.X, T + tH});
    Copy(b, {n.RT.X, 0, W, tH}, p, {L + RT.X, T, R, T + tH});
  }
  if (W > 0 && bH > 0 && dBottom > 0) {
    TBitmap& b = out.Bottom;
    b.SetSize(W, bH);
    if (g.BottomStretch) {
      Copy(b, {n.LB.X, 0, n.RB.X, bH}, p, {L + LB.X, B - bH, L + RB.X, B});
    } else {
      TileMiddle(0, W, dBottom, [&](int x, int len) { Copy(b, {x, 0, x + len, bH}, p, {L + LB.X, B - bH, L + LB.X + len, B}); });
    }
    Copy(b, {0, 0, n.LB.X, bH}, p, {L, B - bH, L + LB.X, B});
    Copy(b, {n.RB.X, 0, W, bH}, p, {L + RB.X, B - bH, R, B});
  }
  const int h = H - out.Top.Height() - out.Bottom.Height();
  const int topCap = LT.Y - Cl.Top, bottomCap = Cl.Bottom - LB.Y;
  if (lW > 0 && h > 0 && dLeft > 0) {
    TBitmap& b = out.Left;
    b.SetSize(lW, h);
    if (g.LeftStretch) {
      Copy(b, {0, topCap, lW, h - bottomCap}, p, {L, T + LT.Y, L + lW, T + LB.Y});
    } else {
      TileMiddle(0, h, dLeft, [&](int y, int len) { Copy(b, {0, y, lW, y + len}, p, {L, T + LT.Y, L + lW, T + LT.Y + len}); });
    }
    if (topCap > 0) Copy(b, {0, 0, lW, topCap}, p, {L, T + Cl.Top, L + lW, T + LT.Y});
    if (bottomCap > 0) Copy(b, {0, h - bottomCap, lW, h}, p, {L, T + LB.Y, L + lW, T + Cl.Bottom});
  }
  const int rTopCap = RT.Y - Cl.Top, rBottomCap = Cl.Bottom - RB.Y;
  if (rW >= 1 && h >= 1 && dRight >= 1) {
    TBitmap& b = out.Right;
    b.SetSize(rW, h);
    if (g.RightStretch) {
      Copy(b, {0, rTopCap, rW, h - rBottomCap}, p, {L + Cl.Right, T + RT.Y, R, T + RB.Y});
    } else {
      TileMiddle(0, h, dRight, [&](int y, int len) { Copy(b, {0, y, rW, y + len}, p, {L + Cl.Right, T + RT.Y, R, T + RT.Y + len}); });
    }
    if (rTopCap > 0) Copy(b, {0, 0, rW, rTopCap}, p, {L + Cl.Right, T + Cl.Top, R, T + RT.Y});
    if (rBottomCap >= 1) Copy(b, {0, h - rBottomCap, rW, h}, p, {L + Cl.Right, T + RB.Y, R, T + Cl.Bottom});
  }
}

void BuildMaskBorderBitmaps(TBitmap& M, const TskSkinGeometry& g, const TRect& A, const TskGrownGeometry& n,
                            const TRect& nA, TskMaskBorders& out) {
  const int mw = M.Width(), mh = M.Height();
  const int mL = A.Left, mT = A.Top, mR = mw - A.Right, mB = mh - A.Bottom, h = nA.Height(), W = n.W;
  const TPoint LT = g.LT, RT = g.RT, LB = g.LB, RB = g.RB;
  for (TBitmap* b : {&out.Top, &out.Bottom, &out.Left, &out.Right}) b->Clear();

  if (mL > 0 && h > 0) {
    TBitmap& b = out.Left;
    b.SetSize(mL, h);
    TileMiddle(0, h, LB.Y - LT.Y, [&](int y, int len) { Copy(b, {0, y, mL, y + len}, M, {0, LT.Y, mL, LT.Y + len}); });
    if (LT.Y - mT > 0) Copy(b, {0, 0, mL, LT.Y - mT}, M, {0, mT, mL, LT.Y});
    if (A.Bottom - LB.Y > 0) Copy(b, {0, h - (A.Bottom - LB.Y), mL, h}, M, {0, LB.Y, mL, A.Bottom});
  }
  if (mR > 0 && h > 0) {
    TBitmap& b = out.Right;
    b.SetSize(mR, h);
    TileMiddle(0, h, RB.Y - RT.Y, [&](int y, int len) {
      Copy(b, {0, y, mR, y + len}, M, {A.Right, RT.Y, mw, RT.Y + len});
    });
    if (RT.Y - mT > 0) Copy(b, {0, 0, mR, RT.Y - mT}, M, {A.Right, mT, mw, RT.Y});
    if (A.Bottom - RB.Y > 0) Copy(b, {0, h - (A.Bottom - RB.Y), mR, h}, M, {A.Right, RB.Y, mw, A.Bottom});
  }
  if (W > 0 && mT > 0) {
    TBitmap& b = out.Top;
    b.SetSize(W, mT);
    TileMiddle(n.LT.X, n.RT.X, RT.X - LT.X, [&](int x, int len) { Copy(b, {x, 0, x + len, mT}, M, {LT.X, 0, LT.X + len, mT}); });
    Copy(b, {0, 0, LT.X, mT}, M, {0, 0, LT.X, mT});
    Copy(b, {n.RT.X, 0, W, mT}, M, {RT.X, 0, mw, mT});
  }
  if (W > 0 && mB > 0) {
    TBitmap& b = out.Bottom;
    b.SetSize(W, mB);
    TileMiddle(n.LB.X, n.RB.X, RB.X - LB.X, [&](int x, int len) {
      Copy(b, {x, 0, x + len, mB}, M, {LB.X, A.Bottom, LB.X + len, mh});
    });
    Copy(b, {0, 0, LB.X, mB}, M, {0, A.Bottom, LB.X, mh});
    Copy(b, {n.RB.X, 0, W, mB}, M, {RB.X, A.Bottom, mw, mh});
  }
}

TskMaskRuns MaskRunRects(const TBitmap& bitmap, int ox, int oy) {
  TskMaskRuns out;
  const int w = bitmap.Width(), h = bitmap.Height();
  if (w <= 0 || h <= 0) return out;
  out.Bounds = {ox, oy, ox + w, oy + h};
  // Every run is kept: a mask with very many runs still gives its whole shape.
  for (int y = 0; y < h; ++y) {
    const uint32_t* row = bitmap.ScanLine(y);
    int x = 0;
    while (x < w) {
      if ((row[x] & 0xFFFFFF) != 0) { ++x; continue; }
      const int x0 = x;
      while (x < w && (row[x] & 0xFFFFFF) == 0) ++x;
      out.Rects.push_back({ox + x0, oy + y, ox + x, oy + y + 1});
    }
  }
  return out;
}

TRegion MaskRegion(const TBitmap& mask) { return TRegion::FromRects(MaskRunRects(mask, 0, 0).Rects); }

std::unique_ptr<TRegion> FrameMaskRegion(TBitmap& mask, const TskSkinGeometry& g, const TskGrownGeometry& n) {
  if (n.RT.X < n.LT.X || n.LB.Y < n.LT.Y) return nullptr;
  TskMaskBorders borders;
  BuildMaskBorderBitmaps(mask, g, g.Cl, n, n.Cl, borders);
  if (n.Cl.IsEmpty()) return nullptr;
  auto region = std::make_unique<TRegion>(n.Cl);
  auto add = [&](const TBitmap& b, int ox, int oy) {
    if (b.Empty()) return;
    for (const TRect& r : MaskRunRects(b, ox, oy).Rects) region->Add(r);
  };
  add(borders.Top, 0, 0);
  add(borders.Bottom, 0, n.Cl.Bottom);
  add(borders.Left, 0, n.Cl.Top);
  add(borders.Right, n.Cl.Right, n.Cl.Top);
  return region;
}

void BuildHorzStrip(TBitmap& p, const TRect& S, int lc, int rc, int W, TBitmap& out) {
  const int H = S.Height();
  out.Clear();  // a new picture: nothing of the bitmap's last one stays
  out.SetSize(std::max(0, W), std::max(0, H));
  if (lc != 0) Copy(out, {0, 0, lc, H}, p, {S.Left, S.Top, S.Left + lc, S.Bottom});
  if (rc != 0) Copy(out, {W - rc, 0, W, H}, p, {S.Right - rc, S.Top, S.Right, S.Bottom});
  int d = S.Width() - lc - rc;
  if (d == 0) d = 1;
  if (d < 0 || (W - lc - rc) / d < 0) return;
  TileMiddle(lc, W - rc, d, [&](int x, int len) {
    Copy(out, {x, 0, x + len, H}, p, {S.Left + lc, S.Top, S.Left + lc + len, S.Bottom});
  });
}

void BuildVertStrip(TBitmap& p, const TRect& S, int tc, int bc, int H, TBitmap& out) {
  const int W = S.Width();
  out.Clear();
  out.SetSize(std::max(0, W), std::max(0, H));
  if (tc != 0) Copy(out, {0, 0, W, tc}, p, {S.Left, S.Top, S.Right, S.Top + tc});
  if (bc != 0) Copy(out, {0, H - bc, W, H}, p, {S.Left, S.Bottom - bc, S.Right, S.Bottom});
  const int d = S.Height() - tc - bc;
  TileMiddle(tc, H - bc, d, [&](int y, int len) {
    Copy(out, {0, y, W, y + len}, p, {S.Left, S.Top + tc, S.Right, S.Top + tc + len});
  });
}

void DrawArrowGlyph(TCanvas& c, const TRect& r, TColor color, int direction) {
  const int cx = r.Left + r.Width() / 2, cy = r.Top + r.Height() / 2;
  c.Pen().Color = color;
  // Each line includes both of its end points.
  auto vertical = [&](int x, int y0, int y1) { c.MoveTo(x, std::min(y0, y1)); c.LineTo(x, std::max(y0, y1) + 1); };
  auto horizontal = [&](int y, int x0, int x1) { c.MoveTo(std::min(x0, x1), y); c.LineTo(std::max(x0, x1) + 1, y); };
  switch (direction) {
    case 1:
      for (int i = 0; i <= 3; ++i) vertical(cx - 2 + i, cy - i, cy + i);
      break;
    case 2:
      for (int n = 3; n >= 0; --n) vertical(cx + 2 - n, cy + n, cy - n);
      break;
    case 3:
      for (int i = 0; i <= 3; ++i) horizontal(cy - 2 + i, cx - i, cx + i);
      break;
    case 4:
      for (int n = 3; n >= 0; --n) horizontal(cy + 2 - n, cx - n, cx + n);
      break;
    default:
      break;
  }
}

std::string FitTextWidth(TCanvas& canvas, const std::string& text, int limit) {
  if (canvas.TextWidth(text) <= limit) return text;
  // Whole characters before the dots, as many as fit: found in one pass, however long the text
  // (shortening it a character at a time and measuring again cost the square of its length).
  return canvas.TextFittingPrefix(text, limit - canvas.TextWidth("...")) + "...";
}

TRect ScreenWorkRect(const TWinControl& window, bool workArea) {
  if (!Screen) return {};
  return Screen->MonitorRectNear(window.WindowRect(), workArea);
}

namespace {
// A line from (x0, y0) up to but not including (x1, y1).
void Line(TCanvas& c, int x0, int y0, int x1, int y1) {
  c.MoveTo(x0, y0);
  c.LineTo(x1, y1);
}
// A one-pixel outline, right and bottom exclusive, not filled.
void Outline(TCanvas& c, int l, int t, int r, int b) {
  Line(c, l, t, r - 1, t);
  Line(c, r - 1, t, r - 1, b - 1);
  Line(c, r - 1, b - 1, l, b - 1);
  Line(c, l, b - 1, l, t);
}
void Pen(TCanvas& c, TColor color) {
  c.Pen().Color = color;
  c.Pen().Width = 1;
  c.Pen().Style = TPenStyle::psSolid;
}
}  // namespace

void DrawCloseGlyph(TCanvas& c, int x, int y, TColor color) {
  Pen(c, color);
  Line(c, x + 1, y + 1, x + 9, y + 9);
  Line(c, x + 9, y + 1, x + 1, y + 9);
  Line(c, x + 2, y + 1, x + 10, y + 9);
  Line(c, x + 8, y + 1, x, y + 9);
}

void DrawSysMenuGlyph(TCanvas& c, int x, int y, TColor color) {
  Pen(c, color);
  Outline(c, x + 1, y + 3, x + 9, y + 6);
}

void DrawMinimizeGlyph(TCanvas& c, int x, int y, TColor color) {
  Pen(c, color);
  Line(c, x + 1, y + 8, x + 9, y + 8);
  Line(c, x + 1, y + 9, x + 9, y + 9);
}

void DrawMaximizeGlyph(TCanvas& c, int x, int y, TColor color) {
  Pen(c, color);
  Outline(c, x, y, x + 11, y + 10);
  Outline(c, x, y, x + 11, y + 2);
}

void DrawRestoreGlyph(TCanvas& c, int x, int y, TColor color) {
  Pen(c, color);
  Outline(c, x + 2, y, x + 10, y + 6);
  Outline(c, x + 2, y, x + 10, y + 2);
  Outline(c, x, y + 4, x + 7, y + 10);
  Outline(c, x, y + 4, x + 7, y + 6);
}

void DrawRollDownGlyph(TCanvas& c, int x, int y, TColor color) {
  Pen(c, color);
  for (int i = 0; i <= 4; ++i) Line(c, x + 5 - i, y + 6 - i, x + 5 + i, y + 6 - i);
  c.SetPixel(x + 5, y + 6, color);  // the tip, where the first line has no length
}

void DrawRollUpGlyph(TCanvas& c, int x, int y, TColor color) {
  Pen(c, color);
  for (int i = 0; i <= 4; ++i) Line(c, x + 1 + i, y + 6 - i, x + 9 - i, y + 6 - i);
  c.SetPixel(x + 5, y + 2, color);  // the tip, where the last line has no length
}

void DrawTrayGlyph(TCanvas& c, int x, int y, TColor color) {
  Pen(c, color);
  c.Brush().Color = color;
  c.Brush().Style = TBrushStyle::bsSolid;
  c.FillRect({x + 2, y + 2, x + 7, y + 7});
}

void ApplyLayeredAlpha(TWinControl& window, int alpha) { window.SetLayeredAlpha(alpha); }

bool LayeringAvailable() { return WindowOpacityAvailable(); }

bool IsVersion51() { return false; }

}  // namespace corvane
