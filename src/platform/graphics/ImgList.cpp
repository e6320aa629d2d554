#include "platform/graphics/ImgList.h"

#include <algorithm>

namespace corvane {

namespace {
// 0xAARRGGBB pixel to 0x00BBGGRR and back.
TColor ToColor(uint32_t p) { return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF); }
uint32_t ToPixel(TColor c) {
  return 0xFF000000u | (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | uint32_t(GetBValue(c));
}
}  // namespace

TImageList::TImageList(TComponent* owner) : TComponent(owner) {}
TImageList::~TImageList() { Destroying(); }

void TImageList::SetSize(int width, int height) {
  if (width == width_ && height == height_) return;
  width_ = std::max(1, width);
  height_ = std::max(1, height);
  Clear();
}

void TImageList::Clear() {
  if (images_.empty()) return;
  images_.clear();
  Changed();
}

int TImageList::AddMasked(const TBitmap& bitmap, TColor maskColor) {
  int first = Count();
  const TColor key = ColorToRGB(maskColor);
  const int rows = std::min(height_, bitmap.Height());
  for (int left = 0; left + width_ <= bitmap.Width(); left += width_) {
    Image img{std::make_unique<TBitmap>(width_, height_), std::make_unique<TBitmap>(width_, height_), key};
    for (int y = 0; y < height_; ++y) {
      uint32_t* out = img.normal->ScanLine(y);
      uint32_t* grey = img.disabled->ScanLine(y);
      for (int x = 0; x < width_; ++x) {
        uint32_t p = y < rows ? bitmap.ScanLine(y)[left + x] : ToPixel(key);
        TColor c = ToColor(p);
        out[x] = p;
        if (c == key) {
          grey[x] = p;
          continue;
        }
        // Disabled: the image's lightness, washed out towards white.
        int lum = (GetRValue(c) * 30 + GetGValue(c) * 59 + GetBValue(c) * 11) / 100;
        int v = 255 - (255 - lum) * 45 / 100;
        grey[x] = ToPixel(RGB(v, v, v));
      }
    }
    images_.push_back(std::move(img));
  }
  Changed();
  return first;
}

int TImageList::AddResourceMasked(const std::string& name, TColor maskColor) {
  TBitmap strip;
  if (!strip.LoadFromResourceName(name)) throw EInvalidGraphic("No built-in picture named " + name);
  return AddMasked(strip, maskColor);
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index, bool enabled) const {
  if (index < 0 || index >= Count()) return;
  const Image& img = images_[index];
  canvas.CopyTransparent(Bounds(x, y, width_, height_), enabled ? *img.normal : *img.disabled, TRect(0, 0, width_, height_),
                         img.key);
}

}  // namespace corvane
