#include "skin/frame/EffectBmp.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/core/Classes.h"

namespace corvane {

long double SkinRound(long double v) { return std::nearbyint(v); }  // default mode: halves to even

uint8_t SkinClamp(long double v) {
  if (v >= 256) return 255;
  if (v < 0) return 0;
  return static_cast<uint8_t>(v);
}

namespace {

// round, then clamp: the value every weighted sum is written as.
uint8_t Out(long double v) { return SkinClamp(SkinRound(v)); }

// Rounds W*x as the transitions size their bands.
int RoundedSpan(int w, double x) {
  const long double v = SkinRound(static_cast<long double>(w) * static_cast<long double>(x));
  if (v > 1e9L) return 1000000000;
  if (v < -1e9L) return -1000000000;
  return static_cast<int>(v);
}

}  // namespace

TskEffectBmp::TskEffectBmp(int width, int height) {
  if (width < 0 || height < 0 || width > kMaxSide || height > kMaxSide)
    throw EInvalidOperation("Invalid effect buffer size");
  width_ = width;
  height_ = height;
  rowSize_ = 3 * width + width % 4;
  data_.assign(static_cast<size_t>(rowSize_) * height, 0);
}

TColor TskEffectBmp::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  const uint8_t* p = Row(y) + 3 * x;
  return RGB(p[2], p[1], p[0]);
}

void TskEffectBmp::SetPixel(int x, int y, TColor c) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  uint8_t* p = Row(y) + 3 * x;
  p[0] = static_cast<uint8_t>(GetBValue(c));
  p[1] = static_cast<uint8_t>(GetGValue(c));
  p[2] = static_cast<uint8_t>(GetRValue(c));
}

void TskEffectBmp::ReadRow(int y, uint8_t* out) const {
  if (y < 0 || y >= height_) return;
  std::memcpy(out, Row(y), static_cast<size_t>(3) * width_);
}

void TskEffectBmp::WriteRow(int y, const uint8_t* in) {
  if (y < 0 || y >= height_) return;
  std::memcpy(Row(y), in, static_cast<size_t>(3) * width_);
}

// ---------------------------------------------------------------------------------------------
// Single-image effects: row by row on a copy of the row.

void TskEffectBmp::Brighten(double x) {
  const long double k = std::clamp(static_cast<long double>(x), 0.0L, 1.0L);
  std::vector<uint8_t> row(static_cast<size_t>(3) * width_);
  for (int y = 0; y < height_; ++y) {
    ReadRow(y, row.data());
    for (uint8_t& c : row) c = Out((1 - k) * c + 255 * k);
    WriteRow(y, row.data());
  }
}

void TskEffectBmp::Darken(double x) {
  const long double k = std::clamp(static_cast<long double>(x), 0.0L, 1.0L);
  std::vector<uint8_t> row(static_cast<size_t>(3) * width_);
  for (int y = 0; y < height_; ++y) {
    ReadRow(y, row.data());
    for (uint8_t& c : row) c = Out((1 - k) * c);
    WriteRow(y, row.data());
  }
}

void TskEffectBmp::Grayscale() {
  const long double kr = 0.3, kg = 0.59, kb = 0.11;
  std::vector<uint8_t> row(static_cast<size_t>(3) * width_);
  for (int y = 0; y < height_; ++y) {
    ReadRow(y, row.data());
    for (int i = 0; i < width_; ++i) {
      uint8_t* p = row.data() + 3 * i;
      const uint8_t g = Out(kr * p[2] + kg * p[1] + kb * p[0]);
      p[0] = p[1] = p[2] = g;
    }
    WriteRow(y, row.data());
  }
}

void TskEffectBmp::Invert() {
  std::vector<uint8_t> row(static_cast<size_t>(3) * width_);
  for (int y = 0; y < height_; ++y) {
    ReadRow(y, row.data());
    for (uint8_t& c : row) c = static_cast<uint8_t>(255 - c);
    WriteRow(y, row.data());
  }
}

std::mt19937& TskEffectBmp::NoiseGenerator() {
  static std::mt19937 gen{std::random_device{}()};
  return gen;
}

void TskEffectBmp::AddNoise(int amount) {
  if (amount <= 0) return;  // an empty range has no number to draw
  std::uniform_int_distribution<int> dist(0, amount - 1);
  std::vector<uint8_t> row(static_cast<size_t>(3) * width_);
  for (int y = 0; y < height_; ++y) {
    ReadRow(y, row.data());
    for (int i = 0; i < width_; ++i) {
      const int n = dist(NoiseGenerator()) - amount / 2;
      for (int k = 0; k < 3; ++k) row[3 * i + k] = SkinClamp(row[3 * i + k] + n);
    }
    WriteRow(y, row.data());
  }
}

