// The platform-bitmap side of TskEffectBmp, kept apart so the pixel work links without it.
#include "skin/frame/EffectBmp.h"

#include "platform/graphics/Graphics.h"

namespace corvane {

TskEffectBmp::TskEffectBmp(const TBitmap& bitmap) : TskEffectBmp(bitmap.Width(), bitmap.Height()) {
  for (int y = 0; y < height_; ++y) {
    const uint32_t* line = bitmap.ScanLine(y);
    uint8_t* p = Row(y);
    for (int x = 0; x < width_; ++x) {
      p[3 * x] = static_cast<uint8_t>(line[x]);
      p[3 * x + 1] = static_cast<uint8_t>(line[x] >> 8);
      p[3 * x + 2] = static_cast<uint8_t>(line[x] >> 16);
    }
  }
}

void TskEffectBmp::CopyTo(TBitmap& bitmap) const {
  bitmap.SetPixelFormat(TPixelFormat::pf24bit);
  bitmap.SetSize(width_, height_);
  for (int y = 0; y < height_; ++y) {
    uint32_t* line = bitmap.ScanLine(y);
    const uint8_t* p = Row(y);
    for (int x = 0; x < width_; ++x)
      line[x] = 0xFF000000u | (uint32_t(p[3 * x + 2]) << 16) | (uint32_t(p[3 * x + 1]) << 8) | p[3 * x];
  }
}

void TskEffectBmp::Draw(TCanvas& canvas, int x, int y) const {
  if (width_ == 0 || height_ == 0) return;
  TBitmap b;
  CopyTo(b);
  canvas.Draw(x, y, b);
}

}  // namespace corvane
