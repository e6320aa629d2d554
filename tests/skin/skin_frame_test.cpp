// The skinned form frame and the default frame: geometry, non-client size, region, hit testing,
// size limits, painting and the object mouse protocol, with the stored skin (main picture
// 188 x 128, client rectangle 11,32,177,118, mask area 5,4,183,124, border width 4).
#include <gtest/gtest.h>

#include <memory>

#include "platform/windows/Forms.h"
#include "skin/SkinTestUtil.h"
#include "skin/frame/SkinForm.h"
#include "skin/frame/SkinObjects.h"
#include "skin/package/CompressedStoredSkin.h"
#include "skin/package/SkinData.h"
#include "skin/package/StoredSkin.h"

using namespace corvane;

namespace {

// Pixel (x, y) of a bitmap or image as 0xRRGGBB.
uint32_t At(const TBitmap& b, int x, int y) { return b.ScanLine(y)[x] & 0xFFFFFF; }
uint32_t At(const TBmpImage& i, int x, int y) { return i.Pixel(x, y) & 0xFFFFFF; }

// A colour as the bitmaps hold it (0xRRGGBB).
uint32_t PixelOf(TColor c) {
  c = ColorToRGB(c);
  return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

// The stored skin's frame geometry on a picture of its size.
TskSkinGeometry StoredGeometry() {
  TskSkinGeometry g;
  g.Rect = {0, 0, 188, 128};
  g.LT = {89, 39};
  g.RT = {97, 37};
  g.LB = {14, 115};
  g.RB = {174, 116};
  g.Cl = {11, 32, 177, 118};
  return g;
}

// Records what the frame hands to the object hint.
class HintSpy : public TComponent, public TskObjectHint {
 public:
  using TComponent::TComponent;
  void ShowHintDelayed(const std::string& text) override { shown.push_back(text); }
  void HideHint() override { ++hidden; }
  std::vector<std::string> shown;
  int hidden = 0;
};

class Frame : public ::testing::Test {
 protected:
  void SetUp() override {
    stored_.ReadCompressedData(StoredSkinBytes());
    skin_.SetCompressedStoredSkin(&stored_);
    ASSERT_FALSE(skin_.IsEmpty);
  }
  // A form of the given style and size with a frame attached (not shown).
  TskSkinForm* Attach(TFormBorderStyle style, int w, int h, bool skinned = true) {
    form_ = std::make_unique<TForm>(nullptr);
    form_->SetBorderStyle(style);
    form_->SetBounds(100, 100, w, h);
    frame_ = new TskSkinForm(form_.get());
    frame_->ActiveLook = 1;
    if (skinned) frame_->SetSkinData(&skin_);
    else frame_->ApplySkinData();
    return frame_;
  }
  int Hit(int x, int y) {
    return static_cast<int>(form_->Perform(WM_NCHITTEST, 0, MakeLParam(form_->Left() + x, form_->Top() + y)));
  }
  TskCompressedStoredSkin stored_{nullptr};
  TskSkinData skin_{nullptr};
  std::unique_ptr<TForm> form_;
  TskSkinForm* frame_ = nullptr;
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// Drawing pieces

TEST(SkinBorders, AtThePicturesOwnSizeTheTopMiddleRepeatsFromTheBitmapsStartAndTheCornersAreExact) {
  const TBmpImage pattern = test::PatternImage(188, 128);
  TBitmap picture;
  ImageToBitmap(pattern, picture);
  const TskSkinGeometry g = StoredGeometry();
  TskBorderBitmaps b;
  BuildBorderBitmaps(picture, g, GrowGeometry(g, 188, 128), b);
  ASSERT_EQ(b.Top.Width(), 188);
  ASSERT_EQ(b.Top.Height(), 32);
  EXPECT_EQ(b.Bottom.Height(), 10);
  EXPECT_EQ(b.Left.Width(), 11);
  EXPECT_EQ(b.Left.Height(), 128 - 32 - 10);
  EXPECT_EQ(b.Right.Width(), 11);
  for (int y = 0; y < 32; ++y) {
    // d_top = 8: the middle shows column LT.X + (x mod 8), so x = 89 shows column 90.
    for (int x = 89; x < 97; ++x) ASSERT_EQ(At(b.Top, x, y), At(pattern, 89 + x % 8, y)) << x << "," << y;
    for (int x = 0; x < 89; ++x) ASSERT_EQ(At(b.Top, x, y), At(pattern, x, y)) << x << "," << y;
    for (int x = 97; x < 188; ++x) ASSERT_EQ(At(b.Top, x, y), At(pattern, x, y)) << x << "," << y;
  }
  // The left border's caps: rows 32..38 of the picture on top, rows 115..117 at the bottom.
  for (int x = 0; x < 11; ++x) {
    for (int y = 0; y < 7; ++y) EXPECT_EQ(At(b.Left, x, y), At(pattern, x, 32 + y));
    for (int y = 0; y < 3; ++y) EXPECT_EQ(At(b.Left, x, 83 + y), At(pattern, x, 115 + y));
  }
}

TEST(SkinBorders, GrownBordersKeepTheirCornersAndABorderWithoutMiddleIsNotBuilt) {
  const TBmpImage pattern = test::PatternImage(188, 128);
  TBitmap picture;
  ImageToBitmap(pattern, picture);
  TskSkinGeometry g = StoredGeometry();
  TskBorderBitmaps b;
  BuildBorderBitmaps(picture, g, GrowGeometry(g, 500, 300), b);
  ASSERT_EQ(b.Top.Width(), 500);
  // The top right corner (from RT.X = 97) moves with the width: it starts at 97 + 312.
  for (int x = 409; x < 500; ++x) EXPECT_EQ(At(b.Top, x, 5), At(pattern, x - 312, 5)) << x;
  ASSERT_EQ(b.Bottom.Width(), 500);
  for (int x = 174 + 312; x < 500; ++x) EXPECT_EQ(At(b.Bottom, x, 9), At(pattern, x - 312, 127)) << x;
  EXPECT_EQ(b.Left.Height(), 300 - 32 - 10);

  g.RT.X = g.LT.X;  // no top middle
  BuildBorderBitmaps(picture, g, GrowGeometry(g, 500, 300), b);
  EXPECT_TRUE(b.Top.Empty());
  EXPECT_EQ(b.Left.Height(), 300 - 10) << "a border not built counts 0 for the sides";
}

TEST(SkinMask, TheStoredMasksRowsAreSymmetricRunsAndEveryRunIsKept) {
  TskCompressedStoredSkin stored(nullptr);
  stored.ReadCompressedData(StoredSkinBytes());
  TskSkinData skin(nullptr);
  skin.SetCompressedStoredSkin(&stored);
  ASSERT_TRUE(skin.Mask);
  ASSERT_EQ(skin.Mask->Width(), 188);
  const TskMaskRuns runs = MaskRunRects(*skin.Mask, 0, 0);
  ASSERT_FALSE(runs.Rects.empty());
  EXPECT_EQ(runs.Rects[0], TRect(7, 0, 181, 1)) << "seven background pixels at each end of the first row";
  EXPECT_EQ(runs.Rects.size(), 128u) << "one run per row";
  for (const TRect& r : runs.Rects) EXPECT_EQ(r.Left, 188 - r.Right) << "row " << r.Top;

  // A checkerboard of 300 x 70 has 10,500 runs: more than a fixed buffer of 10,001 would hold.
  TBitmap board(300, 70);
  for (int y = 0; y < 70; ++y)
    for (int x = 0; x < 300; ++x) board.ScanLine(y)[x] = (x + y) % 2 ? 0xFFFFFF : 0;
  const TskMaskRuns many = MaskRunRects(board, 0, 0);
  EXPECT_EQ(many.Rects.size(), 10500u);
  EXPECT_EQ(many.Rects.back(), TRect(299, 69, 300, 70));
}

TEST(SkinGlyphs, TheCloseGlyphIsTwoDoubleDiagonals) {
  TBitmap b(12, 12);
  b.Canvas().Brush().Color = clWhite;
  b.Canvas().FillRect({0, 0, 12, 12});
  DrawCloseGlyph(b.Canvas(), 0, 0, clBlack);
  auto black = [&](int x, int y) { return (b.ScanLine(y)[x] & 0xFFFFFF) == 0; };
  EXPECT_TRUE(black(1, 1));
  EXPECT_TRUE(black(8, 8));
  EXPECT_FALSE(black(9, 9)) << "lines end before their second point";
  EXPECT_TRUE(black(2, 1));
  EXPECT_TRUE(black(9, 1));
  EXPECT_TRUE(black(8, 1));
  EXPECT_FALSE(black(0, 0));
  TBitmap m(12, 12);
  m.Canvas().Brush().Color = clWhite;
  m.Canvas().FillRect({0, 0, 12, 12});
  DrawMaximizeGlyph(m.Canvas(), 0, 0, clBlack);
  int dark = 0;
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x) dark += (m.ScanLine(y)[x] & 0xFFFFFF) == 0;
  // Outline 11 x 10 (38 pixels) and the title bar's second row inside it (9 pixels).
  EXPECT_EQ(dark, 38 + 9);
}

// ---------------------------------------------------------------------------------------------
// The about window's frame: border style none

TEST_F(Frame, WithBorderStyleNoneTheSkinAnswersHitTestsButTakesNoFrameAndNoRegion) {
  Attach(TFormBorderStyle::bsNone, 550, 386);
  EXPECT_EQ(form_->NonClientMargins(), TRect(0, 0, 0, 0)) << "the client area is the whole window";
  EXPECT_EQ(form_->WindowRegion(), nullptr);
  EXPECT_EQ(frame_->Geometry().ClRect, TRect(11, 32, 539, 376));
  EXPECT_EQ(Hit(11, 32), HTCLIENT);
  EXPECT_EQ(Hit(538, 375), HTCLIENT);
  EXPECT_EQ(Hit(300, 200), HTCLIENT);
  ASSERT_NE(frame_->FindObject("caption"), nullptr);
  EXPECT_EQ(frame_->FindObject("caption")->ObjectRect, TRect(79, 3, 471, 30));
  EXPECT_EQ(Hit(79, 3), HTCAPTION);
  EXPECT_EQ(Hit(470, 29), HTCAPTION);
  const struct { const char* name; TRect r; } buttons[] = {
      {"sysmenubutton", {7, 5, 30, 29}},      {"rollupbutton", {31, 5, 54, 29}},
      {"traybutton", {55, 5, 78, 29}},        {"minimizebutton", {472, 5, 495, 29}},
      {"maximizebutton", {496, 5, 519, 29}},  {"closebutton", {520, 5, 543, 29}}};
  for (const auto& b : buttons) {
    ASSERT_NE(frame_->FindObject(b.name), nullptr) << b.name;
    EXPECT_EQ(frame_->FindObject(b.name)->ObjectRect, b.r) << b.name;
    EXPECT_EQ(Hit(b.r.Left + 2, b.r.Top + 2), HTOBJECT) << b.name;
  }
  EXPECT_EQ(Hit(2, 2), HTOBJECT);
  EXPECT_EQ(Hit(5, 200), HTOBJECT);
  EXPECT_EQ(Hit(300, 380), HTOBJECT);
  EXPECT_EQ(Hit(545, 100), HTOBJECT);

  // The frame paints nothing on such a window.
  TBitmap canvas(550, 386);
  canvas.Canvas().Brush().Color = clFuchsia;
  canvas.Canvas().FillRect({0, 0, 550, 386});
  form_->Perform(WM_NCPAINT, reinterpret_cast<WPARAM>(&canvas.Canvas()), 0);
  for (int y = 0; y < 386; y += 7)
    for (int x = 0; x < 550; x += 7) ASSERT_EQ(canvas.ScanLine(y)[x] & 0xFFFFFF, 0xFF00FFu) << x << "," << y;
}

TEST_F(Frame, HoveringAButtonHandsItsHintOnAndAClickRunsItsCommandOnlyWhenReleasedOnIt) {
  Attach(TFormBorderStyle::bsNone, 550, 386);
  auto* spy = new HintSpy(form_.get());
  frame_->SetSkinHint(spy);
  frame_->ShowObjectHint = true;
  form_->Show();
  bool closed = false;
  form_->OnClose = [&](TObject*, TCloseAction& a) { closed = true; a = TCloseAction::caNone; };

  frame_->UpdateHover(20, 15, true);
  ASSERT_GE(frame_->ActiveObject(), 0);
  EXPECT_EQ(frame_->Objects()[frame_->ActiveObject()]->IDName, "sysmenubutton");
  ASSERT_EQ(spy->shown.size(), 1u);
  EXPECT_EQ(spy->shown[0], "系统菜单");

  // Press on the close button, release over the minimize button: nothing happens.
  const TPoint at = {form_->Left(), form_->Top()};
  form_->Perform(WM_NCLBUTTONDOWN, HTOBJECT, MakeLParam(at.X + 530, at.Y + 15));
  EXPECT_EQ(frame_->Objects()[frame_->CapturedObject()]->IDName, "closebutton");
  frame_->UpdateHover(480, 15, true);
  EXPECT_EQ(frame_->ActiveObject(), -1) << "no other object becomes active while one is captured";
  form_->Perform(WM_LBUTTONUP, 0, MakeLParam(-1, -1));
  EXPECT_FALSE(closed);
  EXPECT_EQ(frame_->CapturedObject(), -1);
  EXPECT_FALSE(static_cast<TskSkinButtonObject*>(frame_->FindObject("closebutton"))->Down);

  // Press and release on it closes the window.
  frame_->UpdateHover(530, 15, true);
  form_->Perform(WM_NCLBUTTONDOWN, HTOBJECT, MakeLParam(at.X + 530, at.Y + 15));
  form_->Perform(WM_LBUTTONUP, 0, MakeLParam(-1, -1));
  EXPECT_TRUE(closed);

  // The window loses the activation with the pointer on the button (its windows went to the tray)
  // and gets it back with the pointer still there: the next click on the button works too.
  closed = false;
  frame_->UpdateHover(530, 15, true);
  form_->Perform(WM_ACTIVATE, 0, 0);
  EXPECT_EQ(frame_->ActiveObject(), -1);
  EXPECT_FALSE(frame_->FindObject("closebutton")->Active);
  form_->Perform(WM_ACTIVATE, 1, 0);
  form_->Perform(WM_NCLBUTTONDOWN, HTOBJECT, MakeLParam(at.X + 530, at.Y + 15));
  form_->Perform(WM_LBUTTONUP, 0, MakeLParam(-1, -1));
  EXPECT_TRUE(closed);
}

// ---------------------------------------------------------------------------------------------
// A sizeable skinned window

TEST_F(Frame, ASizeableWindowGetsTheSkinsNonClientSizeARegionFollowingItsSizeAndSizingEdges) {
  Attach(TFormBorderStyle::bsSizeable, 400, 300);
  EXPECT_EQ(form_->NonClientMargins(), TRect(11, 32, 11, 10));
  EXPECT_EQ(form_->ClientRect(), TRect(0, 0, 378, 258));
  ASSERT_NE(form_->WindowRegion(), nullptr);
  const TRegion& r = *form_->WindowRegion();
  EXPECT_TRUE(r.Contains({200, 150}));
  EXPECT_FALSE(r.Contains({0, 0})) << "the corners are cut away";
  EXPECT_FALSE(r.Contains({399, 299}));

  // The region follows the size: the first row is [7, W - 7).
  form_->SetBounds(form_->Left(), form_->Top(), 500, 350);
  ASSERT_NE(form_->WindowRegion(), nullptr);
  const TRegion& grown = *form_->WindowRegion();
  EXPECT_TRUE(grown.Contains({7, 0}));
  EXPECT_TRUE(grown.Contains({492, 0}));
  EXPECT_FALSE(grown.Contains({6, 0}));
  EXPECT_FALSE(grown.Contains({493, 0}));
  EXPECT_TRUE(grown.Contains({499, 175}));
  EXPECT_EQ(grown.BoundingBox(), TRect(0, 0, 500, 350));

  form_->SetBounds(form_->Left(), form_->Top(), 400, 300);
  EXPECT_EQ(Hit(200, 150), HTCLIENT);
  EXPECT_EQ(Hit(3, 3), HTTOPLEFT);
  EXPECT_EQ(Hit(397, 2), HTTOPRIGHT);
  EXPECT_EQ(Hit(2, 297), HTBOTTOMLEFT);
  EXPECT_EQ(Hit(397, 297), HTBOTTOMRIGHT);
  EXPECT_EQ(Hit(200, 1), HTTOP);
  EXPECT_EQ(Hit(200, 298), HTBOTTOM);
  EXPECT_EQ(Hit(1, 150), HTLEFT);
  EXPECT_EQ(Hit(398, 150), HTRIGHT);
  EXPECT_EQ(Hit(200, 15), HTCAPTION) << "the caption away from the edge";
  EXPECT_EQ(Hit(6, 150), HTOBJECT) << "inside the mask area, on the border";
}

TEST_F(Frame, SizeLimitsNeverGoBelowTheMainPictureAndMinWidthOnlyRaisesThem) {
  Attach(TFormBorderStyle::bsSizeable, 400, 300);
  TMinMaxInfo info;
  form_->Perform(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.MinTrackSizeX, 188);
  EXPECT_EQ(info.MinTrackSizeY, 128 - 86);
  EXPECT_EQ(info.MaxTrackSizeX, Screen->WorkAreaRect().Width()) << "MaxWidth 0: the monitor's work area";
  frame_->MinWidth = 100;
  EXPECT_EQ(frame_->MinFrameWidth(), 188);
  frame_->MinWidth = 300;
  frame_->MinHeight = 200;
  frame_->MaxWidth = 600;
  form_->Perform(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.MinTrackSizeX, 300);
  EXPECT_EQ(info.MinTrackSizeY, 200);
  EXPECT_EQ(info.MaxTrackSizeX, 600);

  // Applying a skin to a window smaller than the picture grows it.
  form_->SetBounds(form_->Left(), form_->Top(), 100, 30);
  frame_->MinWidth = frame_->MinHeight = 0;
  frame_->ApplySkinData();
  EXPECT_EQ(form_->Width(), 188);
  EXPECT_EQ(form_->Height(), 42);
}

TEST_F(Frame, TheFramePaintsAroundTheClientAndDarkensWhenInactive) {
  Attach(TFormBorderStyle::bsSizeable, 400, 300);
  auto paint = [&](TBitmap& out) {
    out.SetSize(400, 300);
    out.Canvas().Brush().Color = clFuchsia;
    out.Canvas().FillRect({0, 0, 400, 300});
    form_->Perform(WM_NCPAINT, reinterpret_cast<WPARAM>(&out.Canvas()), 0);
  };
  TBitmap active, inactive;
  paint(active);
  frame_->ActiveLook = 0;
  paint(inactive);
  const TBitmap& picture = *skin_.Picture;
  // The top-left corner is the picture's own, the client area is left alone.
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 60; ++x) ASSERT_EQ(active.ScanLine(y)[x] & 0xFFFFFF, picture.ScanLine(y)[x] & 0xFFFFFF);
  for (int y = 32; y < 290; y += 9)
    for (int x = 11; x < 389; x += 9) ASSERT_EQ(active.ScanLine(y)[x] & 0xFFFFFF, 0xFF00FFu) << x << "," << y;
  // The inactive look is darker, pixel by pixel, and somewhere strictly.
  bool darker = false;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 400; ++x) {
      const uint32_t a = active.ScanLine(y)[x], i = inactive.ScanLine(y)[x];
      for (int shift : {0, 8, 16}) ASSERT_LE((i >> shift) & 0xFF, (a >> shift) & 0xFF) << x << "," << y;
      darker = darker || (a & 0xFFFFFF) != (i & 0xFFFFFF);
    }
  EXPECT_TRUE(darker);

