// The image panel: draw styles, colour and transparency, caption, auto size and the picture.
#include <gtest/gtest.h>

#include "controls/ControlsTestUtil.h"
#include "controls/ImagePanel.h"
#include "controls/Theme.h"

namespace corvane {
namespace {

using test::FramePixel;
using test::Hex;

std::unique_ptr<TBitmap> FrameBitmap(int w, int h) {
  auto b = std::make_unique<TBitmap>();
  test::MakeFrame(*b, w, h);
  return b;
}

void SetBitmapPicture(TthImagePanel& p, int w, int h) {
  TPicture pic;
  pic.SetGraphic(FrameBitmap(w, h));
  p.SetPicture(pic);
}

// Renders the panel as the window system would (erase, then paint) into a bitmap of its size.
void Render(TWinControl& c, TBitmap& out, TColor ground = clBlack) {
  test::Fill(out, c.Width(), c.Height(), ground);
  c.PaintTo(out.Canvas());
}

class Ground : public TCustomControl {
 public:
  explicit Ground(TComponent* owner) : TCustomControl(owner) { SetBounds(0, 0, 100, 100); }
 protected:
  void Paint() override {
    for (int y = 0; y < Height(); ++y)
      for (int x = 0; x < Width(); ++x) Canvas().SetPixel(x, y, RGB(x, y, 99));
  }
};

TEST(ImagePanel, CreatedWithoutBevelsAndWithTheDefaults) {
  TthImagePanel p(nullptr);
  EXPECT_EQ(TBevelCut::bvNone, p.BevelInner);
  EXPECT_EQ(TBevelCut::bvNone, p.BevelOuter);
  EXPECT_EQ(TthDrawStyle::thNormal, p.DrawStyle());
  EXPECT_FALSE(p.Transparent());
  EXPECT_FALSE(p.AutoSize());
  EXPECT_EQ(TPoint(-1, -1), p.CaptionPosition());
  EXPECT_EQ(clBtnFace, p.Color());
  EXPECT_TRUE(p.Picture().Empty());
}

TEST(ImagePanel, NormalSmallPictureSitsTopLeftOnWhiteNotColor) {
  TthImagePanel p(nullptr);
  p.SetBounds(0, 0, 40, 30);
  p.SetColor(clGreen);
  SetBitmapPicture(p, 10, 8);
  TBitmap out;
  Render(p, out);
  EXPECT_EQ(Hex(FramePixel(0, 0)), Hex(out.Pixel(0, 0)));
  EXPECT_EQ(Hex(FramePixel(9, 7)), Hex(out.Pixel(9, 7)));
  EXPECT_EQ(Hex(clWhite), Hex(out.Pixel(10, 7)));
  EXPECT_EQ(Hex(clWhite), Hex(out.Pixel(39, 29)));
  EXPECT_EQ(0, test::CountPixels(out, TRect(0, 0, 40, 30), clGreen));
}

TEST(ImagePanel, NoPictureShowsColorOrTheParentWhenTransparent) {
  Ground ground(nullptr);
  TthImagePanel p(nullptr);
  p.SetBounds(30, 40, 20, 10);
  p.SetParent(&ground);
  p.SetColor(clNavy);
  TBitmap out;
  Render(p, out);
  EXPECT_EQ(200, test::CountPixels(out, TRect(0, 0, 20, 10), clNavy));
  p.SetTransparent(true);
  Render(p, out);
  EXPECT_EQ(Hex(RGB(30, 40, 99)), Hex(out.Pixel(0, 0)));
  EXPECT_EQ(Hex(RGB(49, 49, 99)), Hex(out.Pixel(19, 9)));
  p.SetParent(nullptr);
}

TEST(ImagePanel, StretchAndTile) {
  TthImagePanel p(nullptr);
  p.SetBounds(0, 0, 12, 12);
  SetBitmapPicture(p, 3, 3);
  p.SetDrawStyle(TthDrawStyle::thStretch);
  TBitmap out;
  Render(p, out);
  EXPECT_EQ(Hex(FramePixel(0, 0)), Hex(out.Pixel(3, 3)));
  EXPECT_EQ(Hex(FramePixel(1, 1)), Hex(out.Pixel(4, 4)));
  EXPECT_EQ(Hex(FramePixel(2, 2)), Hex(out.Pixel(11, 11)));
  p.SetDrawStyle(TthDrawStyle::thTile);
  Render(p, out);
  EXPECT_EQ(Hex(FramePixel(1, 1)), Hex(out.Pixel(4, 4)));
  EXPECT_EQ(Hex(FramePixel(2, 0)), Hex(out.Pixel(11, 9)));
}

TEST(ImagePanel, TransparentPictureLetsTheParentShowThroughItsKeyColour) {
  Ground ground(nullptr);
  TthImagePanel p(nullptr);
  p.SetBounds(10, 10, 6, 6);
  p.SetParent(&ground);
  auto bmp = FrameBitmap(6, 6);
  bmp->SetPixel(0, 5, clFuchsia);  // the bottom-left pixel names the transparent colour
  bmp->SetPixel(2, 2, clFuchsia);
  TPicture pic;
  pic.SetGraphic(std::move(bmp));
  p.SetPicture(pic);
  EXPECT_FALSE(p.Picture().Graphic()->Transparent);
  p.SetTransparent(true);
  EXPECT_TRUE(p.Picture().Graphic()->Transparent);
  TBitmap out;
  Render(p, out);
  EXPECT_EQ(Hex(RGB(12, 12, 99)), Hex(out.Pixel(2, 2)));
  EXPECT_EQ(Hex(FramePixel(3, 3)), Hex(out.Pixel(3, 3)));
  // A picture assigned later takes the panel's transparency.
  SetBitmapPicture(p, 6, 6);
  EXPECT_TRUE(p.Picture().Graphic()->Transparent);
  p.SetParent(nullptr);
}

TEST(ImagePanel, BlanksAroundACaptionAreDrawn) {
  TthImagePanel p(nullptr);
  p.SetBounds(0, 0, 120, 30);
  p.SetColor(clWhite);
  p.Font().SetColor(clBlack);
  p.Font().SetHeight(-16);
  p.Alignment = TAlignment::taLeftJustify;
  TBitmap out;
  auto firstInk = [&](const std::string& caption) {
    p.SetCaption(caption);
    Render(p, out);
    for (int x = 0; x < 120; ++x)
      for (int y = 0; y < 30; ++y)
        if (out.Pixel(x, y) != clWhite) return x;
    return -1;
  };
  int plain = firstInk("X");
  int padded = firstInk("   X  ");
  ASSERT_GE(plain, 0);
  EXPECT_GT(padded, plain);
}

TEST(ImagePanel, CaptionAlignmentAndFixedPosition) {
  TthImagePanel p(nullptr);
  p.SetBounds(0, 0, 200, 30);
  p.SetColor(clWhite);
  p.Font().SetColor(clBlack);
  p.SetCaption("II");
  auto inkSpan = [&] {
    TBitmap out;
    Render(p, out);
    int lo = 999, hi = -1;
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 200; ++x)
        if (out.Pixel(x, y) != clWhite) { lo = std::min(lo, x); hi = std::max(hi, x); }
    return std::make_pair(lo, hi);
  };
  auto centred = inkSpan();
  EXPECT_LT(std::abs((centred.first + centred.second) / 2 - 100), 6);
  p.Alignment = TAlignment::taRightJustify;
  EXPECT_GT(inkSpan().second, 185);
  p.SetCaptionPosition({5, 2});
  EXPECT_LT(inkSpan().first, 12);
}

TEST(ImagePanel, AutoSizeFollowsThePictureExceptAlongTheAlignment) {
  TthImagePanel p(nullptr);
  p.SetBounds(0, 0, 50, 50);
  SetBitmapPicture(p, 20, 10);
  EXPECT_EQ(50, p.Width());  // auto size is off
  p.SetAutoSize(true);
  EXPECT_EQ(20, p.Width());
  EXPECT_EQ(10, p.Height());
  p.SetAutoSize(false);
  p.SetBounds(0, 0, 50, 50);
  p.Align = TAlign::alClient;
  p.SetAutoSize(true);
  EXPECT_EQ(50, p.Width());
  EXPECT_EQ(50, p.Height());
  p.Align = TAlign::alTop;
  SetBitmapPicture(p, 30, 12);
  EXPECT_EQ(50, p.Width());
  EXPECT_EQ(12, p.Height());
  p.Align = TAlign::alLeft;
  SetBitmapPicture(p, 31, 13);
  EXPECT_EQ(31, p.Width());
  EXPECT_EQ(12, p.Height());
}

TEST(ImagePanel, PictureIsCopiedNotShared) {
  TthImagePanel p(nullptr);
  p.SetBounds(0, 0, 4, 4);
  TPicture pic;
  pic.SetGraphic(FrameBitmap(4, 4));
  p.SetPicture(pic);
  pic.Bitmap().SetPixel(1, 1, clRed);
  TBitmap out;
  Render(p, out);
  EXPECT_EQ(Hex(FramePixel(1, 1)), Hex(out.Pixel(1, 1)));
}

TEST(ImagePanel, GraphicChildrenArePaintedOverThePicture) {
  class Dot : public TGraphicControl {
   public:
    using TGraphicControl::TGraphicControl;
   protected:
    void Paint() override {
      Canvas().Brush().Color = clRed;
      Canvas().FillRect(TRect(0, 0, Width(), Height()));
    }
  };
  TthImagePanel p(nullptr);
  p.SetBounds(0, 0, 20, 20);
  SetBitmapPicture(p, 20, 20);
  Dot d(nullptr);
  d.SetBounds(5, 5, 2, 2);
  d.SetParent(&p);
  TBitmap out;
  Render(p, out);
  EXPECT_EQ(4, test::CountPixels(out, TRect(0, 0, 20, 20), clRed));
  EXPECT_EQ(Hex(clRed), Hex(out.Pixel(6, 6)));
  d.SetParent(nullptr);
}

TEST(ImagePanel, FullSizeJpegPage) {
  TthImagePanel p(nullptr);
  p.SetBounds(0, 0, 896, 513);
  TPicture pic;
  pic.LoadFromResourceName("page1.jpg");
  p.SetPicture(pic);
  TBitmap out;
  Render(p, out, clFuchsia);
  const auto& jpeg = dynamic_cast<const TJPEGImage&>(*p.Picture().Graphic());
  EXPECT_EQ(Hex(jpeg.Bitmap().Pixel(0, 0)), Hex(out.Pixel(0, 0)));
  EXPECT_EQ(Hex(jpeg.Bitmap().Pixel(895, 512)), Hex(out.Pixel(895, 512)));
  EXPECT_EQ(0, test::CountPixels(out, TRect(0, 0, 896, 513), clFuchsia));
}

}  // namespace
}  // namespace corvane