void TskEffectBmp::SplitBlur(int amount) {
  if (amount == 0) return;
  const int a = std::abs(amount);
  std::vector<uint8_t> row(static_cast<size_t>(3) * width_);
  for (int y = 0; y < height_; ++y) {
    // Rows above are already blurred (written back); this row and those below are not yet.
    const int up = y - a >= 0 ? y - a : y;
    const int down = y + a < height_ ? y + a : y;  // near the bottom edge: the pixel's own row
    const uint8_t* U = Row(up);
    const uint8_t* D = Row(down);
    for (int x = 0; x < width_; ++x) {
      const int left = x - a >= 0 ? x - a : x;
      const int right = x + a < width_ ? x + a : x;  // near the right edge: the pixel's own column
      for (int k = 0; k < 3; ++k) {
        const int sum = U[3 * left + k] + D[3 * left + k] + U[3 * right + k] + D[3 * right + k];
        row[3 * x + k] = static_cast<uint8_t>(sum / 4);
      }
    }
    WriteRow(y, row.data());
  }
}

void TskEffectBmp::ApplyInactiveEffect(SkinInactiveEffect effect) {
  switch (effect) {
    case SkinInactiveEffect::iebrightness: Brighten(0.5); break;
    case SkinInactiveEffect::iedarkness: Darken(0.3); break;
    case SkinInactiveEffect::iegrayscale: Grayscale(); break;
    case SkinInactiveEffect::ienoise: AddNoise(50); break;
    case SkinInactiveEffect::iesplitblur: SplitBlur(1); break;
    case SkinInactiveEffect::ieinvert: Invert(); break;
  }
}

// ---------------------------------------------------------------------------------------------
// Transitions. This buffer is the start image A, `b` the end image B.

void TskEffectBmp::CopyColumn(int toX, const TskEffectBmp& from, int fromX) {
  for (int y = 0; y < height_; ++y) std::memcpy(Row(y) + 3 * toX, from.Row(y) + 3 * fromX, 3);
}

void TskEffectBmp::Blend(const TskEffectBmp& b, double x) {
  if (!SameSize(b)) return;
  const long double k = std::clamp(static_cast<long double>(x), 0.0L, 1.0L);
  std::vector<uint8_t> ra(static_cast<size_t>(3) * width_), rb(ra.size());
  for (int y = 0; y < height_; ++y) {
    ReadRow(y, ra.data());
    b.ReadRow(y, rb.data());
    for (size_t i = 0; i < ra.size(); ++i) ra[i] = Out((1 - k) * ra[i] + k * rb[i]);
    WriteRow(y, ra.data());
  }
}

namespace {
// One pixel of a gradient: w*A + (1-w)*B per channel, written into A.
inline void Weigh(uint8_t* a, const uint8_t* b, long double w) {
  for (int k = 0; k < 3; ++k) a[k] = Out(w * a[k] + (1 - w) * b[k]);
}
}  // namespace

void TskEffectBmp::LeftGradient(const TskEffectBmp& b, double x) {
  if (!SameSize(b) || width_ == 0) return;
  int a = RoundedSpan(width_, x);
  a = std::max(a, 1);
  a = std::min(a, width_ - 1);
  const long double s = a > 0 ? 1.0L / a : 1.0L;
  for (int y = 0; y < height_; ++y) {
    uint8_t* A = Row(y);
    const uint8_t* B = b.Row(y);
    long double w = 0;
    for (int i = 0; i <= a; ++i) {
      Weigh(A + 3 * i, B + 3 * i, w);
      w = std::min(w + s, 1.0L);
    }
  }
}

void TskEffectBmp::RightGradient(const TskEffectBmp& b, double x) {
  if (!SameSize(b) || width_ == 0) return;
  int a = width_ - RoundedSpan(width_, x);
  a = std::max(a, 0);
  a = std::min(a, width_ - 1);
  const long double s = width_ - a > 0 ? 1.0L / (width_ - a) : 1.0L;
  for (int y = 0; y < height_; ++y) {
    uint8_t* A = Row(y);
    const uint8_t* B = b.Row(y);
    long double w = 0;
    for (int i = width_ - 1; i >= a; --i) {
      Weigh(A + 3 * i, B + 3 * i, w);
      w = std::min(w + s, 1.0L);
    }
  }
}

