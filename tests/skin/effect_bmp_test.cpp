// Image effects and transitions of TskEffectBmp.
#include <gtest/gtest.h>

#include "skin/frame/EffectBmp.h"

namespace corvane {
namespace {

TskEffectBmp Filled(int w, int h, TColor c) {
  TskEffectBmp b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.SetPixel(x, y, c);
  return b;
}

// Column x of every row holds grey level `x*10 + base`, so moved columns can be recognised.
TskEffectBmp Columns(int w, int h, int base) {
  TskEffectBmp b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.SetPixel(x, y, RGB(base + x, base + x, base + x));
  return b;
}

int Red(const TskEffectBmp& b, int x, int y) { return GetRValue(b.Pixel(x, y)); }

TEST(EffectBuffer, RowLayout) {
  for (int w : {1, 2, 3, 4, 5, 6, 7}) {
    TskEffectBmp b(w, 2);
    EXPECT_EQ(b.RowSize(), 3 * w + w % 4);
    EXPECT_EQ(b.RowSize() % 4, 0);
    EXPECT_EQ(b.DataSize(), 2 * b.RowSize());
  }
  TskEffectBmp b(3, 2);
  b.SetPixel(1, 1, RGB(10, 20, 30));
  const uint8_t* row = b.Row(1);
  EXPECT_EQ(row[3], 30);  // blue first
  EXPECT_EQ(row[4], 20);
  EXPECT_EQ(row[5], 10);
  EXPECT_EQ(b.Pixel(1, 1), RGB(10, 20, 30));
}

TEST(EffectBuffer, SizeChecks) {
  EXPECT_THROW(TskEffectBmp(-1, 5), EInvalidOperation);
  EXPECT_THROW(TskEffectBmp(5, -1), EInvalidOperation);
  EXPECT_THROW(TskEffectBmp(TskEffectBmp::kMaxSide + 1, 1), EInvalidOperation);
  TskEffectBmp empty(0, 0);
  empty.Brighten(0.5);
  empty.SplitBlur(1);
  EXPECT_EQ(empty.DataSize(), 0);
  // Out-of-range pixels read as 0 and are not written.
  TskEffectBmp b(2, 2);
  b.SetPixel(5, 5, clWhite);
  EXPECT_EQ(b.Pixel(5, 5), 0);
  EXPECT_EQ(b.Pixel(-1, 0), 0);
}

TEST(EffectBuffer, RowCopies) {
  TskEffectBmp b = Columns(4, 2, 0);
  uint8_t row[12];
  b.ReadRow(0, row);
  EXPECT_EQ(row[9], 3);
  row[0] = 99;
  b.WriteRow(1, row);
  EXPECT_EQ(GetBValue(b.Pixel(0, 1)), 99);
  EXPECT_EQ(GetBValue(b.Pixel(0, 0)), 0);
}

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(SkinRound(127.5L), 128);
  EXPECT_EQ(SkinRound(128.5L), 128);
  EXPECT_EQ(SkinRound(76.5L), 76);
  EXPECT_EQ(SkinRound(-0.5L), 0);
  EXPECT_EQ(SkinClamp(256), 255);
  EXPECT_EQ(SkinClamp(-3), 0);
}

TEST(SingleEffects, BrightenHalf) {
  for (auto [in, out] : {std::pair{0, 128}, {1, 128}, {255, 255}, {2, 128}, {3, 129}}) {
    TskEffectBmp b = Filled(2, 1, RGB(in, in, in));
    b.Brighten(0.5);
    EXPECT_EQ(Red(b, 0, 0), out) << in;
  }
}

TEST(SingleEffects, BrightenLimitsItsAmount) {
  TskEffectBmp b = Filled(1, 1, RGB(10, 10, 10));
  b.Brighten(7);
  EXPECT_EQ(Red(b, 0, 0), 255);
  b = Filled(1, 1, RGB(10, 10, 10));
  b.Brighten(-3);
  EXPECT_EQ(Red(b, 0, 0), 10);
}

TEST(SingleEffects, DarkenUsesExtendedPrecision) {
  // 1 - 0.3 from the double 0.3 is slightly above 0.7: 255 gives 178.5000...03, which is 179.
  for (auto [in, out] : {std::pair{100, 70}, {10, 7}, {255, 179}, {0, 0}}) {
    TskEffectBmp b = Filled(1, 1, RGB(in, in, in));
    b.Darken(0.3);
    EXPECT_EQ(Red(b, 0, 0), out) << in;
  }
  TskEffectBmp b = Filled(1, 1, RGB(200, 200, 200));
  b.Darken(2);
  EXPECT_EQ(Red(b, 0, 0), 0);
}

TEST(SingleEffects, GrayscaleOfRed) {
  TskEffectBmp b = Filled(1, 1, RGB(255, 0, 0));
  b.Grayscale();
  EXPECT_EQ(b.Pixel(0, 0), RGB(76, 76, 76));
  TskEffectBmp g = Filled(1, 1, RGB(0, 255, 0));
  g.Grayscale();
  EXPECT_EQ(g.Pixel(0, 0), RGB(150, 150, 150));  // 150.45
  TskEffectBmp bl = Filled(1, 1, RGB(0, 0, 255));
  bl.Grayscale();
  EXPECT_EQ(bl.Pixel(0, 0), RGB(28, 28, 28));  // 28.05
}

TEST(SingleEffects, InvertTwiceRestores) {
  TskEffectBmp b = Columns(5, 3, 40);
  const TskEffectBmp orig = b;
  b.Invert();
  EXPECT_EQ(Red(b, 2, 1), 255 - 42);
  b.Invert();
  for (int x = 0; x < 5; ++x) EXPECT_EQ(b.Pixel(x, 2), orig.Pixel(x, 2));
}

TEST(SingleEffects, NoiseStaysInItsRangeAndIsEqualOnTheChannels) {
  TskEffectBmp::NoiseGenerator().seed(42);
  TskEffectBmp b = Filled(64, 16, RGB(100, 110, 120));
  b.AddNoise(50);
  bool changed = false;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 64; ++x) {
      const TColor c = b.Pixel(x, y);
      const int n = GetRValue(c) - 100;
      EXPECT_GE(n, -25);
      EXPECT_LT(n, 25);
      EXPECT_EQ(GetGValue(c) - 110, n);
      EXPECT_EQ(GetBValue(c) - 120, n);
      changed |= n != 0;
    }
  EXPECT_TRUE(changed);
  TskEffectBmp c = Filled(2, 2, RGB(250, 250, 250));
  c.AddNoise(0);
  c.AddNoise(-4);
  EXPECT_EQ(Red(c, 0, 0), 250);
}

