// The skin hint: installation and its notification, where its settings come from, the window's
// size and place for a text (with the stored skin and without a skin), its painting, alpha and
// mask region, the object hints' wait and hide timers, and the drawing from skin pictures it uses.
#include <gtest/gtest.h>

#include "hints/SkinHint.h"
#include "platform/windows/Forms.h"
#include "skin/frame/SkinDrawing.h"
#include "skin/package/CompressedStoredSkin.h"
#include "skin/package/SkinData.h"
#include "skin/package/StoredSkin.h"
#include "support/HintSettings.h"
#include "support/TestSupport.h"

using namespace corvane;

namespace {

// The about window's skin: hint picture 42 x 22, corner points (13, 7), (38, 3), (12, 17),
// (37, 18), client rectangle (12, 3, 38, 19).
TskSkinGeometry AboutHintGeometry() {
  TskSkinGeometry g;
  g.Rect = {0, 0, 42, 22};
  g.LT = {13, 7};
  g.RT = {38, 3};
  g.LB = {12, 17};
  g.RB = {37, 18};
  g.Cl = {12, 3, 38, 19};
  return g;
}

// A picture whose every pixel differs from its neighbours, so a wrong copy shows.
std::unique_ptr<TBitmap> Numbered(int w, int h) {
  auto b = std::make_unique<TBitmap>(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b->SetPixel(x, y, static_cast<TColor>((x * 7 + 1) | ((y * 11 + 3) << 8) | 0x400000));
  return b;
}

class SkinHint : public ::testing::Test {
 protected:
  void SetUp() override {
    stored_.ReadCompressedData(StoredSkinBytes());
    data_.SetCompressedStoredSkin(&stored_);
  }
  static TSize Extent(const TFont& font, const std::string& text) {
    TBitmap b(1, 1);
    b.Canvas().Font().Assign(font);
    TRect r(0, 0, 0, 0);
    b.Canvas().DrawText(text, r, DT_CALCRECT);
    return {r.Width(), r.Height()};
  }
  static std::unique_ptr<TBitmap> Painted(TskSkinHintWindow& w) {
    auto b = std::make_unique<TBitmap>(w.Width(), w.Height());
    w.PaintTo(b->Canvas());
    return b;
  }

  test::HintSettingsGuard hintSettings_;  // put back when the test ends
  TskCompressedStoredSkin stored_{nullptr};
  TskSkinData data_{nullptr};
};

}  // namespace

// --- drawing from skin pictures -----------------------------------------------------------------

TEST(SkinDrawing, AMiddleIsLaidInTilesCutAtTheEnd) {
  std::vector<std::pair<int, int>> tiles;
  TileMiddle(0, 20, 8, [&](int at, int len) { tiles.emplace_back(at, len); });
  EXPECT_EQ(tiles, (std::vector<std::pair<int, int>>{{0, 8}, {8, 8}, {16, 4}}));
  tiles.clear();
  TileMiddle(5, 21, 8, [&](int at, int len) { tiles.emplace_back(at, len); });
  EXPECT_EQ(tiles, (std::vector<std::pair<int, int>>{{5, 8}, {13, 8}})) << "an exact multiple ends with no partial tile";
  tiles.clear();
  TileMiddle(0, 20, 0, [&](int at, int len) { tiles.emplace_back(at, len); });
  EXPECT_TRUE(tiles.empty()) << "a middle of no length lays nothing";
}

TEST(SkinDrawing, GrowingKeepsTheLeftAndTopBorderAndMovesTheOthers) {
  const TskGrownGeometry n = GrowGeometry(AboutHintGeometry(), 76, 22);
  EXPECT_EQ(n.Cl, TRect(12, 3, 72, 19));
  EXPECT_EQ(n.LT, TPoint(13, 7));
  EXPECT_EQ(n.RT, TPoint(72, 3));
  EXPECT_EQ(n.LB, TPoint(12, 17));
  EXPECT_EQ(n.RB, TPoint(71, 18));
}

TEST(SkinDrawing, AtThePicturesOwnSizeThePictureIsReproducedWithOrWithoutStretching) {
  auto pic = Numbered(42, 22);
  for (bool stretch : {false, true}) {
    TskSkinGeometry g = AboutHintGeometry();
    g.LeftStretch = g.TopStretch = g.RightStretch = g.BottomStretch = stretch;
    TBitmap out;
    BuildFrameBitmap(*pic, g, GrowGeometry(g, 42, 22), true, out);
    ASSERT_EQ(out.Width(), 42);
    ASSERT_EQ(out.Height(), 22);
    int wrong = 0;
    for (int y = 0; y < 22; ++y)
      for (int x = 0; x < 42; ++x) wrong += out.Pixel(x, y) != pic->Pixel(x, y);
    EXPECT_EQ(wrong, 0) << "stretch " << stretch;
  }
}

TEST(SkinDrawing, GrownBordersRepeatTheirMiddleFromItsStartAndTheClientIsTiled) {
  auto pic = Numbered(42, 22);
  const TskSkinGeometry g = AboutHintGeometry();
  TBitmap out;
  BuildFrameBitmap(*pic, g, GrowGeometry(g, 76, 40), true, out);
  // Top middle: 25 columns from x = 13, repeated; top right corner moved by 34.
  for (int x : {13, 37, 38, 50, 71}) EXPECT_EQ(out.Pixel(x, 1), pic->Pixel(13 + (x - 13) % 25, 1)) << x;
  EXPECT_EQ(out.Pixel(75, 0), pic->Pixel(41, 0));
  EXPECT_EQ(out.Pixel(72, 2), pic->Pixel(38, 2));
  // Left middle: 10 rows from y = 7 down to the moved bottom point (35).
  for (int y : {7, 16, 17, 30, 34}) EXPECT_EQ(out.Pixel(2, y), pic->Pixel(2, 7 + (y - 7) % 10)) << y;
  // Bottom right corner moved by (34, 18).
  EXPECT_EQ(out.Pixel(75, 39), pic->Pixel(41, 21));
  // Client area (26 x 16 in the picture) tiled over (12, 3, 72, 37).
  EXPECT_EQ(out.Pixel(12 + 26 + 1, 3 + 16 + 2), pic->Pixel(12 + 1, 3 + 2));
  EXPECT_EQ(out.Pixel(71, 36), pic->Pixel(12 + (71 - 12) % 26, 3 + (36 - 3) % 16));
}

TEST(SkinDrawing, AnEmptyPictureOrCornerPointsWithoutMiddlesDrawNothing) {
  TBitmap empty;
  TBitmap out;
  BuildFrameBitmap(empty, AboutHintGeometry(), GrowGeometry(AboutHintGeometry(), 50, 30), true, out);
  EXPECT_EQ(out.Width(), 50);
  EXPECT_EQ(out.Pixel(0, 0), clWhite);
  auto pic = Numbered(42, 22);
  TskSkinGeometry flat = AboutHintGeometry();
  flat.RB.X = flat.LT.X;
  BuildFrameBitmap(*pic, flat, GrowGeometry(flat, 50, 30), true, out);
  EXPECT_EQ(out.Pixel(0, 0), clWhite);
}

TEST(SkinDrawing, MaskRunsAreOneRectanglePerRunAndRow) {
  TBitmap mask(6, 2);  // white
  mask.SetPixel(1, 0, clBlack);
  mask.SetPixel(2, 0, clBlack);
  mask.SetPixel(4, 0, clBlack);
  mask.SetPixel(0, 1, 0x010000);  // nearly black is outside
  const TskMaskRuns runs = MaskRunRects(mask, 10, 20);
  EXPECT_EQ(runs.Rects, (std::vector<TRect>{{11, 20, 13, 21}, {14, 20, 15, 21}}));
  EXPECT_EQ(runs.Bounds, TRect(10, 20, 16, 22));
  TBitmap white(3, 3);
  EXPECT_TRUE(MaskRunRects(white, 0, 0).Rects.empty());
  EXPECT_EQ(MaskRunRects(white, 0, 0).Bounds, TRect(0, 0, 3, 3));
  EXPECT_TRUE(MaskRunRects(TBitmap(), 0, 0).Rects.empty());
}

TEST(SkinDrawing, TheFrameMaskRegionCutsTheCornersAwayAtTheGrownSize) {
  // A mask of the hint picture: black everywhere but the top-left and bottom-right pixels.
  TBitmap mask(42, 22);
  mask.Canvas().Brush().Color = clBlack;
  mask.Canvas().FillRect(TRect(0, 0, 42, 22));
  mask.SetPixel(0, 0, clWhite);
  mask.SetPixel(41, 21, clWhite);
  const TskSkinGeometry g = AboutHintGeometry();
  const TskGrownGeometry n = GrowGeometry(g, 80, 30);
  auto region = FrameMaskRegion(mask, g, n);
  ASSERT_NE(region, nullptr);
  EXPECT_FALSE(region->Contains({0, 0}));
  EXPECT_TRUE(region->Contains({1, 0}));
  EXPECT_TRUE(region->Contains({79, 0}));
  EXPECT_FALSE(region->Contains({79, 29})) << "the cut corner moves with the size";
  EXPECT_TRUE(region->Contains({78, 29}));
  EXPECT_TRUE(region->Contains({40, 15})) << "the client rectangle";
  EXPECT_TRUE(region->Contains({5, 20})) << "the left border, tiled";
  EXPECT_EQ(region->BoundingBox(), TRect(0, 0, 80, 30));
}

// --- installation and the notification ----------------------------------------------------------

TEST_F(SkinHint, CreatingOneInstallsTheSkinWindowTheShortPauseAndTheNotification) {
  Application->HintPause = 321;
  Application->HintHidePause = 4321;
  Application->SetShowHint(true);
  auto hint = std::make_unique<TskSkinHint>(nullptr);
  EXPECT_EQ(Application->HintWindowClass(), &HintWindowClassOf<TskSkinHintWindow>);
  ASSERT_NE(Application->HintWindow(), nullptr);
  EXPECT_EQ(Application->HintWindow()->ClassName(), "TskSkinHintWindow") << "the existing window is remade";
  EXPECT_EQ(Application->HintShortPause, 100);
  EXPECT_EQ(Application->HintPause, 321);
  EXPECT_EQ(Application->HintHidePause, 4321);
  EXPECT_TRUE(hint->Active());
  EXPECT_TRUE(hint->UseSkinFont);
  EXPECT_FALSE(hint->HintWindow().Visible());
  EXPECT_EQ(hint->Timer(), nullptr);

  std::string seen;
  hint->OnShowHint = [&seen](std::string& text, bool& canShow, THintInfo&) {
    seen = text;
    text = "changed";
    canShow = false;
  };
  ASSERT_TRUE(Application->HasOnShowHint());
  hint.reset();
  EXPECT_FALSE(Application->HasOnShowHint()) << "a destroyed component is never called";
  EXPECT_EQ(Application->HintWindowClass(), &HintWindowClassOf<TskSkinHintWindow>) << "the class stays";
}

TEST_F(SkinHint, TurningOneOnTurnsTheMainWindowsOthersOffAndTakesTheNotificationBack) {
  auto* main = new TForm(Application);
  Application->RegisterForm(main);
  ASSERT_EQ(Application->MainForm(), main);
  auto* first = new TskSkinHint(main);
  auto* second = new TskSkinHint(main);
  EXPECT_EQ(TskSkinHint::Settings(), first) << "the first active one the main window owns";
  int calls = 0;
  first->OnShowHint = [&calls](std::string&, bool&, THintInfo&) { ++calls; };
  first->SetActive(true);
  EXPECT_FALSE(second->Active());
  EXPECT_TRUE(first->Active());
  Application->SetOnShowHint(nullptr);
  first->SetActive(true);
  ASSERT_TRUE(Application->HasOnShowHint());
  second->SetActive(true);
  EXPECT_FALSE(first->Active());
  EXPECT_EQ(TskSkinHint::Settings(), second);
  first->SetActive(true);
  EXPECT_FALSE(second->Active());
  delete main;
  EXPECT_FALSE(Application->HasOnShowHint());
  EXPECT_EQ(calls, 0);
}

TEST_F(SkinHint, WithoutTheMainWindowsTheOwnerThenTheNewestActiveOneGivesTheSettings) {
  ASSERT_EQ(Application->MainForm(), nullptr);
  EXPECT_EQ(TskSkinHint::Settings(), nullptr);
  TskSkinHintWindow orphan(nullptr);
  orphan.ActivateHint(TRect(100, 100, 100, 100), "nothing");
  EXPECT_FALSE(orphan.Activated()) << "no settings anywhere: nothing happens";
  EXPECT_FALSE(orphan.Visible());
  Painted(orphan);  // and painting does not fail

  auto older = std::make_unique<TskSkinHint>(nullptr);
  auto newer = std::make_unique<TskSkinHint>(nullptr);
  EXPECT_EQ(TskSkinHint::Settings(), newer.get());
  EXPECT_EQ(TskSkinHint::Settings(older.get()), older.get()) << "the window's own component first";
  newer->SetActive(false);
  EXPECT_EQ(TskSkinHint::Settings(), older.get());
  EXPECT_EQ(TskSkinHint::Settings(newer.get()), older.get()) << "an inactive owner gives nothing";
  older->SetActive(false);
  EXPECT_EQ(TskSkinHint::Settings(), nullptr);
}

// --- size, place and look -----------------------------------------------------------------------

TEST_F(SkinHint, WithTheStoredSkinTheWindowIsThePictureGrownAroundTheText) {
  auto hint = std::make_unique<TskSkinHint>(nullptr);
  hint->SetSkinData(&data_);
  TskSkinHintWindow w(nullptr);
  // The example of a 60 x 13 text: 76 wide, the height raised to the picture's 22.
  EXPECT_EQ(TskSkinHintWindow::MeasureFor(60, 13, true, AboutHintGeometry()), (TSize{76, 22}));
  EXPECT_EQ(TskSkinHintWindow::MeasureFor(10, 5, true, AboutHintGeometry()), (TSize{42, 22})) << "never below the picture";
  EXPECT_EQ(TskSkinHintWindow::MeasureFor(60, 13, false, AboutHintGeometry()), (TSize{64, 17}));

  const std::string text = "最小化到图标";
  w.ActivateHint(TRect(200, 150, 200, 150), text);
  ASSERT_TRUE(w.Activated());
  EXPECT_TRUE(w.HasSkin());
  EXPECT_EQ(w.HintFont().Name(), "Arial") << "the skin's font";
  EXPECT_EQ(w.HintFont().Height(), 14);
  const TSize ext = Extent(w.HintFont(), text);
  EXPECT_EQ(w.Width(), std::max(42, ext.cx + 16));
  EXPECT_EQ(w.Height(), std::max(22, ext.cy + 6));
  EXPECT_EQ(w.Left(), 200);
  EXPECT_EQ(w.Top(), 150);
  EXPECT_TRUE(w.Visible());
  EXPECT_EQ(w.Grown().Cl, TRect(12, 3, 38 + w.Width() - 42, 19 + w.Height() - 22));
  EXPECT_FALSE(w.HasRegion()) << "the stored skin has no hint mask";

  hint->UseSkinFont = false;
  w.ActivateHint(TRect(200, 150, 200, 150), text);
  EXPECT_EQ(w.HintFont().Name(), "MS Sans Serif") << "DefaultFont when the skin's is not wanted";
}

TEST_F(SkinHint, PaintingDrawsTheSkinPictureAndCentresTheTextInTheGrownClientArea) {
  auto hint = std::make_unique<TskSkinHint>(nullptr);
  hint->SetSkinData(&data_);
  TskSkinHintWindow w(nullptr);
  w.ActivateHint(TRect(100, 100, 100, 100), "Minimize to tray");
  ASSERT_TRUE(w.HasSkin());
  TBitmap& pic = *data_.ActivePicture(data_.HintWindow->WindowPictureIndex);
  ASSERT_EQ(pic.Width(), 42);
  auto out = Painted(w);
  const int W = w.Width(), H = w.Height();
  // The four corners come straight from the picture.
  EXPECT_EQ(out->Pixel(0, 0), pic.Pixel(0, 0));
  EXPECT_EQ(out->Pixel(W - 1, 0), pic.Pixel(41, 0));
  EXPECT_EQ(out->Pixel(0, H - 1), pic.Pixel(0, 21));
  EXPECT_EQ(out->Pixel(W - 1, H - 1), pic.Pixel(41, 21));
  // The top border repeats its 25-column middle.
  EXPECT_EQ(out->Pixel(13 + 25 + 3, 1), pic.Pixel(13 + 3, 1));
  // The text (the skin's colour 0) lies inside the grown client area, centred.
  const TSize ext = Extent(w.HintFont(), "Minimize to tray");
  const TRect& g = w.Grown().Cl;
  const int x = g.Left + g.Width() / 2 - ext.cx / 2, y = g.Top + g.Height() / 2 - ext.cy / 2;
  int inside = 0, outside = 0;
  for (int yy = 0; yy < H; ++yy)
    for (int xx = 0; xx < W; ++xx) {
      if (out->Pixel(xx, yy) != clBlack || pic.Pixel(std::min(xx, 41), std::min(yy, 21)) == clBlack) continue;
      (TRect(x, y, x + ext.cx, y + ext.cy).Contains({xx, yy}) ? inside : outside)++;
    }
  EXPECT_GT(inside, 20) << "the text is drawn in black";
  EXPECT_EQ(outside, 0);
}

TEST_F(SkinHint, WithoutASkinItIsAPlainBoxInTheHintColours) {
  auto hint = std::make_unique<TskSkinHint>(nullptr);  // no skin data
  TskSkinHintWindow w(nullptr);
  w.ActivateHint(TRect(100, 100, 100, 100), "Copy\nPaste");
  ASSERT_TRUE(w.Activated());
  EXPECT_FALSE(w.HasSkin());
  const TSize ext = Extent(hint->DefaultFont(), "Copy\nPaste");
  EXPECT_EQ(w.Width(), ext.cx + 4);
  EXPECT_EQ(w.Height(), ext.cy + 4);
  EXPECT_GT(ext.cy, Extent(hint->DefaultFont(), "Copy").cy) << "line breaks are honoured";
  auto out = Painted(w);
  TBitmap probe(1, 1);
  probe.Canvas().Brush().Color = clBtnShadow;
  probe.Canvas().FillRect(TRect(0, 0, 1, 1));
  const TColor shadow = probe.Pixel(0, 0);
  probe.Canvas().Brush().Color = clInfoBk;
  probe.Canvas().FillRect(TRect(0, 0, 1, 1));
  EXPECT_EQ(out->Pixel(0, 0), shadow);
  EXPECT_EQ(out->Pixel(w.Width() - 1, w.Height() - 1), shadow);
  EXPECT_EQ(out->Pixel(1, 1), probe.Pixel(0, 0));

  // An empty skin counts as none.
  TskSkinData empty(nullptr);
  hint->SetSkinData(&empty);
  w.ActivateHint(TRect(100, 100, 100, 100), "x");
  EXPECT_FALSE(w.HasSkin());
}

TEST_F(SkinHint, AHintEndingBeyondTheScreenMovesBackByItsSizeAndTwo) {
  auto hint = std::make_unique<TskSkinHint>(nullptr);
  hint->SetSkinData(&data_);
  TskSkinHintWindow w(nullptr);
  const int sw = Screen->Width(), sh = Screen->Height();
  w.ActivateHint(TRect(sw - 10, sh - 5, sw - 10, sh - 5), "Close");
  EXPECT_EQ(w.Left() + w.Width(), sw - 10 - 2) << "its right edge 2 pixels left of the proposed left";
  EXPECT_EQ(w.Top() + w.Height(), sh - 5 - 2);
}

TEST_F(SkinHint, AlphaBlendMakesTheWindowLayeredWithItsValueAndOffTakesItBack) {
  // As on a display with a compositing manager; without one the window stays opaque (below).
  gWindowOpacitySeam = 1;
  struct Reset { ~Reset() { gWindowOpacitySeam = -1; } } reset;
  auto hint = std::make_unique<TskSkinHint>(nullptr);
  hint->SetSkinData(&data_);
  TskSkinHintWindow w(nullptr);
  hint->AlphaBlend = true;
  hint->AlphaBlendValue = 0;
  w.ActivateHint(TRect(100, 100, 100, 100), "x");
  EXPECT_TRUE(w.GetWindowLong(GWL_EXSTYLE) & WS_EX_LAYERED);
  EXPECT_EQ(w.LayeredAlpha(), 0) << "value 0 makes it fully transparent";
  hint->AlphaBlendValue = 200;
  w.ActivateHint(TRect(100, 100, 100, 100), "x");
  EXPECT_EQ(w.LayeredAlpha(), 200);
  hint->AlphaBlend = false;
  w.ActivateHint(TRect(100, 100, 100, 100), "x");
  EXPECT_FALSE(w.GetWindowLong(GWL_EXSTYLE) & WS_EX_LAYERED);
}

TEST_F(SkinHint, WithoutCompositingAlphaBlendLeavesTheWindowOpaque) {
  gWindowOpacitySeam = 0;
  struct Reset { ~Reset() { gWindowOpacitySeam = -1; } } reset;
  auto hint = std::make_unique<TskSkinHint>(nullptr);
  hint->SetSkinData(&data_);
  TskSkinHintWindow w(nullptr);
  hint->AlphaBlend = true;
  hint->AlphaBlendValue = 100;
  w.ActivateHint(TRect(100, 100, 100, 100), "x");
  EXPECT_FALSE(w.GetWindowLong(GWL_EXSTYLE) & WS_EX_LAYERED);
  EXPECT_EQ(w.LayeredAlpha(), 255);
}

TEST_F(SkinHint, AWindowPaintedAfterItsSettingsAndSkinWentAwayKeepsTheirLook) {
  auto ownData = std::make_unique<TskSkinData>(nullptr);
  ownData->SetCompressedStoredSkin(&stored_);
  auto hint = std::make_unique<TskSkinHint>(nullptr);
  hint->SetSkinData(ownData.get());
  TskSkinHintWindow w(nullptr);
  w.ActivateHint(TRect(100, 100, 100, 100), "Roll up");
  const TColor corner = ownData->ActivePicture(ownData->HintWindow->WindowPictureIndex)->Pixel(0, 0);
  ownData.reset();
  EXPECT_EQ(hint->SkinData(), nullptr) << "the reference is cleared";
  hint.reset();
  EXPECT_EQ(Painted(w)->Pixel(0, 0), corner);
}

// --- object hints: the component's own window ----------------------------------------------------

TEST_F(SkinHint, AnObjectHintShowsAfterTheHintPauseAndGoesAfterTheHidePause) {
  Application->HintPause = 30;
  Application->HintHidePause = 60;
  auto hint = std::make_unique<TskSkinHint>(nullptr);
  hint->SetSkinData(&data_);
  Input::MouseMove({300, 300});
  hint->ShowHintDelayed("first");
  hint->ShowHintDelayed("关闭");  // restarts the wait with the new text
  ASSERT_NE(hint->Timer(), nullptr);
  EXPECT_EQ(hint->Timer()->Interval(), 30);
  EXPECT_FALSE(hint->HintWindow().Visible());
  ASSERT_TRUE(test::RunUntil([&] { return hint->HintWindow().Visible(); }, 2000));
  EXPECT_EQ(hint->HintWindow().Caption(), "关闭");
  EXPECT_EQ(hint->HintWindow().Left(), 300);
  EXPECT_EQ(hint->HintWindow().Top(), 300 + CursorHeightMargin());
  EXPECT_TRUE(hint->HintWindow().HasSkin()) << "the window's own component gives the settings";
  ASSERT_NE(hint->Timer(), nullptr);
  EXPECT_EQ(hint->Timer()->Interval(), 60);
  ASSERT_TRUE(test::RunUntil([&] { return !hint->HintWindow().Visible(); }, 2000));
  EXPECT_EQ(hint->HintWindow().Left(), 0);
  EXPECT_EQ(hint->HintWindow().Top(), 0);
  EXPECT_FALSE(hint->Timer() && hint->Timer()->Enabled());
  // Showing again after the hide tick works, and HideHint stops a wait.
  hint->ShowHintDelayed("again");
  hint->HideHint();
  EXPECT_EQ(hint->Timer(), nullptr);
  test::RunFor(80);
  EXPECT_FALSE(hint->HintWindow().Visible());
}

TEST_F(SkinHint, DestroyingItWhileAnObjectHintWaitsLeavesNothingToTick) {
  Application->HintPause = 10;
  auto hint = std::make_unique<TskSkinHint>(nullptr);
  hint->ShowHintDelayed("x");
  hint.reset();
  // A tick reaching the destroyed component would show its (destroyed) window; the sanitizer
  // build reports it. A new one is untouched by anything left behind.
  auto next = std::make_unique<TskSkinHint>(nullptr);
  test::RunUntil([] { return false; }, 40);
  EXPECT_FALSE(next->HintWindow().Visible());
  EXPECT_EQ(next->Timer(), nullptr);
}