void TskEffectBmp::CenterGradient(const TskEffectBmp& b, double x) {
  if (!SameSize(b) || width_ == 0 || height_ == 0) return;
  if (width_ < height_) {
    // On rows.
    const int H = height_;
    const int a = RoundedSpan(H, x);
    const int d = (H - 1 - a) / 2;
    const long double s = d != 0 ? 1.0L / d : 0.0L;
    const int c = a / 2;
    // The band is kept inside the buffer whatever the progress.
    const int g = std::clamp(H / 2 - c, 0, H - 1);
    const int f = std::clamp(H / 2 + c, 0, H - 1);
    for (int r = g; r <= f; ++r) std::memcpy(Row(r), b.Row(r), static_cast<size_t>(3) * width_);
    auto fade = [&](int r, long double w) {
      uint8_t* A = Row(r);
      const uint8_t* B = b.Row(r);
      for (int i = 0; i < width_; ++i) Weigh(A + 3 * i, B + 3 * i, w);
    };
    long double w = 0;
    for (int r = g; r >= 0; --r) {
      fade(r, w);
      w = std::min(w + s, 1.0L);
    }
    w = 0;
    for (int r = f; r < H; ++r) {
      fade(r, w);
      w = std::min(w + s, 1.0L);
    }
    return;
  }
  // On columns.
  const int W = width_;
  const int a = RoundedSpan(W, x);
  const int bb = (W - a) / 2;
  const long double s = bb != 0 ? 1.0L / bb : 1.0L;
  const int c = a / 2;
  const int g = std::clamp(W / 2 - c, 0, W - 1);
  const int f = std::clamp(W / 2 + c, 0, W - 1);
  for (int y = 0; y < height_; ++y) {
    uint8_t* A = Row(y);
    const uint8_t* B = b.Row(y);
    for (int i = g; i <= f; ++i) std::memcpy(A + 3 * i, B + 3 * i, 3);
    long double w = 0;
    for (int i = g; i >= 0; --i) {
      Weigh(A + 3 * i, B + 3 * i, w);
      w = std::min(w + s, 1.0L);
    }
    w = 0;
    for (int i = f; i < W; ++i) {
      Weigh(A + 3 * i, B + 3 * i, w);
      w = std::min(w + s, 1.0L);
    }
  }
}

void TskEffectBmp::LeftSlide(const TskEffectBmp& b, double x) {
  if (!SameSize(b) || width_ == 0) return;
  int n = std::min(std::max(RoundedSpan(width_, x), 1), width_ - 1);
  for (int y = 0; y < height_; ++y)
    if (n > 0) std::memcpy(Row(y), b.Row(y) + 3 * (width_ - n), static_cast<size_t>(3) * n);
}

void TskEffectBmp::RightSlide(const TskEffectBmp& b, double x) {
  if (!SameSize(b) || width_ == 0) return;
  int n = std::min(std::max(RoundedSpan(width_, x), 1), width_ - 1);
  for (int y = 0; y < height_; ++y)
    if (n > 0) std::memcpy(Row(y) + 3 * (width_ - n), b.Row(y), static_cast<size_t>(3) * n);
}

void TskEffectBmp::Push(const TskEffectBmp& b, double x) {
  if (!SameSize(b) || width_ == 0) return;
  const int W = width_;
  const int a = std::min(std::max(RoundedSpan(W, x), 0), W - 1);
  for (int y = 0; y < height_; ++y) {
    uint8_t* A = Row(y);
    // A moves right by a+1 columns (from the right so nothing is read after it was overwritten).
    for (int j = W - 1; j >= a + 1; --j) std::memcpy(A + 3 * j, A + 3 * (j - a - 1), 3);
    std::memcpy(A + 3 * a, A, 3);
    // B pushes in from the left.
    std::memcpy(A, b.Row(y) + 3 * (W - a - 1), static_cast<size_t>(3) * (a + 1));
  }
}

void TskEffectBmp::Morph(SkinMorphKind kind, const TskEffectBmp& b, double x) {
  switch (kind) {
    case SkinMorphKind::mkdefault: Blend(b, x); break;
    case SkinMorphKind::mkgradient: CenterGradient(b, x); break;
    case SkinMorphKind::mkleftgradient: LeftGradient(b, x); break;
    case SkinMorphKind::mkrightgradient: RightGradient(b, x); break;
    case SkinMorphKind::mkleftslide: LeftSlide(b, x); break;
    case SkinMorphKind::mkrightslide: RightSlide(b, x); break;
    case SkinMorphKind::mkpush: Push(b, x); break;
  }
}

// ---------------------------------------------------------------------------------------------
bool TskEffectBmp::RotateLeft(TskEffectBmp& t) const {
  if (t.width_ != height_ || t.height_ != width_) return false;
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) std::memcpy(t.Row(width_ - 1 - x) + 3 * y, Row(y) + 3 * x, 3);
  return true;
}

bool TskEffectBmp::RotateRight(TskEffectBmp& t) const {
  if (t.width_ != height_ || t.height_ != width_) return false;
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) std::memcpy(t.Row(x) + 3 * (height_ - 1 - y), Row(y) + 3 * x, 3);
  return true;
}

bool TskEffectBmp::FlipVertical(TskEffectBmp& t) const {
  if (t.width_ != width_ || t.height_ != height_) return false;
  if (&t == this) {
    std::vector<uint8_t> tmp(static_cast<size_t>(rowSize_));
    for (int y = 0; y < height_ / 2; ++y) {
      std::memcpy(tmp.data(), t.Row(y), rowSize_);
      std::memcpy(t.Row(y), t.Row(height_ - 1 - y), rowSize_);
      std::memcpy(t.Row(height_ - 1 - y), tmp.data(), rowSize_);
    }
    return true;
  }
  for (int y = 0; y < height_; ++y) std::memcpy(t.Row(height_ - 1 - y), Row(y), static_cast<size_t>(rowSize_));
  return true;
}

}  // namespace corvane
