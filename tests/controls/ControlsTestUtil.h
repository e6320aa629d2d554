// Helpers shared by the themed-control tests: synthetic theme frames and pixel comparison.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/graphics/Graphics.h"

namespace corvane::test {

// A frame whose every pixel has its own colour (never the key colour): red = x * 3,
// green = y * 10, blue = 0x80.
inline TColor FramePixel(int x, int y) { return RGB(x * 3, y * 10, 0x80); }

inline void MakeFrame(TBitmap& b, int w, int h) {
  b.SetSize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.SetPixel(x, y, FramePixel(x, y));
}

inline void Fill(TBitmap& b, int w, int h, TColor c) {
  b.SetSize(w, h);
  b.Canvas().Brush().Color = c;
  b.Canvas().Brush().Style = TBrushStyle::bsSolid;
  b.Canvas().FillRect(TRect(0, 0, w, h));
}

inline std::string Hex(TColor c) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%06X", static_cast<unsigned>(c) & 0xFFFFFF);
  return buf;
}

// Counts pixels equal to c inside r.
inline int CountPixels(const TBitmap& b, const TRect& r, TColor c) {
  int n = 0;
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x) n += b.Pixel(x, y) == c;
  return n;
}

// Counts pixels within `tolerance` of c on every channel inside r (text is antialiased, so its
// pixels are only near the font colour).
inline int CountNear(const TBitmap& b, const TRect& r, TColor c, int tolerance) {
  int n = 0;
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x) {
      TColor p = b.Pixel(x, y);
      n += std::abs(GetRValue(p) - GetRValue(c)) <= tolerance && std::abs(GetGValue(p) - GetGValue(c)) <= tolerance &&
           std::abs(GetBValue(p) - GetBValue(c)) <= tolerance;
    }
  return n;
}

// The summed darkness (255 - mean channel) of the pixels inside r.
inline long Darkness(const TBitmap& b, const TRect& r) {
  long sum = 0;
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x) {
      TColor p = b.Pixel(x, y);
      sum += 255 - (GetRValue(p) + GetGValue(p) + GetBValue(p)) / 3;
    }
  return sum;
}

}  // namespace corvane::test