  // The caption is written in its active colour, centred in the caption object's text rectangle
  // (4, 5, 26 + growth, 22 within the object at 79, 3).
  const TRect caption = frame_->FindObject("caption")->ObjectRect;
  ASSERT_EQ(caption, TRect(79, 3, 321, 30));
  form_->SetCaption("Skinned");
  frame_->ActiveLook = 1;
  paint(active);
  int left = 400, right = -1;
  for (int y = 3; y < 30; ++y)
    for (int x = 0; x < 400; ++x)
      if (At(active, x, y) == PixelOf(static_cast<TColor>(13168895))) left = std::min(left, x), right = std::max(right, x);
  ASSERT_GE(right, 0) << "no caption text";
  EXPECT_GE(left, caption.Left + 4);
  EXPECT_LT(right, caption.Right - 4);
  EXPECT_NEAR((left + right) / 2, caption.Left + 4 + (caption.Width() - 8) / 2, 4);
}

TEST_F(Frame, AltSpaceAndF10OpenNoMenuAndOtherSystemCommandsPassOn) {
  form_ = std::make_unique<TForm>(nullptr);
  form_->SetBounds(100, 100, 400, 300);
  std::vector<WPARAM> reachedWindow, sent;
  TWndMethod original = form_->WindowProc;
  form_->WindowProc = [&, original](TMessage& m) {
    if (m.Msg == WM_SYSCOMMAND) reachedWindow.push_back(m.WParam & 0xFFF0);
    original(m);
  };
  frame_ = new TskSkinForm(form_.get());
  frame_->SetSkinData(&skin_);
  TWndMethod framed = form_->WindowProc;
  form_->WindowProc = [&, framed](TMessage& m) {
    if (m.Msg == WM_SYSCOMMAND) sent.push_back(m.WParam & 0xFFF0);
    framed(m);
  };
  form_->Perform(WM_KEYDOWN, VK_F10, 0);
  form_->Perform(WM_SYSKEYDOWN, VK_SPACE, ssAlt);
  EXPECT_EQ(sent, (std::vector<WPARAM>{SC_KEYMENU, SC_KEYMENU})) << "the keys ask for the menu";
  EXPECT_TRUE(reachedWindow.empty()) << "the frame keeps SC_KEYMENU from the window";
  form_->Perform(WM_SYSCOMMAND, 0xF1F0, 0);
  EXPECT_EQ(reachedWindow, (std::vector<WPARAM>{0xF1F0}));
}

