// Canvas drawing checked on pixels, and JPEG decoding.
#include <gtest/gtest.h>

#include <cstdio>

#include <jpeglib.h>

#include <cstdlib>
#include <utility>
#include <vector>

#include "platform/graphics/Graphics.h"
#include "platform/windows/TrayIcons.h"

using namespace corvane;

namespace {
void Fill(TBitmap& b, TColor c) {
  b.Canvas().Brush().Color = c;
  b.Canvas().FillRect(TRect(0, 0, b.Width(), b.Height()));
}
}  // namespace

TEST(Canvas, FillFrameAndRectangleCoverExactlyTheirPixels) {
  TBitmap b(10, 10);
  Fill(b, clWhite);
  TCanvas& c = b.Canvas();
  c.Brush().Color = clRed;
  c.FillRect(TRect(2, 2, 5, 4));
  EXPECT_EQ(b.Pixel(2, 2), clRed);
  EXPECT_EQ(b.Pixel(4, 3), clRed);
  EXPECT_EQ(b.Pixel(5, 3), clWhite);  // right and bottom are outside
  EXPECT_EQ(b.Pixel(4, 4), clWhite);
  c.Brush().Color = clBlue;
  c.FrameRect(TRect(0, 6, 4, 10));
  EXPECT_EQ(b.Pixel(0, 6), clBlue);
  EXPECT_EQ(b.Pixel(3, 9), clBlue);
  EXPECT_EQ(b.Pixel(1, 7), clWhite);
  c.Pen().Color = clBlack;
  c.Brush().Color = clLime;
  c.Rectangle(6, 0, 10, 4);
  EXPECT_EQ(b.Pixel(6, 0), clBlack);
  EXPECT_EQ(b.Pixel(9, 3), clBlack);
  EXPECT_EQ(b.Pixel(7, 1), clLime);
}

TEST(Canvas, LineToLeavesItsEndPoint) {
  TBitmap b(6, 6);
  Fill(b, clWhite);
  b.Canvas().Pen().Color = clBlack;
  b.Canvas().MoveTo(0, 2);
  b.Canvas().LineTo(4, 2);
  EXPECT_EQ(b.Pixel(0, 2), clBlack);
  EXPECT_EQ(b.Pixel(3, 2), clBlack);
  EXPECT_EQ(b.Pixel(4, 2), clWhite);
}

TEST(Canvas, ScaledCopyReplicatesPixels) {
  TBitmap src(2, 1);
  src.SetPixel(0, 0, clRed);
  src.SetPixel(1, 0, clBlue);
  TBitmap dst(5, 2);
  Fill(dst, clWhite);
  dst.Canvas().CopyRect(TRect(0, 0, 4, 2), src.Canvas(), TRect(0, 0, 2, 1));
  EXPECT_EQ(dst.Pixel(0, 0), clRed);
  EXPECT_EQ(dst.Pixel(1, 1), clRed);
  EXPECT_EQ(dst.Pixel(2, 0), clBlue);
  EXPECT_EQ(dst.Pixel(3, 1), clBlue);
  EXPECT_EQ(dst.Pixel(4, 0), clWhite);
}

TEST(Canvas, TransparentCopyLeavesTheKeyColourOut) {
  TBitmap src(3, 1);
  src.SetPixel(0, 0, clFuchsia);
  src.SetPixel(1, 0, clGreen);
  src.SetPixel(2, 0, clFuchsia);
  TBitmap dst(3, 1);
  Fill(dst, clYellow);
  dst.Canvas().CopyTransparent(TRect(0, 0, 3, 1), src, TRect(0, 0, 3, 1), clFuchsia);
  EXPECT_EQ(dst.Pixel(0, 0), clYellow);
  EXPECT_EQ(dst.Pixel(1, 0), clGreen);
  EXPECT_EQ(dst.Pixel(2, 0), clYellow);
}

TEST(Canvas, OriginShiftAndClippingApplyToEveryDrawing) {
  TBitmap b(10, 10);
  Fill(b, clWhite);
  TCanvas& c = b.Canvas();
  c.SaveState();
  c.SetOrigin(3, 4);
  c.IntersectClip(TRect(0, 0, 2, 2));
  c.Brush().Color = clRed;
  c.FillRect(TRect(-5, -5, 20, 20));
  c.RestoreState();
  EXPECT_EQ(b.Pixel(3, 4), clRed);
  EXPECT_EQ(b.Pixel(4, 5), clRed);
  EXPECT_EQ(b.Pixel(5, 5), clWhite);
  EXPECT_EQ(b.Pixel(2, 4), clWhite);
  c.FillRect(TRect(0, 0, 1, 1));  // state restored: no shift, no clip
  EXPECT_EQ(b.Pixel(0, 0), clRed);
}

