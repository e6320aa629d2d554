// The theme catalogue, element lookups, frame cutting and the shared drawing helpers.
#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

#include "controls/FileTheme.h"
#include "controls/Theme.h"
#include "controls/ControlsTestUtil.h"

namespace corvane {
namespace {

using test::FramePixel;
using test::Hex;
using test::MakeFrame;

constexpr TthUIStyle kBuiltIn[] = {TthUIStyle::MacOS, TthUIStyle::WinXP, TthUIStyle::DeepBlue, TthUIStyle::Protein,
                                   TthUIStyle::BlueGlass};

// ---------------------------------------------------------------------------------------------
// Catalogue

TEST(ThemeCatalogue, StylesHaveTheirByteValuesAndNames) {
  static_assert(sizeof(TthUIStyle) == 1);
  EXPECT_EQ(0, static_cast<int>(TthUIStyle::FromThemeFile));
  EXPECT_EQ(5, static_cast<int>(TthUIStyle::BlueGlass));
  EXPECT_EQ(TthUIStyle::WinXP, UIStyleFromName("WinXP").value());
  EXPECT_EQ(TthUIStyle::FromThemeFile, UIStyleFromName("FromThemeFile").value());
  EXPECT_FALSE(UIStyleFromName("winxp").has_value());
  EXPECT_EQ("BLUEGLASS", StylePrefix(TthUIStyle::BlueGlass));
  EXPECT_EQ("", StylePrefix(TthUIStyle::FromThemeFile));
}

TEST(ThemeCatalogue, ElementsAreNumberedOneToFortyTwoWithUniqueKeys) {
  std::set<std::string> keys;
  for (int n = 1; n <= 42; ++n) {
    const TthThemeElement* e = ThemeElement(n);
    ASSERT_NE(nullptr, e) << n;
    EXPECT_EQ(n, e->number);
    EXPECT_TRUE(keys.insert(e->key).second) << e->key;
    EXPECT_EQ(e, ThemeElementByKey(e->key));
  }
  EXPECT_EQ(nullptr, ThemeElement(0));
  EXPECT_EQ(nullptr, ThemeElement(43));
  EXPECT_EQ(nullptr, ThemeElementByKey("buttonimage"));
}

TEST(ThemeCatalogue, ImageNamesFollowThePrefixRuleExceptScrollButtons) {
  EXPECT_EQ("MACOS_BUTTON", ThemeImageName(TthUIStyle::MacOS, 1));
  EXPECT_EQ("PROTEIN_TITLE_LEFT", ThemeImageName(TthUIStyle::Protein, 10));
  EXPECT_EQ("DEEPBLUE_TRACKBAR_SLIDER_V", ThemeImageName(TthUIStyle::DeepBlue, 30));
  EXPECT_EQ("WINXP_SCROLLBAR_TRACK", ThemeImageName(TthUIStyle::WinXP, 33));
  EXPECT_EQ("BLUEGLASS_SIDECHENNEL_HANDLE", ThemeImageName(TthUIStyle::BlueGlass, 41));
  EXPECT_EQ("MACOS_SCROLLBUTTON", ThemeImageName(TthUIStyle::MacOS, 38));
  EXPECT_EQ("WINXP_SCROLLBUTTON", ThemeImageName(TthUIStyle::WinXP, 38));
  for (TthUIStyle s : {TthUIStyle::DeepBlue, TthUIStyle::Protein, TthUIStyle::BlueGlass})
    EXPECT_EQ("MORE_SCROLLBUTTON", ThemeImageName(s, 38));
  EXPECT_EQ("", ThemeImageName(TthUIStyle::FromThemeFile, 1));
  EXPECT_EQ("", ThemeImageName(TthUIStyle::MacOS, 2));  // a boolean, not an image
}

TEST(ThemeCatalogue, EveryBuiltInImageOfTheCatalogueExists) {
  for (TthUIStyle s : kBuiltIn)
    for (int n = 1; n <= 42; ++n) {
      std::string name = ThemeImageName(s, n);
      if (name.empty()) continue;
      TBitmap b;
      ThemeImageOf(s, n, b);
      EXPECT_FALSE(b.Empty()) << name;
    }
}

TEST(ThemeCatalogue, ValuesByKind) {
  EXPECT_TRUE(ThemeFlagOf(TthUIStyle::MacOS, 2));
  EXPECT_FALSE(ThemeFlagOf(TthUIStyle::WinXP, 2));
  EXPECT_FALSE(ThemeFlagOf(TthUIStyle::DeepBlue, 2));
  EXPECT_FALSE(ThemeFlagOf(TthUIStyle::Protein, 2));
  EXPECT_TRUE(ThemeFlagOf(TthUIStyle::BlueGlass, 2));
  EXPECT_TRUE(ThemeFlagOf(TthUIStyle::Protein, 6));
  EXPECT_EQ(-2, ThemeIntOf(TthUIStyle::MacOS, 8));
  EXPECT_EQ(-3, ThemeIntOf(TthUIStyle::BlueGlass, 8));
  EXPECT_EQ(270, ThemeIntOf(TthUIStyle::BlueGlass, 13));
  EXPECT_EQ(13, ThemeIntOf(TthUIStyle::WinXP, 14));
  EXPECT_EQ(0xC82C00, ThemeColorOf(TthUIStyle::WinXP, 16));
  EXPECT_EQ(0x7F7F7F, ThemeColorOf(TthUIStyle::MacOS, 25));
  EXPECT_EQ(0x686868, ThemeColorOf(TthUIStyle::WinXP, 25));
  EXPECT_EQ(0x000000, ThemeColorOf(TthUIStyle::DeepBlue, 25));
  EXPECT_EQ(0xCF4602, ThemeColorOf(TthUIStyle::WinXP, 27));
  EXPECT_EQ(0xE1AC93, ThemeColorOf(TthUIStyle::WinXP, 37));
  EXPECT_EQ(0xEC5E5E, ThemeColorOf(TthUIStyle::BlueGlass, 19));
}

TEST(ThemeCatalogue, WrongKindOrStyleGivesTheNeutralAnswer) {
  EXPECT_FALSE(ThemeFlagOf(TthUIStyle::MacOS, 25));   // a colour
  EXPECT_EQ(0, ThemeColorOf(TthUIStyle::MacOS, 7));   // an integer
  EXPECT_EQ(-1, ThemeIntOf(TthUIStyle::MacOS, 15));   // a colour
  EXPECT_EQ(-1, ThemeIntOf(TthUIStyle::MacOS, 99));
  EXPECT_FALSE(ThemeFlagOf(TthUIStyle::FromThemeFile, 2));
  EXPECT_EQ(0, ThemeColorOf(TthUIStyle::FromThemeFile, 25));
  EXPECT_EQ(-1, ThemeIntOf(TthUIStyle::FromThemeFile, 7));
  EXPECT_EQ(-1, ThemeIntOf(static_cast<TthUIStyle>(9), 7));
  TBitmap b(5, 5);
  ThemeImageOf(TthUIStyle::FromThemeFile, 1, b);
  EXPECT_TRUE(b.Empty());
  ThemeImageOf(static_cast<TthUIStyle>(6), 1, b);
  EXPECT_TRUE(b.Empty());
}

TEST(ThemeCatalogue, ButtonImagesHaveTheirSizes) {
  struct { TthUIStyle s; int w, h; } sizes[] = {{TthUIStyle::MacOS, 252, 23}, {TthUIStyle::WinXP, 54, 21},
                                                {TthUIStyle::DeepBlue, 222, 21}, {TthUIStyle::Protein, 222, 21},
                                                {TthUIStyle::BlueGlass, 231, 27}};
  for (auto& e : sizes) {
    TBitmap whole, frame;
    ThemeImageOf(e.s, thButtonImage, whole);
    EXPECT_EQ(e.w, whole.Width()) << UIStyleName(e.s);
    EXPECT_EQ(e.h, whole.Height());
    ThemeImageOf(e.s, thButtonImage, frame, 3, 2);
    EXPECT_EQ(e.w / 3, frame.Width());
    EXPECT_EQ(e.h, frame.Height());
    EXPECT_EQ(whole.Pixel(e.w / 3 + 5, 7), frame.Pixel(5, 7));
  }
  // The rounded ends of the MacOS and BlueGlass buttons hold the key colour; WinXP has none.
  TBitmap mac, xp;
  ThemeImageOf(TthUIStyle::MacOS, 1, mac, 3, 1);
  EXPECT_EQ(thKeyColor, mac.Pixel(0, 0));
  ThemeImageOf(TthUIStyle::WinXP, 1, xp);
  EXPECT_EQ(0, test::CountPixels(xp, TRect(0, 0, xp.Width(), xp.Height()), thKeyColor));
}

TEST(ThemeCatalogue, FromThemeFileWithoutLoadedFileIsDeepBlue) {
  auto r = ResolveStyle(nullptr, TthUIStyle::FromThemeFile);
  EXPECT_FALSE(r.useFile);
  EXPECT_EQ(TthUIStyle::DeepBlue, r.style);
  TthFileTheme never(nullptr);
  never.SetThemeFile("/nonexistent/dir/never.theme");
  EXPECT_FALSE(never.IsLoaded());
  EXPECT_EQ("", never.ThemeFile());
  r = ResolveStyle(&never, TthUIStyle::FromThemeFile);
  EXPECT_FALSE(r.useFile);
  EXPECT_EQ(TthUIStyle::DeepBlue, r.style);
  // A built-in style is itself whatever file theme there is.
  r = ResolveStyle(&never, TthUIStyle::Protein);
  EXPECT_EQ(TthUIStyle::Protein, r.style);
  TBitmap viaFile, deepBlue;
  ThemeImageOf(&never, TthUIStyle::FromThemeFile, 1, viaFile, 3, 1);
  ThemeImageOf(TthUIStyle::DeepBlue, 1, deepBlue, 3, 1);
  ASSERT_EQ(74, viaFile.Width());
  EXPECT_EQ(deepBlue.Pixel(30, 10), viaFile.Pixel(30, 10));
}

// ---------------------------------------------------------------------------------------------
// CutFrame

TEST(CutFrame, ThreeFramesOfAStrip) {
  TBitmap strip, f;
  MakeFrame(strip, 252, 23);
  CutFrame(strip, f, 3, 3);
  ASSERT_EQ(84, f.Width());
  ASSERT_EQ(23, f.Height());
  for (int y = 0; y < 23; ++y)
    for (int x = 0; x < 84; ++x) ASSERT_EQ(FramePixel(168 + x, y), f.Pixel(x, y));
}

TEST(CutFrame, WidthNotAMultipleLosesTheRightmostColumns) {
  TBitmap strip, f;
  MakeFrame(strip, 56, 4);  // 56 = 3 * 18 + 2
  CutFrame(strip, f, 3, 3);
  ASSERT_EQ(18, f.Width());
  EXPECT_EQ(FramePixel(36, 2), f.Pixel(0, 2));
  EXPECT_EQ(FramePixel(53, 2), f.Pixel(17, 2));  // columns 54 and 55 are never part of a frame
  CutFrame(strip, f, 3, 1);
  EXPECT_EQ(FramePixel(17, 3), f.Pixel(17, 3));
}

TEST(CutFrame, DegenerateArgumentsDoNotReadOutside) {
  TBitmap strip, f;
  MakeFrame(strip, 2, 2);
  CutFrame(strip, f, 3, 1);  // narrower than the frame count
  EXPECT_EQ(0, f.Width());
  CutFrame(strip, f, 0, 1);
  EXPECT_TRUE(f.Empty());
  CutFrame(strip, f, 2, 7);  // no such frame: a frame-sized blank
  EXPECT_EQ(1, f.Width());
  CutFrame(strip, strip, 2, 2);  // in place
  ASSERT_EQ(1, strip.Width());
  EXPECT_EQ(FramePixel(1, 1), strip.Pixel(0, 1));
}

// ---------------------------------------------------------------------------------------------
// Nine-slice drawing

TEST(DrawSlicedImage, SameSizeReproducesTheFrameExceptThreeStrips) {
  TBitmap frame, out;
  MakeFrame(frame, 84, 23);
  test::Fill(out, 84, 23, clWhite);
  DrawSlicedImage(frame, out.Canvas(), TRect(0, 0, 84, 23), false);
  for (int y = 0; y < 23; ++y)
    for (int x = 0; x < 84; ++x) {
      TColor want = FramePixel(x, y);
      if (y == 12 && x <= 40) want = FramePixel(x, 11);
      if (y == 11 && x >= 43) want = FramePixel(x, 12);
      if (x == 41 && y >= 12) want = FramePixel(42, y);
      ASSERT_EQ(Hex(want), Hex(out.Pixel(x, y))) << "at " << x << "," << y;
    }
}

TEST(DrawSlicedImage, WorkedExampleEightyByTwentySeven) {
  TBitmap frame, out;
  MakeFrame(frame, 84, 23);
  test::Fill(out, 80, 27, clWhite);
  DrawSlicedImage(frame, out.Canvas(), TRect(0, 0, 80, 27), false);
  auto expected = [](int x, int y) -> TColor {
    if (x >= 39 && x <= 40 && y >= 16) return FramePixel(42, 12 + (y - 16));  // bottom edge
    if (x <= 39 && y <= 10) return FramePixel(x, y);                          // LT 40 x 11
    if (x <= 39 && y >= 17) return FramePixel(x, y - 4);                      // LB 40 x 10
    if (x <= 39) return FramePixel(x, 11);                                    // left edge, rows 11-16
    if (x == 40 && y <= 10) return FramePixel(42, y);                         // top edge
    if (x == 40) return FramePixel(42, 11);                                   // centre, rows 11-15
    if (y <= 10) return FramePixel(x + 4, y);                                 // TR 39 x 11
    if (y >= 17) return FramePixel(x + 4, y - 4);                             // RB 39 x 10
    return FramePixel(x + 4, 12);                                             // right edge, rows 11-16
  };
  for (int y = 0; y < 27; ++y)
    for (int x = 0; x < 80; ++x) ASSERT_EQ(Hex(expected(x, y)), Hex(out.Pixel(x, y))) << "at " << x << "," << y;
}

TEST(DrawSlicedImage, KeyColourInCornersOnlyWhenTransparentAndAlwaysInEdges) {
  TBitmap frame, out;
  MakeFrame(frame, 84, 23);
  frame.SetPixel(0, 0, thKeyColor);    // top-left corner
  frame.SetPixel(83, 22, thKeyColor);  // bottom-right corner
  frame.SetPixel(0, 11, thKeyColor);   // left end of the middle row: the left edge
  test::Fill(out, 80, 27, clGreen);
  DrawSlicedImage(frame, out.Canvas(), TRect(0, 0, 80, 27), false);
  EXPECT_EQ(Hex(thKeyColor), Hex(out.Pixel(0, 0)));
  EXPECT_EQ(Hex(thKeyColor), Hex(out.Pixel(79, 26)));
  for (int y = 11; y <= 16; ++y) EXPECT_EQ(Hex(clGreen), Hex(out.Pixel(0, y))) << y;
  EXPECT_EQ(Hex(FramePixel(1, 11)), Hex(out.Pixel(1, 11)));

  test::Fill(out, 80, 27, clGreen);
  DrawSlicedImage(frame, out.Canvas(), TRect(0, 0, 80, 27), true);
  EXPECT_EQ(Hex(clGreen), Hex(out.Pixel(0, 0)));
  EXPECT_EQ(Hex(clGreen), Hex(out.Pixel(79, 26)));
  EXPECT_EQ(Hex(FramePixel(1, 0)), Hex(out.Pixel(1, 0)));
}

TEST(DrawSlicedImage, WinXPFrameIntoTheFindButton) {
  // 18 x 21 into 80 x 27: corners 9 x 10, 9 x 9, 8 x 10, 8 x 9.
  TBitmap frame, out;
  MakeFrame(frame, 18, 21);
  test::Fill(out, 80, 27, clWhite);
  DrawSlicedImage(frame, out.Canvas(), TRect(0, 0, 80, 27), false);
  EXPECT_EQ(Hex(FramePixel(8, 9)), Hex(out.Pixel(8, 9)));        // LT's last pixel
  EXPECT_EQ(Hex(FramePixel(0, 12)), Hex(out.Pixel(0, 18)));      // LB's first row (21 - 9 = 12)
  EXPECT_EQ(Hex(FramePixel(10, 0)), Hex(out.Pixel(72, 0)));      // TR starts at 80 - 8, source 18 - 8
  EXPECT_EQ(Hex(FramePixel(17, 20)), Hex(out.Pixel(79, 26)));    // RB
  EXPECT_EQ(Hex(FramePixel(9, 0)), Hex(out.Pixel(40, 0)));       // top edge stretches column 9
  EXPECT_EQ(Hex(FramePixel(9, 10)), Hex(out.Pixel(40, 12)));     // centre
  EXPECT_EQ(Hex(FramePixel(17, 11)), Hex(out.Pixel(79, 14)));    // right edge: row 11
}

TEST(DrawSlicedImage, ATargetSmallerThanThePictureShowsTheBottomRowsOfTheLowerCorners) {
  // 84 x 23 into 40 x 12: th = 6, so the bottom-left corner is 20 x 5 (min(hh - 1, th - 1)), the
  // last five rows of the picture's corner, ending at the bottom; the bottom edge covers its
  // rightmost column.
  TBitmap frame, out;
  MakeFrame(frame, 84, 23);
  test::Fill(out, 40, 12, clWhite);
  DrawSlicedImage(frame, out.Canvas(), TRect(0, 0, 40, 12), false);
  for (int y = 7; y < 12; ++y)
    for (int x = 0; x < 19; ++x) ASSERT_EQ(Hex(FramePixel(x, y + 11)), Hex(out.Pixel(x, y))) << "at " << x << "," << y;
  for (int x = 0; x < 19; ++x) ASSERT_EQ(Hex(FramePixel(x, 11)), Hex(out.Pixel(x, 6))) << "left edge above it, " << x;
}

TEST(DrawSlicedImage, TinyTargetsEmptyImagesAndEvenHeightsDrawSafely) {
  TBitmap frame, even, empty, out;
  MakeFrame(frame, 84, 23);
  MakeFrame(even, 10, 10);
  for (auto [w, h] : std::vector<std::pair<int, int>>{{0, 0}, {1, 1}, {2, 2}, {3, 1}, {1, 40}, {200, 3}}) {
    test::Fill(out, std::max(w, 1), std::max(h, 1), clWhite);
    DrawSlicedImage(frame, out.Canvas(), TRect(0, 0, w, h), true);
    DrawSlicedImage(even, out.Canvas(), TRect(0, 0, w, h), false);
  }
  test::Fill(out, 10, 10, clWhite);
  DrawSlicedImage(empty, out.Canvas(), TRect(0, 0, 10, 10), false);
  EXPECT_EQ(100, test::CountPixels(out, TRect(0, 0, 10, 10), clWhite));
  // A 1-pixel image into a larger rectangle: only what exists is used.
  TBitmap one;
  MakeFrame(one, 1, 1);
  DrawSlicedImage(one, out.Canvas(), TRect(0, 0, 10, 10), false);
  EXPECT_EQ(Hex(FramePixel(0, 0)), Hex(out.Pixel(5, 5)));  // the centre piece
}

// ---------------------------------------------------------------------------------------------
// Tiling

class CountingGraphic : public TGraphic {
 public:
  CountingGraphic(int w, int h) : w_(w), h_(h) {}
  int Width() const override { return w_; }
  int Height() const override { return h_; }
  void Draw(TCanvas&, const TRect& r) const override { at.push_back(r.TopLeft()); }
  void LoadFromStream(TStream&) override {}
  mutable std::vector<TPoint> at;
 private:
  int w_, h_;
};

TEST(TileGraphic, ThirtyPixelTilesOverAHundredPixelRectangle) {
  CountingGraphic g(30, 30);
  TBitmap out(100, 100);
  TileGraphic(out.Canvas(), g, TRect(0, 0, 100, 100));
  ASSERT_EQ(25u, g.at.size());
  // Columns outer, rows inner, from the canvas origin.
  EXPECT_EQ(TPoint(0, 0), g.at[0]);
  EXPECT_EQ(TPoint(0, 30), g.at[1]);
  EXPECT_EQ(TPoint(0, 120), g.at[4]);
  EXPECT_EQ(TPoint(30, 0), g.at[5]);
  EXPECT_EQ(TPoint(120, 120), g.at[24]);
}

TEST(TileGraphic, StartsAtTheOriginNotAtTheRectangle) {
  CountingGraphic g(50, 40);
  TBitmap out(10, 10);
  TileGraphic(out.Canvas(), g, TRect(20, 20, 70, 60));
  ASSERT_EQ(4u, g.at.size());  // x in {0, 50}, y in {0, 40}
  EXPECT_EQ(TPoint(50, 40), g.at[3]);
}

TEST(TileGraphic, EmptyGraphicDrawsNothingAndDoesNotLoop) {
  CountingGraphic zeroW(0, 30), zeroH(30, 0);
  TBitmap out(10, 10);
  TileGraphic(out.Canvas(), zeroW, TRect(0, 0, 100, 100));
  TileGraphic(out.Canvas(), zeroH, TRect(0, 0, 100, 100));
  EXPECT_TRUE(zeroW.at.empty());
  EXPECT_TRUE(zeroH.at.empty());
}

TEST(TileGraphic, RealBitmapCoversTheRectangle) {
  TBitmap tile, out;
  MakeFrame(tile, 7, 5);
  test::Fill(out, 20, 12, clWhite);
  TileGraphic(out.Canvas(), tile, TRect(0, 0, 20, 12));
  EXPECT_EQ(Hex(FramePixel(6, 4)), Hex(out.Pixel(13, 9)));
  EXPECT_EQ(Hex(FramePixel(5, 1)), Hex(out.Pixel(19, 11)));
}

// ---------------------------------------------------------------------------------------------
// Parent background

// A parent whose every pixel tells its own position.
class PatternParent : public TCustomControl {
 public:
  explicit PatternParent(TComponent* owner) : TCustomControl(owner) { SetBounds(0, 0, 60, 60); }
 protected:
  void Paint() override {
    for (int y = 0; y < Height(); ++y)
      for (int x = 0; x < Width(); ++x) Canvas().SetPixel(x, y, RGB(x, y, 7));
  }
};

class SolidChild : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;
 protected:
  void Paint() override {
    Canvas().Brush().Color = clRed;
    Canvas().FillRect(ClientRect());
  }
};

class BlueBlock : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
 protected:
  void Paint() override {
    Canvas().Brush().Color = clBlue;
    Canvas().FillRect(TRect(0, 0, Width(), Height()));
  }
};