TEST_F(Frame, ClientWidthIsKeptAcrossSkinChanges) {
  Attach(TFormBorderStyle::bsSizeable, 500, 300, false);
  frame_->ClientWidth = 400;
  frame_->ApplySkinData();
  EXPECT_EQ(form_->ClientRect().Width(), 400) << "default frame";
  EXPECT_EQ(form_->Width(), 406);
  frame_->SetSkinData(&skin_);
  EXPECT_EQ(form_->ClientRect().Width(), 400) << "stored skin";
  EXPECT_EQ(form_->Width(), 422);
  frame_->SetSkinData(nullptr);
  EXPECT_EQ(form_->ClientRect().Width(), 400);
}

TEST_F(Frame, DestroyingTheSkinDataFallsBackToTheDefaultFrame) {
  auto data = std::make_unique<TskSkinData>(nullptr);
  data->SetCompressedStoredSkin(&stored_);
  Attach(TFormBorderStyle::bsSizeable, 400, 300, false);
  frame_->SetSkinData(data.get());
  ASSERT_TRUE(frame_->Skinned());
  data.reset();
  EXPECT_FALSE(frame_->Skinned());
  EXPECT_EQ(frame_->SkinData(), nullptr);
  EXPECT_EQ(form_->NonClientMargins(), TRect(3, 22, 3, 3));
  EXPECT_EQ(form_->WindowRegion(), nullptr);
}