TEST(SingleEffects, SplitBlurZeroChangesNothing) {
  TskEffectBmp b = Columns(6, 4, 0);
  b.SetPixel(2, 2, clWhite);
  const TskEffectBmp orig = b;
  b.SplitBlur(0);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(b.Pixel(x, y), orig.Pixel(x, y));
}

TEST(SingleEffects, SplitBlurUsesBlurredRowsAbove) {
  // A single white pixel at (1, 1) in a 3x3 black buffer, distance 1.
  TskEffectBmp b = Filled(3, 3, 0);
  b.SetPixel(1, 1, RGB(200, 200, 200));
  b.SplitBlur(1);
  // Row 0: upper row is row 0 itself, lower row 1. Pixel (0,0): left 0, right 1 -> the white
  // pixel is LR: 200/4 = 50. Pixel (2,0): left 1 -> LL = 200: 50. Pixel (1,0): 0 and 2: 0.
  EXPECT_EQ(Red(b, 0, 0), 50);
  EXPECT_EQ(Red(b, 1, 0), 0);
  EXPECT_EQ(Red(b, 2, 0), 50);
  // Row 1: upper row 0 (already blurred), lower row 2. Pixel (1,1): samples at columns 0 and 2
  // of rows 0 and 2: 50 + 0 + 50 + 0 = 100 -> 25.
  EXPECT_EQ(Red(b, 1, 1), 25);
  // Pixel (0,1): columns 0 and 1 of rows 0 and 2: 50 + 0 + 0 + 0 -> 12.
  EXPECT_EQ(Red(b, 0, 1), 12);
}