TEST(Canvas, DottedFocusRectangleInvertsEveryOtherPixel) {
  TBitmap b(6, 4);
  Fill(b, clWhite);
  b.Canvas().DrawFocusRect(TRect(0, 0, 6, 4));
  EXPECT_EQ(b.Pixel(0, 0), clBlack);
  EXPECT_EQ(b.Pixel(1, 0), clWhite);
  EXPECT_EQ(b.Pixel(2, 0), clBlack);
  EXPECT_EQ(b.Pixel(2, 2), clWhite);  // inside untouched
  b.Canvas().DrawFocusRect(TRect(0, 0, 6, 4));  // drawing twice removes it
  for (int x = 0; x < 6; ++x) EXPECT_EQ(b.Pixel(x, 0), clWhite);
}

TEST(Canvas, TextExtentsGrowWithTextAndFontAndAcceleratorsAreNotDrawn) {
  TBitmap b(200, 40);
  Fill(b, clWhite);
  TCanvas& c = b.Canvas();
  c.Font().SetName("宋体");
  c.Font().SetHeight(-12);
  TSize one = c.TextExtent("查");
  TSize two = c.TextExtent("查找");
  EXPECT_GT(one.cx, 0);
  EXPECT_GE(one.cy, 12);
  EXPECT_NEAR(two.cx, 2 * one.cx, 1);
  c.Font().SetHeight(-24);
  EXPECT_GT(c.TextExtent("查").cy, one.cy);
  TRect r(0, 0, 200, 40);
  c.DrawText("&OK", r, DT_CALCRECT | DT_SINGLELINE);
  TRect r2(0, 0, 200, 40);
  c.DrawText("OK", r2, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(r.Width(), r2.Width());
}

namespace {
// The lines DT_WORDBREAK makes of `text` in `width` pixels, as a measured rectangle.
TRect Wrapped(TCanvas& c, const std::string& text, int width) {
  TRect r(0, 0, width, 0);
  c.DrawText(text, r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  return r;
}
}  // namespace

TEST(Canvas, WordBreakWrapsAtBlanksAndNeverSplitsAWord) {
  TBitmap b(1, 1);
  TCanvas& c = b.Canvas();
  const int line = c.TextExtent("Mg").cy;
  const int word = c.TextExtent("Clipboard").cx;
  // Three words, each alone fits; two with their blank do not.
  TRect r = Wrapped(c, "Clipboard Clipboard Clipboard", word + 2);
  EXPECT_EQ(r.Height(), 3 * line);
  EXPECT_EQ(r.Width(), word) << "the blank at a line end takes no room";
  // A word wider than the line keeps its width and its own line.
  r = Wrapped(c, "a Supercalifragilistic b", 20);
  EXPECT_EQ(r.Width(), c.TextExtent("Supercalifragilistic").cx);
  EXPECT_EQ(r.Height(), 3 * line);
  // Text that fits stays one line; line breaks in the text still break.
  EXPECT_EQ(Wrapped(c, "Cut", 200).Height(), line);
  EXPECT_EQ(Wrapped(c, "Cut\nCopy", 200).Height(), 2 * line);
}

TEST(Canvas, WordBreakWrapsChineseTextBetweenCharacters) {
  TBitmap b(1, 1);
  TCanvas& c = b.Canvas();
  c.Font().SetName("宋体");
  c.Font().SetHeight(-12);
  const int ch = c.TextExtent("字").cx, line = c.TextExtent("字").cy;
  TRect r = Wrapped(c, "加大字体减小字体", 3 * ch);
  EXPECT_EQ(r.Height(), 3 * line);
  EXPECT_LE(r.Width(), 3 * ch);
}

TEST(Jpeg, DecodesWhatItEncodesAndRejectsGarbage) {
  TBitmap src(16, 8);
  Fill(src, RGB(200, 30, 40));
  std::string bytes = EncodeJpeg(src, 95);
  TJPEGImage j;
  j.LoadFromBytes(bytes);
  EXPECT_EQ(j.Width(), 16);
  EXPECT_EQ(j.Height(), 8);
  TColor p = j.Bitmap().Pixel(5, 5);
  EXPECT_NEAR(GetRValue(p), 200, 6);
  EXPECT_NEAR(GetGValue(p), 30, 6);
  EXPECT_THROW(j.LoadFromBytes("not a jpeg"), EInvalidGraphic);
  EXPECT_THROW(j.LoadFromBytes(bytes.substr(0, 20)), EInvalidGraphic);
}

TEST(Pictures, BuiltInPicturesLoadAtTheirSizes) {
  TPicture p;
  p.LoadFromResourceName("form1_bg.jpg");
  EXPECT_EQ(p.Width(), 906);
  EXPECT_EQ(p.Height(), 634);
  TBitmap b;
  ASSERT_TRUE(b.LoadFromResourceName("MACOS_BUTTON"));
  EXPECT_EQ(b.Width(), 252);
  EXPECT_EQ(b.Height(), 23);
  EXPECT_FALSE(b.LoadFromResourceName("NO_SUCH_PICTURE"));
}

namespace {
// The decoder's plain path as a reference: RGB rows one at a time, packed as 0xFFRRGGBB.
std::vector<uint32_t> PlainDecode(const std::string& bytes, int& w, int& h) {
  jpeg_decompress_struct cinfo{};
  jpeg_error_mgr err{};
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&cinfo, TRUE);
  cinfo.out_color_space = JCS_RGB;
  jpeg_start_decompress(&cinfo);
  w = static_cast<int>(cinfo.output_width);
  h = static_cast<int>(cinfo.output_height);
  std::vector<uint32_t> out;
  std::vector<unsigned char> row(static_cast<size_t>(w) * 3);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW rows[1] = {row.data()};
    jpeg_read_scanlines(&cinfo, rows, 1);
    for (int x = 0; x < w; ++x) out.push_back(0xFF000000u | row[x * 3] << 16 | row[x * 3 + 1] << 8 | row[x * 3 + 2]);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return out;
}

std::string GreyJpeg(int w, int h) {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr err{};
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = w;
  cinfo.image_height = h;
  cinfo.input_components = 1;
  cinfo.in_color_space = JCS_GRAYSCALE;
  jpeg_set_defaults(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<unsigned char> row(w);
  while (cinfo.next_scanline < cinfo.image_height) {
    for (int x = 0; x < w; ++x) row[x] = static_cast<unsigned char>((x * 7 + cinfo.next_scanline * 13) & 0xFF);
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::string out(reinterpret_cast<char*>(buffer), size);
  std::free(buffer);
  return out;
}

// Every pixel of the bitmap against the reference decoding; the first difference, if any.
std::string FirstDifference(const TBitmap& b, const std::string& bytes) {
  int w = 0, h = 0;
  std::vector<uint32_t> ref = PlainDecode(bytes, w, h);
  if (b.Width() != w || b.Height() != h) return "size differs";
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (b.ScanLine(y)[x] != ref[static_cast<size_t>(y) * w + x])
        return "pixel " + std::to_string(x) + "," + std::to_string(y);
  return "";
}
}  // namespace

TEST(Jpeg, DecodesPixelForPixelAsThePlainRgbPath) {
  // Built-in pictures of every kind (colour, 4:2:0), an odd-sized colour picture and a grey one.
  TBitmap odd(37, 23);
  for (int y = 0; y < 23; ++y)
    for (int x = 0; x < 37; ++x) odd.SetPixel(x, y, RGB(x * 6, y * 11, (x ^ y) * 5));
  std::vector<std::pair<std::string, std::string>> cases = {
      {"odd", EncodeJpeg(odd, 90)}, {"grey", GreyJpeg(41, 17)}};
  for (const char* name : {"form1_bg.jpg", "form2_bg.jpg", "page1.jpg", "page2.jpg", "q111111.jpg", "tab1_on.jpg"})
    cases.emplace_back(name, ResourceBytes(name));
  for (const auto& [name, bytes] : cases) {
    TBitmap b;
    DecodeJpeg(bytes, b);
    EXPECT_EQ(FirstDifference(b, bytes), "") << name;
  }
}

TEST(Pictures, BuiltInJpegsAreDecodedWhenFirstDrawnOnceForAllImagesShowingThem) {
  TPicture a, b;
  a.LoadFromResourceName("page2.jpg");
  b.LoadFromResourceName("page2.jpg");
  const auto& ja = dynamic_cast<const TJPEGImage&>(*a.Graphic());
  const auto& jb = dynamic_cast<const TJPEGImage&>(*b.Graphic());
  // The size comes from the header; nothing is decoded yet.
  EXPECT_EQ(a.Width(), 896);
  EXPECT_EQ(a.Height(), 513);
  EXPECT_FALSE(ja.Decoded());
  EXPECT_FALSE(jb.Decoded());

  TBitmap target(896, 513);
  target.Canvas().Draw(0, 0, *a.Graphic());
  EXPECT_TRUE(ja.Decoded());
  EXPECT_FALSE(jb.Decoded());
  EXPECT_EQ(FirstDifference(target, ResourceBytes("page2.jpg")), "");
  // The second image shows the same decoded pixels, not a copy of its own.
  EXPECT_EQ(jb.Bitmap().ScanLine(0), ja.Bitmap().ScanLine(0));

  // A copy of the picture shares them too until it is drawn on.
  TPicture c;
  c.Assign(a);
  const auto& jc = dynamic_cast<const TJPEGImage&>(*c.Graphic());
  EXPECT_EQ(jc.Bitmap().ScanLine(0), ja.Bitmap().ScanLine(0));
  c.Bitmap().SetPixel(0, 0, RGB(1, 2, 3));
  EXPECT_EQ(c.Bitmap().Pixel(0, 0), RGB(1, 2, 3));
  EXPECT_NE(ja.Bitmap().Pixel(0, 0), RGB(1, 2, 3));
  EXPECT_EQ(FirstDifference(jb.Bitmap(), ResourceBytes("page2.jpg")), "");

  // A picture that is not there, or not a JPEG, fails when loaded.
  EXPECT_THROW(a.LoadFromResourceName("no_such_picture.jpg"), EInvalidGraphic);
  TJPEGImage j;
  EXPECT_THROW(j.LoadFromResourceName("MACOS_BUTTON.bmp"), EInvalidGraphic);
}

TEST(Pictures, BuiltInPicturesAreFoundByTheirWholeNameInBothResourceSets) {
  // page1.jpg is stored with the start-up pictures, page2.jpg with the rest.
  for (const char* name : {"page1.jpg", "page2.jpg", "toolbar.bmp", "MACOS_BUTTON.bmp", "jpeg_sizes.txt"}) {
    EXPECT_TRUE(ResourceExists(name)) << name;
    EXPECT_FALSE(ResourceBytes(name).empty()) << name;
  }
  for (const char* name : {"", "page1", "PAGE1.JPG", "page1.jpg ", "no_such_picture.jpg", "pictures"})
    EXPECT_FALSE(ResourceExists(name)) << "'" << name << "'";
  TBitmap b;
  EXPECT_TRUE(b.LoadFromResourceName("MACOS_BUTTON"));  // a bitmap's name may leave out ".bmp"
  EXPECT_FALSE(b.LoadFromResourceName("no_such_picture"));
}

TEST(Pictures, TheProgramIconIsSizedAtOnceAndDecodedWithItsTransparencyWhenFirstUsed) {
  TBitmap icon;
  LoadApplicationIcon(icon);
  EXPECT_EQ(icon.Width(), 32);
  EXPECT_EQ(icon.Height(), 32);
  EXPECT_TRUE(icon.PixelsDeferred());
  EXPECT_EQ(icon.ScanLine(0)[0] >> 24, 0u) << "a transparent corner";
  EXPECT_EQ(icon.ScanLine(16)[16] >> 24, 0xFFu) << "an opaque middle";
  EXPECT_FALSE(icon.PixelsDeferred());
}

TEST(Pictures, TheListedSizesOfBuiltInJpegsAreTheSizesTheyDecodeTo) {
  // Built-in JPEGs take their size from the list made with them; every one is in it, right.
  const auto& sizes = BuiltInJpegSizes();
  ASSERT_GE(sizes.size(), 100u);
  ASSERT_EQ(sizes.count("form1_bg.jpg"), 1u);
  EXPECT_EQ(sizes.at("form1_bg.jpg").cx, 906);
  EXPECT_EQ(sizes.at("form1_bg.jpg").cy, 634);
  for (const auto& [name, size] : sizes) {
    TJPEGImage decoded;
    decoded.LoadFromBytes(ResourceBytes(name));
    EXPECT_EQ(decoded.Width(), size.cx) << name;
    EXPECT_EQ(decoded.Height(), size.cy) << name;
    TPicture listed;
    listed.LoadFromResourceName(name);
    EXPECT_EQ(listed.Width(), size.cx) << name;
    EXPECT_EQ(listed.Height(), size.cy) << name;
  }
  EXPECT_EQ(sizes.count("MACOS_BUTTON.bmp"), 0u);
}

TEST(Pictures, JpegsFromBytesAreDecodedWhenLoadedAndCopiesShareThePixels) {
  TBitmap src(16, 8);
  Fill(src, RGB(20, 130, 240));
  TPicture a;
  TJPEGImage* j = new TJPEGImage;
  a.SetGraphic(std::unique_ptr<TGraphic>(j));
  j->LoadFromBytes(EncodeJpeg(src, 95));
  EXPECT_TRUE(j->Decoded());
  TPicture b;
  b.Assign(a);
  const auto& jb = dynamic_cast<const TJPEGImage&>(*b.Graphic());
  EXPECT_TRUE(jb.Decoded());
  EXPECT_EQ(jb.Bitmap().ScanLine(0), j->Bitmap().ScanLine(0));
  EXPECT_EQ(jb.Data(), j->Data());
}
