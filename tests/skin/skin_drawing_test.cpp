// Drawing utilities shared by the frame, the menus and the hint: three-part strips, arrows, text
// shortening and the screen work area.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "platform/windows/Forms.h"
#include "skin/frame/SkinDrawing.h"

using namespace corvane;

namespace {

// A picture whose every pixel differs from its neighbours, so a wrong copy shows.
std::unique_ptr<TBitmap> Numbered(int w, int h) {
  auto b = std::make_unique<TBitmap>(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b->SetPixel(x, y, static_cast<TColor>((x * 7 + 1) | ((y * 11 + 3) << 8) | 0x400000));
  return b;
}

// The pixels of a bitmap that are not white.
std::set<std::pair<int, int>> Marked(const TBitmap& b) {
  std::set<std::pair<int, int>> out;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (b.Pixel(x, y) != clWhite) out.insert({x, y});
  return out;
}

}  // namespace

TEST(SkinStrips, AHorizontalStripKeepsItsCapsAndTilesItsMiddleFromTheLeftCap) {
  auto p = Numbered(40, 30);
  const TRect s(5, 10, 25, 16);  // caps of 3 and 4 columns, a middle of 13
  TBitmap out;
  BuildHorzStrip(*p, s, 3, 4, 50, out);
  ASSERT_EQ(out.Width(), 50);
  ASSERT_EQ(out.Height(), 6);
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 3; ++x) EXPECT_EQ(out.Pixel(x, y), p->Pixel(5 + x, 10 + y)) << x << "," << y;
    for (int x = 46; x < 50; ++x) EXPECT_EQ(out.Pixel(x, y), p->Pixel(21 + x - 46, 10 + y)) << x << "," << y;
    // 43 columns of middle: tiles of 13, 13, 13 and 4, each starting at the middle's first column.
    for (int x = 3; x < 46; ++x) EXPECT_EQ(out.Pixel(x, y), p->Pixel(8 + (x - 3) % 13, 10 + y)) << x << "," << y;
  }

  // At the source's own width the strip is the source rectangle.
  BuildHorzStrip(*p, s, 3, 4, 20, out);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 20; ++x) ASSERT_EQ(out.Pixel(x, y), p->Pixel(5 + x, 10 + y));
}

TEST(SkinStrips, AHorizontalStripWithoutAMiddleRepeatsTheColumnAfterTheLeftCap) {
  auto p = Numbered(20, 8);
  TBitmap out;
  BuildHorzStrip(*p, {2, 1, 8, 5}, 3, 3, 12, out);
  ASSERT_EQ(out.Width(), 12);
  for (int x = 3; x < 9; ++x) EXPECT_EQ(out.Pixel(x, 2), p->Pixel(5, 3)) << x;
  EXPECT_EQ(out.Pixel(11, 2), p->Pixel(7, 3));
  // Narrower than the caps: only the caps are drawn, the right one over the left one.
  BuildHorzStrip(*p, {2, 1, 8, 5}, 3, 3, 4, out);
  EXPECT_EQ(out.Width(), 4);
  EXPECT_EQ(out.Pixel(0, 0), p->Pixel(2, 1));
  EXPECT_EQ(out.Pixel(1, 0), p->Pixel(5, 1));
}

TEST(SkinStrips, AVerticalStripKeepsItsCapsTilesItsMiddleAndLeavesAnEmptyMiddleUndrawn) {
  auto p = Numbered(30, 40);
  const TRect s(4, 6, 10, 26);  // caps of 5 and 2 rows, a middle of 13
  TBitmap out;
  BuildVertStrip(*p, s, 5, 2, 37, out);
  ASSERT_EQ(out.Width(), 6);
  ASSERT_EQ(out.Height(), 37);
  for (int x = 0; x < 6; ++x) {
    for (int y = 0; y < 5; ++y) EXPECT_EQ(out.Pixel(x, y), p->Pixel(4 + x, 6 + y));
    for (int y = 35; y < 37; ++y) EXPECT_EQ(out.Pixel(x, y), p->Pixel(4 + x, 24 + y - 35));
    for (int y = 5; y < 35; ++y) EXPECT_EQ(out.Pixel(x, y), p->Pixel(4 + x, 11 + (y - 5) % 13)) << y;
  }
  BuildVertStrip(*p, {4, 6, 10, 12}, 3, 3, 10, out);
  for (int y = 3; y < 7; ++y) EXPECT_EQ(out.Pixel(2, y), clWhite) << y;
  EXPECT_EQ(out.Pixel(2, 7), p->Pixel(6, 9));
}