TEST_F(Frame, DetachingGivesTheWindowItsOwnProcedureAndNoFrame) {
  Attach(TFormBorderStyle::bsSizeable, 400, 300);
  delete frame_;
  EXPECT_EQ(form_->NonClientMargins(), TRect(0, 0, 0, 0));
  EXPECT_EQ(form_->WindowRegion(), nullptr);
  EXPECT_EQ(form_->Perform(WM_NCHITTEST, 0, MakeLParam(form_->Left() + 1, form_->Top() + 1)), HTCLIENT);
}

TEST(FrameOwner, AFrameNeedsAForm) {
  TComponent owner(nullptr);
  EXPECT_THROW(TskSkinForm frame(&owner), EInvalidCast);
}

// ---------------------------------------------------------------------------------------------
// The default frame

TEST_F(Frame, TheDefaultFrameOfA200By100WindowLaysOutItsButtonsAndAnswersHitTests) {
  Attach(TFormBorderStyle::bsSizeable, 200, 100, false);
  EXPECT_EQ(form_->NonClientMargins(), TRect(3, 22, 3, 3));
  EXPECT_EQ(Hit(0, 0), HTTOPLEFT);
  EXPECT_EQ(Hit(2, 2), HTTOPLEFT);
  EXPECT_EQ(Hit(0, 50), HTLEFT);
  EXPECT_EQ(Hit(198, 50), HTRIGHT);
  EXPECT_EQ(Hit(197, 50), HTOBJECT);
  EXPECT_EQ(Hit(100, 99), HTBOTTOM);
  EXPECT_EQ(Hit(80, 10), HTCAPTION);
  EXPECT_EQ(Hit(3, 22), HTCLIENT);
  EXPECT_EQ(Hit(3, 21), HTOBJECT);
  EXPECT_EQ(frame_->Geometry().DefCaptionRect, TRect(20, 3, 129, 19));
  const struct { const char* name; TRect r; } buttons[] = {{"closebutton", {180, 4, 197, 21}},
                                                           {"maxbutton", {163, 4, 180, 21}},
                                                           {"minbutton", {146, 4, 163, 21}},
                                                           {"rollupbutton", {129, 4, 146, 21}},
                                                           {"sysmenubutton", {3, 4, 20, 21}}};
  for (const auto& b : buttons) {
    ASSERT_NE(frame_->FindObject(b.name), nullptr) << b.name;
    EXPECT_EQ(frame_->FindObject(b.name)->ObjectRect, b.r) << b.name;
    EXPECT_TRUE(frame_->FindObject(b.name)->Visible) << b.name;
  }
  EXPECT_FALSE(frame_->FindObject("traybutton")->Visible) << "biMinimizeToTray is not among the icons";
  frame_->SetBorderIcons(kDefaultBorderIcons | BorderIconBit(TskBorderIcon::biMinimizeToTray));
  frame_->LayoutDefaultCaption();
  EXPECT_EQ(frame_->FindObject("traybutton")->ObjectRect, TRect(112, 4, 129, 21));
  EXPECT_EQ(frame_->Geometry().DefCaptionRect, TRect(20, 3, 112, 19));
}

TEST_F(Frame, TheDefaultCaptionIsCentredShortenedAndGreyWhenInactive) {
  Attach(TFormBorderStyle::bsSizeable, 200, 100, false);
  form_->SetCaption(std::string(80, 'W'));
  auto paint = [&](TBitmap& out) {
    out.SetSize(200, 100);
    form_->Perform(WM_NCPAINT, reinterpret_cast<WPARAM>(&out.Canvas()), 0);
  };
  TBitmap active, inactive;
  paint(active);
  frame_->ActiveLook = 0;
  paint(inactive);
  // The caption band between the system-menu button and the buttons holds the text: its darkest
  // pixels are the active font's colour, grey when inactive; nothing is drawn over the buttons.
  auto countOf = [](const TBitmap& b, TColor c) {
    int n = 0;
    for (int y = 3; y < 19; ++y)
      for (int x = 23; x < 129; ++x) n += (b.ScanLine(y)[x] & 0xFFFFFF) == PixelOf(c);
    return n;
  };
  EXPECT_GT(countOf(active, clBtnText), 20);
  EXPECT_GT(countOf(inactive, clBtnShadow), 20);
  EXPECT_EQ(countOf(inactive, clBtnText), 0);
}