TEST(InactiveLook, EffectsByName) {
  TskEffectBmp a = Filled(2, 2, RGB(255, 255, 255));
  a.ApplyInactiveEffect(SkinInactiveEffect::iedarkness);
  EXPECT_EQ(Red(a, 0, 0), 179);
  TskEffectBmp b = Filled(2, 2, RGB(0, 0, 0));
  b.ApplyInactiveEffect(SkinInactiveEffect::iebrightness);
  EXPECT_EQ(Red(b, 0, 0), 128);
  TskEffectBmp c = Filled(2, 2, RGB(255, 0, 0));
  c.ApplyInactiveEffect(SkinInactiveEffect::iegrayscale);
  EXPECT_EQ(GetBValue(c.Pixel(1, 1)), 76);
  TskEffectBmp d = Filled(2, 2, RGB(5, 5, 5));
  d.ApplyInactiveEffect(SkinInactiveEffect::ieinvert);
  EXPECT_EQ(Red(d, 0, 0), 250);
}

// ---------------------------------------------------------------------------------------------
TEST(Transitions, BlendBounds) {
  const TskEffectBmp B = Filled(3, 2, RGB(200, 100, 50));
  for (double x : {0.0, -1.0}) {
    TskEffectBmp A = Filled(3, 2, RGB(10, 20, 30));
    A.Blend(B, x);
    EXPECT_EQ(A.Pixel(2, 1), RGB(10, 20, 30)) << x;
  }
  for (double x : {1.0, 5.0}) {
    TskEffectBmp A = Filled(3, 2, RGB(10, 20, 30));
    A.Blend(B, x);
    EXPECT_EQ(A.Pixel(2, 1), RGB(200, 100, 50)) << x;
  }
  TskEffectBmp A = Filled(1, 1, RGB(0, 0, 0));
  A.Blend(Filled(1, 1, RGB(255, 1, 3)), 0.5);
  EXPECT_EQ(A.Pixel(0, 0), RGB(128, 0, 2));  // 127.5 -> 128, 0.5 -> 0, 1.5 -> 2
}

TEST(Transitions, DifferentSizesLeaveAUnchanged) {
  const TskEffectBmp B = Filled(4, 3, clWhite);
  for (int k = 0; k <= static_cast<int>(SkinMorphKind::mkpush); ++k) {
    TskEffectBmp A = Filled(4, 2, RGB(1, 2, 3));
    A.Morph(static_cast<SkinMorphKind>(k), B, 0.5);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 4; ++x) EXPECT_EQ(A.Pixel(x, y), RGB(1, 2, 3)) << "kind " << k;
  }
}

TEST(Transitions, LeftGradientAtZero) {
  // a is at least 1: column 0 is B (weight 0), column 1 is A (weight 1), the rest A.
  TskEffectBmp A = Filled(6, 2, RGB(10, 10, 10));
  A.LeftGradient(Filled(6, 2, RGB(250, 250, 250)), 0);
  EXPECT_EQ(Red(A, 0, 1), 250);
  EXPECT_EQ(Red(A, 1, 1), 10);
  EXPECT_EQ(Red(A, 5, 1), 10);
}

TEST(Transitions, LeftGradientWeights) {
  // W = 8, x = 0.5: a = 4, s = 1/4: weights 0, .25, .5, .75, 1 over columns 0..4.
  TskEffectBmp A = Filled(8, 1, RGB(0, 0, 0));
  A.LeftGradient(Filled(8, 1, RGB(200, 200, 200)), 0.5);
  const int expect[8] = {200, 150, 100, 50, 0, 0, 0, 0};
  for (int x = 0; x < 8; ++x) EXPECT_EQ(Red(A, x, 0), expect[x]) << x;
}