TEST(SkinGlyphs, ArrowsPointTheirWayFromTheRectanglesMiddleAndOtherDirectionsDrawNothing) {
  const TRect r(10, 20, 30, 30);  // middle (20, 25)
  auto draw = [&](int direction) {
    TBitmap b(40, 40);
    DrawArrowGlyph(b.Canvas(), r, clRed, direction);
    for (auto [x, y] : Marked(b)) EXPECT_EQ(b.Pixel(x, y), clRed);
    return Marked(b);
  };
  std::set<std::pair<int, int>> right, down, left, up;
  for (int n = 0; n <= 3; ++n)
    for (int k = -n; k <= n; ++k) {
      right.insert({20 + 2 - n, 25 + k});
      down.insert({20 + k, 25 + 2 - n});
      left.insert({20 - 2 + n, 25 + k});
      up.insert({20 + k, 25 - 2 + n});
    }
  EXPECT_EQ(draw(1), left);
  EXPECT_EQ(draw(2), right);
  EXPECT_EQ(draw(3), up);
  EXPECT_EQ(draw(4), down);
  EXPECT_EQ(right.size(), 16u);  // 7 + 5 + 3 + 1: the widest line at the arrow's base
  EXPECT_TRUE(right.count({19, 22}) && right.count({22, 25}));
  EXPECT_TRUE(draw(0).empty());
  EXPECT_TRUE(draw(5).empty());
}

TEST(SkinText, TextIsShortenedByWholeCharactersUntilItFitsWithThreeDots) {
  TBitmap b(1, 1);
  TCanvas& c = b.Canvas();
  c.Font().SetName("Arial");
  c.Font().SetHeight(14);
  const std::string text = "关于八卦 Corvane";
  const int full = c.TextWidth(text);
  EXPECT_EQ(FitTextWidth(c, text, full), text);
  EXPECT_EQ(FitTextWidth(c, text, full + 50), text);

  const int limit = c.TextWidth("关于八...") + 1;
  const std::string fitted = FitTextWidth(c, text, limit);
  EXPECT_EQ(fitted, "关于八...");
  EXPECT_LE(c.TextWidth(fitted), limit);

  // Narrower than the dots themselves: the dots alone.
  EXPECT_EQ(FitTextWidth(c, text, c.TextWidth("...") - 1), "...");
  EXPECT_EQ(FitTextWidth(c, text, 0), "...");
}

TEST(SkinScreen, TheWorkAreaIsTheMonitorsFreePartAndLiesWithinTheMonitor) {
  TForm f(nullptr);
  f.SetBounds(100, 120, 300, 200);
  const TRect work = ScreenWorkRect(f, true), whole = ScreenWorkRect(f, false);
  EXPECT_EQ(whole, TRect(0, 0, Screen->Width(), Screen->Height()));
  EXPECT_FALSE(work.IsEmpty());
  EXPECT_GE(work.Left, whole.Left);
  EXPECT_GE(work.Top, whole.Top);
  EXPECT_LE(work.Right, whole.Right);
  EXPECT_LE(work.Bottom, whole.Bottom);
  EXPECT_EQ(work, Screen->WorkAreaRect());
  // A window beyond every monitor still gets the nearest one.
  f.SetBounds(whole.Right + 500, whole.Bottom + 500, 50, 50);
  EXPECT_EQ(ScreenWorkRect(f, false), whole);
  EXPECT_EQ(ScreenWorkRect(f, true), work);
}