TEST(PaintParentBackground, ParentPixelAtTheControlsPositionLandsAtTheOrigin) {
  PatternParent parent(nullptr);
  SolidChild child(nullptr);
  child.SetBounds(10, 20, 30, 25);
  child.SetParent(&parent);
  TBitmap out;
  test::Fill(out, 30, 25, clWhite);
  PaintParentBackground(out.Canvas(), child);
  EXPECT_EQ(Hex(RGB(10, 20, 7)), Hex(out.Pixel(0, 0)));
  EXPECT_EQ(Hex(RGB(39, 44, 7)), Hex(out.Pixel(29, 24)));
  // The windowed child itself (red) is not painted into its own background.
  EXPECT_EQ(0, test::CountPixels(out, TRect(0, 0, 30, 25), clRed));
  child.SetParent(nullptr);
}

TEST(PaintParentBackground, GraphicSiblingsShowAndTheCanvasStateIsRestored) {
  PatternParent parent(nullptr);
  SolidChild child(nullptr);
  child.SetBounds(10, 20, 30, 25);
  child.SetParent(&parent);
  BlueBlock shape(nullptr);
  shape.SetBounds(15, 25, 5, 5);
  shape.SetParent(&parent);
  TBitmap out;
  test::Fill(out, 30, 25, clWhite);
  PaintParentBackground(out.Canvas(), child);
  EXPECT_EQ(Hex(clBlue), Hex(out.Pixel(6, 6)));
  EXPECT_EQ(TPoint(0, 0), out.Canvas().Origin());
  // Drawing after the call is neither shifted nor clipped.
  out.Canvas().Brush().Color = clLime;
  out.Canvas().FillRect(TRect(0, 0, 1, 1));
  EXPECT_EQ(Hex(clLime), Hex(out.Pixel(0, 0)));
  shape.SetParent(nullptr);
  child.SetParent(nullptr);
}

TEST(PaintParentBackground, NoParentPaintsNothing) {
  SolidChild child(nullptr);
  child.SetBounds(10, 20, 5, 5);
  TBitmap out;
  test::Fill(out, 5, 5, clWhite);
  PaintParentBackground(out.Canvas(), child);
  EXPECT_EQ(25, test::CountPixels(out, TRect(0, 0, 5, 5), clWhite));
}

}  // namespace
}  // namespace corvane