TEST(Transitions, LeftGradientOneColumnWide) {
  TskEffectBmp A = Filled(1, 3, RGB(0, 0, 0));
  A.LeftGradient(Filled(1, 3, RGB(90, 90, 90)), 0.5);
  EXPECT_EQ(Red(A, 0, 2), 90);
}

TEST(Transitions, RightGradientWeights) {
  // W = 8, x = 0.5: a = 4, s = 1/4; columns 7..4 get weights 0, .25, .5, .75.
  TskEffectBmp A = Filled(8, 1, RGB(0, 0, 0));
  A.RightGradient(Filled(8, 1, RGB(200, 200, 200)), 0.5);
  const int expect[8] = {0, 0, 0, 0, 50, 100, 150, 200};
  for (int x = 0; x < 8; ++x) EXPECT_EQ(Red(A, x, 0), expect[x]) << x;
  // x = 0: a = W-1, only the last column turns into B.
  TskEffectBmp C = Filled(5, 1, RGB(0, 0, 0));
  C.RightGradient(Filled(5, 1, RGB(80, 80, 80)), 0);
  EXPECT_EQ(Red(C, 4, 0), 80);
  EXPECT_EQ(Red(C, 3, 0), 0);
}

TEST(Transitions, CenterGradientOnColumns) {
  // W = 10, x = 0.4: a = 4, b = 3, s = 1/3, c = 2, band g = 3 .. f = 7 is B.
  TskEffectBmp A = Filled(10, 2, RGB(0, 0, 0));
  A.CenterGradient(Filled(10, 2, RGB(240, 240, 240)), 0.4);
  for (int x = 3; x <= 7; ++x) EXPECT_EQ(Red(A, x, 0), 240) << x;
  EXPECT_EQ(Red(A, 2, 0), 160);  // weight 1/3 of A: 240*2/3
  EXPECT_EQ(Red(A, 1, 0), 80);
  EXPECT_EQ(Red(A, 0, 0), 0);    // weight 1
  EXPECT_EQ(Red(A, 8, 1), 160);
  EXPECT_EQ(Red(A, 9, 1), 80);
}

TEST(Transitions, CenterGradientOnRowsWithZeroLength) {
  // W < H: rows. H = 4, x = 1: a = 4, d = (4-1-4)/2 = 0, s = 0: every row becomes B.
  TskEffectBmp A = Filled(2, 4, RGB(0, 0, 0));
  A.CenterGradient(Filled(2, 4, RGB(77, 77, 77)), 1);
  for (int y = 0; y < 4; ++y) EXPECT_EQ(Red(A, 1, y), 77) << y;
}

TEST(Transitions, CenterGradientOutsideTheUnitRangeStaysInTheBuffer) {
  // Far outside [0, 1] the band indexes would leave the buffer; they are kept inside it, and the
  // result is still a mix of the two images.
  for (double x : {-3.0, -0.5, 1.7, 40.0}) {
    TskEffectBmp A = Filled(7, 3, RGB(0, 0, 0));
    A.CenterGradient(Filled(7, 3, RGB(9, 9, 9)), x);
    TskEffectBmp R = Filled(3, 7, RGB(0, 0, 0));
    R.CenterGradient(Filled(3, 7, RGB(9, 9, 9)), x);
    for (int i = 0; i < 7; ++i) {
      EXPECT_LE(Red(A, i, 1), 9);
      EXPECT_LE(Red(R, 1, i), 9);
    }
    if (x > 1) {
      for (int i = 0; i < 7; ++i) EXPECT_EQ(Red(A, i, 2), 9) << "beyond 1 everything is B";
    }
  }
}

