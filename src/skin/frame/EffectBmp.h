// TskEffectBmp: a 24-bit pixel buffer (blue, green, red; rows padded to 4 bytes) with the image
// effects of inactive windows and the transitions that animate a normal image into a hot one.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "skin/package/SkinIni.h"

namespace corvane {

class TBitmap;
class TCanvas;

class TskEffectBmp {
 public:
  // A black buffer. Negative sizes and sizes beyond kMaxSide raise EInvalidOperation.
  TskEffectBmp(int width, int height);
  // The bitmap's pixels at its size.
  explicit TskEffectBmp(const TBitmap& bitmap);

  static constexpr int kMaxSide = 32768;

  int Width() const { return width_; }
  int Height() const { return height_; }
  // Row length in bytes: 3*width + (width mod 4).
  int RowSize() const { return rowSize_; }
  int64_t DataSize() const { return static_cast<int64_t>(rowSize_) * height_; }

  // Pixel as 0x00BBGGRR (the platform's colour order). Out-of-range reads give 0, writes do nothing.
  TColor Pixel(int x, int y) const;
  void SetPixel(int x, int y, TColor c);
  // Pixel (x, y) is at Row(y) + 3x: blue, green, red.
  uint8_t* Row(int y) { return data_.data() + static_cast<size_t>(y) * rowSize_; }
  const uint8_t* Row(int y) const { return data_.data() + static_cast<size_t>(y) * rowSize_; }
  // Copy one row's 3*width bytes out or in.
  void ReadRow(int y, uint8_t* out) const;
  void WriteRow(int y, const uint8_t* in);

  // Copies the pixels into a 24-bit bitmap of the buffer's size, or draws them unscaled.
  void CopyTo(TBitmap& bitmap) const;
  void Draw(TCanvas& canvas, int x, int y) const;

  // Single-image effects.
  void Brighten(double x);
  void Darken(double x);
  void Grayscale();
  void Invert();
  void AddNoise(int amount);
  void SplitBlur(int amount);

  // Transitions towards `b` at progress x; nothing happens when the sizes differ.
  void Blend(const TskEffectBmp& b, double x);
  void CenterGradient(const TskEffectBmp& b, double x);
  void LeftGradient(const TskEffectBmp& b, double x);
  void RightGradient(const TskEffectBmp& b, double x);
  void LeftSlide(const TskEffectBmp& b, double x);
  void RightSlide(const TskEffectBmp& b, double x);
  void Push(const TskEffectBmp& b, double x);
  // The transition a morph kind names.
  void Morph(SkinMorphKind kind, const TskEffectBmp& b, double x);
  // The inactive look an effect names, with its fixed amount.
  void ApplyInactiveEffect(SkinInactiveEffect effect);

  // Turning into a target of the caller's: H x W for the rotations, W x H for the flip. Returns
  // false and writes nothing when the target has another size.
  bool RotateLeft(TskEffectBmp& target) const;
  bool RotateRight(TskEffectBmp& target) const;
  bool FlipVertical(TskEffectBmp& target) const;

  // The noise source; seed it to make AddNoise repeatable.
  static std::mt19937& NoiseGenerator();

 private:
  bool SameSize(const TskEffectBmp& b) const { return b.width_ == width_ && b.height_ == height_; }
  void CopyColumn(int toX, const TskEffectBmp& from, int fromX);

  int width_ = 0;
  int height_ = 0;
  int rowSize_ = 0;
  std::vector<uint8_t> data_;
};

// Rounds to the nearest integer, halves to the even neighbour.
long double SkinRound(long double v);
// Clamps to 0..255.
uint8_t SkinClamp(long double v);

}  // namespace corvane