TEST(Transitions, Slides) {
  // W = 5, x = 0.4: b = 2.
  TskEffectBmp L = Columns(5, 1, 0);
  L.LeftSlide(Columns(5, 1, 100), 0.4);
  const int left[5] = {103, 104, 2, 3, 4};
  for (int x = 0; x < 5; ++x) EXPECT_EQ(Red(L, x, 0), left[x]) << x;
  TskEffectBmp R = Columns(5, 1, 0);
  R.RightSlide(Columns(5, 1, 100), 0.4);
  const int right[5] = {0, 1, 2, 100, 101};
  for (int x = 0; x < 5; ++x) EXPECT_EQ(Red(R, x, 0), right[x]) << x;
  // At 0 one column has slid in already, at 1 one column of A is still there.
  TskEffectBmp L0 = Columns(5, 1, 0);
  L0.LeftSlide(Columns(5, 1, 100), 0);
  EXPECT_EQ(Red(L0, 0, 0), 104);
  EXPECT_EQ(Red(L0, 1, 0), 1);
  TskEffectBmp L1 = Columns(5, 1, 0);
  L1.LeftSlide(Columns(5, 1, 100), 1);
  EXPECT_EQ(Red(L1, 3, 0), 104);
  EXPECT_EQ(Red(L1, 4, 0), 4);
}

TEST(Transitions, PushAtZero) {
  TskEffectBmp A = Columns(5, 2, 0);
  A.Push(Columns(5, 2, 100), 0);
  const int expect[5] = {104, 0, 1, 2, 3};
  for (int x = 0; x < 5; ++x) EXPECT_EQ(Red(A, x, 1), expect[x]) << x;
}

TEST(Transitions, PushHalfway) {
  // W = 6, x = 0.5: a = 3: A moves right by 4, columns 0..3 are B's 2..5.
  TskEffectBmp A = Columns(6, 1, 0);
  A.Push(Columns(6, 1, 100), 0.5);
  const int expect[6] = {102, 103, 104, 105, 0, 1};
  for (int x = 0; x < 6; ++x) EXPECT_EQ(Red(A, x, 0), expect[x]) << x;
}

TEST(Transitions, MorphKindSelectsTheTransition) {
  TskEffectBmp viaMorph = Columns(6, 2, 0), direct = Columns(6, 2, 0);
  const TskEffectBmp B = Columns(6, 2, 100);
  viaMorph.Morph(SkinMorphKind::mkrightslide, B, 0.5);
  direct.RightSlide(B, 0.5);
  for (int x = 0; x < 6; ++x) EXPECT_EQ(viaMorph.Pixel(x, 1), direct.Pixel(x, 1));
  TskEffectBmp p = Columns(6, 2, 0);
  p.Morph(SkinMorphKind::mkpush, B, 0);
  EXPECT_EQ(Red(p, 0, 0), 105);
}

// ---------------------------------------------------------------------------------------------
TEST(Turning, RotationsAndFlip) {
  TskEffectBmp src(3, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) src.SetPixel(x, y, RGB(x, y, 9));
  TskEffectBmp left(2, 3), right(2, 3), flip(3, 2);
  ASSERT_TRUE(src.RotateLeft(left));
  ASSERT_TRUE(src.RotateRight(right));
  ASSERT_TRUE(src.FlipVertical(flip));
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) {
      EXPECT_EQ(left.Pixel(y, 3 - 1 - x), src.Pixel(x, y));
      EXPECT_EQ(right.Pixel(2 - 1 - y, x), src.Pixel(x, y));
      EXPECT_EQ(flip.Pixel(x, 2 - 1 - y), src.Pixel(x, y));
    }
}

TEST(Turning, WrongTargetSizesAreRefused) {
  TskEffectBmp src = Columns(3, 2, 0);
  TskEffectBmp t(3, 2);
  EXPECT_FALSE(src.RotateLeft(t));
  EXPECT_FALSE(src.RotateRight(t));
  TskEffectBmp u(2, 3);
  EXPECT_FALSE(src.FlipVertical(u));
  EXPECT_EQ(u.Pixel(1, 1), 0);
}

TEST(Turning, FlipInPlace) {
  TskEffectBmp b = Filled(2, 3, 0);
  b.SetPixel(0, 0, clWhite);
  ASSERT_TRUE(b.FlipVertical(b));
  EXPECT_EQ(b.Pixel(0, 2), clWhite);
  EXPECT_EQ(b.Pixel(0, 0), 0);
}

}  // namespace
}  // namespace corvane
