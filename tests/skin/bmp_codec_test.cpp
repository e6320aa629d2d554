// The BMP reader and writer the skin packages are made of.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "SkinTestUtil.h"
#include "platform/graphics/BmpCodec.h"
#include "platform/graphics/Graphics.h"

namespace corvane {
namespace {

using test::EncodeToBytes;
using test::IndexedImage;
using test::PatternImage;
using test::U32At;

TEST(BmpCodec, SizesOfTheStoredSkinPictures) {
  // 24-bit rows of 188 pixels need no padding; 1-bit rows of 188 pixels take 24 bytes.
  EXPECT_EQ(EncodeToBytes(PatternImage(188, 128)).size(), 72246u);
  EXPECT_EQ(EncodeToBytes(IndexedImage(188, 128, 1)).size(), 3134u);
  EXPECT_EQ(EncodeToBytes(IndexedImage(42, 22, 8)).size(), 54u + 1024u + 44u * 22u);
  EXPECT_EQ(IndexedImage(53, 31, 1).EncodedSize(), static_cast<int64_t>(EncodeToBytes(IndexedImage(53, 31, 1)).size()));
}

TEST(BmpCodec, HeaderSizeFieldIsTheTotalLength) {
  const std::string b = EncodeToBytes(PatternImage(5, 3));
  ASSERT_GE(b.size(), 54u);
  EXPECT_EQ(b.substr(0, 2), "BM");
  EXPECT_EQ(U32At(b, 2), b.size());
  EXPECT_EQ(U32At(b, 10), 54u);  // pixel rows right after the 40-byte info header
  EXPECT_EQ(b.size(), 54u + 3u * 16u);  // 5 pixels = 15 bytes, padded to 16
}

TEST(BmpCodec, TwentyFourBitRoundTripKeepsEveryPixel) {
  for (int w : {1, 2, 3, 4, 5, 17}) {
    TBmpImage in = PatternImage(w, 7);
    TMemoryStream m;
    EncodeBmp(m, in);
    m.SetPosition(0);
    TBmpImage out = DecodeBmp(m);
    ASSERT_EQ(out.Width, w);
    ASSERT_EQ(out.Height, 7);
    EXPECT_EQ(out.BitCount, 24);
    EXPECT_EQ(out.Pixels, in.Pixels) << "width " << w;
  }
}

TEST(BmpCodec, IndexedRoundTripKeepsIndexesAndPalette) {
  for (int bits : {1, 8}) {
    TBmpImage in = IndexedImage(13, 9, bits);
    TMemoryStream m;
    EncodeBmp(m, in);
    m.SetPosition(0);
    TBmpImage out = DecodeBmp(m);
    EXPECT_EQ(out.BitCount, bits);
    EXPECT_EQ(out.Indices, in.Indices);
    EXPECT_EQ(out.Pixels, in.Pixels);
    EXPECT_EQ(out.Palette, in.Palette);
  }
}

TEST(BmpCodec, IndexedImageWithoutIndexesIsMappedThroughThePalette) {
  TBmpImage img = IndexedImage(4, 2, 1);
  img.Indices.clear();
  img.SetPixel(0, 0, 0xFFFFFF);
  img.SetPixel(1, 0, 0x101010);  // nearest is black
  img.SetPixel(2, 0, 0xF0F0F0);  // nearest is white
  TMemoryStream m;
  EncodeBmp(m, img);
  m.SetPosition(0);
  TBmpImage out = DecodeBmp(m);
  EXPECT_EQ(out.Pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(out.Pixel(1, 0) & 0xFFFFFF, 0x000000u);
  EXPECT_EQ(out.Pixel(2, 0) & 0xFFFFFF, 0xFFFFFFu);
}

TEST(BmpCodec, ReadConsumesExactlyOneImage) {
  TMemoryStream m;
  EncodeBmp(m, PatternImage(3, 3));
  const int64_t first = m.Size();
  EncodeBmp(m, IndexedImage(9, 2, 1));
  m.WriteString("X");
  m.SetPosition(0);
  DecodeBmp(m);
  EXPECT_EQ(m.Position(), first);
  TBmpImage second = DecodeBmp(m);
  EXPECT_EQ(second.Width, 9);
  char c = 0;
  ASSERT_EQ(m.Read(&c, 1), 1);
  EXPECT_EQ(c, 'X');
}

TEST(BmpCodec, TopDownRowsAreRead) {
  std::string b = EncodeToBytes(PatternImage(2, 2));
  // Turn the file into a top-down one: negative height, rows swapped.
  const int32_t negative = -2;
  std::memcpy(b.data() + 22, &negative, 4);
  std::string rows = b.substr(54);
  b = b.substr(0, 54) + rows.substr(8, 8) + rows.substr(0, 8);
  TMemoryStream m(b);
  TBmpImage out = DecodeBmp(m);
  EXPECT_EQ(out.Pixels, PatternImage(2, 2).Pixels);
}

TEST(BmpCodec, RejectsWhatIsNotAnUncompressedBitmap) {
  const std::string good = EncodeToBytes(PatternImage(4, 4));
  auto expectInvalid = [](std::string bytes, const char* what) {
    TMemoryStream m(std::move(bytes));
    try {
      DecodeBmp(m);
      ADD_FAILURE() << what << ": accepted";
    } catch (const EInvalidGraphic& e) {
      EXPECT_STREQ(e.what(), "Bitmap image is not valid") << what;
    }
  };
  std::string notBm = good;
  notBm[0] = 'P';
  expectInvalid(notBm, "signature");
  std::string rle = good;
  rle[30] = 1;  // compression: run-length
  expectInvalid(rle, "compression");
  std::string depth = good;
  depth[28] = 16;
  expectInvalid(depth, "16-bit");
  std::string zeroWidth = good;
  std::memset(zeroWidth.data() + 18, 0, 4);
  expectInvalid(zeroWidth, "zero width");
  std::string overlap = good;
  overlap[10] = 20;  // pixel rows would start inside the header
  expectInvalid(overlap, "offset");
}

TEST(BmpCodec, HugeSizeFieldsFailWithoutAllocating) {
  std::string b = EncodeToBytes(PatternImage(4, 4));
  const int32_t big = 30000;
  std::memcpy(b.data() + 18, &big, 4);
  std::memcpy(b.data() + 22, &big, 4);
  TMemoryStream m(b);
  // 30000 x 30000 pixels would be 3.6 GB decoded: refused by the header alone.
  EXPECT_THROW(DecodeBmp(m), EInvalidGraphic);
  // 4096 x 4096 x 3 bytes is 48 MB: the check against the stream's length stops it.
  const int32_t most = 4096;
  std::memcpy(b.data() + 18, &most, 4);
  std::memcpy(b.data() + 22, &most, 4);
  TMemoryStream m1(b);
  EXPECT_THROW(DecodeBmp(m1), EReadError);
  const int32_t tooBig = 1 << 20;
  std::memcpy(b.data() + 18, &tooBig, 4);
  TMemoryStream m2(b);
  EXPECT_THROW(DecodeBmp(m2), EInvalidGraphic);
}

TEST(BmpCodec, EveryTruncationFailsCleanly) {
  for (const std::string& full : {EncodeToBytes(PatternImage(6, 5)), EncodeToBytes(IndexedImage(6, 5, 8)),
                                  EncodeToBytes(IndexedImage(6, 5, 1))}) {
    for (size_t len = 0; len < full.size(); ++len) {
      TMemoryStream m(full.substr(0, len));
      EXPECT_THROW(DecodeBmp(m), Exception) << "length " << len;
    }
  }
}

// A BMP file written by hand, for the depths the writer does not produce: `rows` are the stored
// rows (bottom row first unless the height is negative), padded by the caller.
std::string HandMadeBmp(int width, int height, int bits, const std::vector<uint32_t>& palette, const std::string& rows,
                        uint32_t compression = 0, const std::string& masks = "") {
  std::string b = "BM";
  auto put32 = [&b](uint32_t v) { for (int i = 0; i < 4; ++i) b += static_cast<char>(v >> (8 * i)); };
  auto put16 = [&b](uint16_t v) { b += static_cast<char>(v); b += static_cast<char>(v >> 8); };
  const uint32_t offBits = 54 + static_cast<uint32_t>(masks.size() + 4 * palette.size());
  put32(offBits + static_cast<uint32_t>(rows.size()));
  put32(0);
  put32(offBits);
  put32(40);
  put32(static_cast<uint32_t>(width));
  put32(static_cast<uint32_t>(height));
  put16(1);
  put16(static_cast<uint16_t>(bits));
  put32(compression);
  put32(static_cast<uint32_t>(rows.size()));
  put32(0);
  put32(0);
  put32(static_cast<uint32_t>(palette.size()));
  put32(0);
  b += masks;
  for (uint32_t c : palette) put32(c);
  return b + rows;
}

// Files of every depth and row order the reader takes.
std::vector<std::string> EveryKindOfBmp() {
  std::string topDown = EncodeToBytes(PatternImage(3, 2));
  const int32_t negative = -2;
  std::memcpy(topDown.data() + 22, &negative, 4);
  const std::string masks("\0\0\xFF\0\0\xFF\0\0\xFF\0\0\0", 12);
  return {
      EncodeToBytes(PatternImage(5, 3)),
      EncodeToBytes(PatternImage(17, 4)),
      topDown,
      EncodeToBytes(IndexedImage(13, 9, 8)),
      EncodeToBytes(IndexedImage(11, 3, 1)),
      // 4-bit, three colours: index 3 lies outside the table and reads as black.
      HandMadeBmp(3, 2, 4, {0x0000FF, 0x00FF00, 0xFF0000}, std::string("\x01\x20\0\0\x32\x10\0\0", 8)),
      // 32-bit with the standard bit-field masks; the fourth byte is ignored.
      HandMadeBmp(2, 1, 32, {}, std::string("\x01\x02\x03\x7F\x10\x20\x30\x00", 8), 3, masks),
  };
}

// Reading into a bitmap at once, and with the pixels decoded on first use.
using BitmapReader = void (*)(TStream&, TBitmap&);
const BitmapReader kBitmapReaders[] = {ReadBmp, ReadBmpDeferred};

TEST(BmpCodec, ReadingIntoABitmapGivesWhatTheDecodedImageGives) {
  for (const std::string& bytes : EveryKindOfBmp()) for (BitmapReader read : kBitmapReaders) {
    TMemoryStream viaImage(bytes + "tail"), direct(bytes + "tail");
    TBitmap expected, actual;
    ImageToBitmap(DecodeBmp(viaImage), expected);
    read(direct, actual);
    EXPECT_EQ(direct.Position(), static_cast<int64_t>(bytes.size()));
    EXPECT_EQ(viaImage.Position(), direct.Position());
    ASSERT_EQ(actual.Width(), expected.Width());
    ASSERT_EQ(actual.Height(), expected.Height());
    EXPECT_EQ(actual.PixelFormat(), expected.PixelFormat());
    EXPECT_EQ(actual.Palette(), expected.Palette());
    for (int y = 0; y < actual.Height(); ++y)
      for (int x = 0; x < actual.Width(); ++x)
        ASSERT_EQ(actual.ScanLine(y)[x] & 0xFFFFFFu, expected.ScanLine(y)[x] & 0xFFFFFFu) << x << "," << y;
  }
  // Spot checks of the hand-made files against their bytes.
  const std::vector<std::string> kinds = EveryKindOfBmp();
  TMemoryStream four(kinds[5]), wide(kinds[6]);
  TBitmap b4, b32;
  ReadBmp(four, b4);
  ReadBmp(wide, b32);
  EXPECT_EQ(b4.PixelFormat(), TPixelFormat::pf8bit);
  // The top row is stored last, indexes 3, 2, 1; the bottom row 0, 1, 2.
  const uint32_t top[] = {0x000000, 0xFF0000, 0x00FF00}, bottom[] = {0x0000FF, 0x00FF00, 0xFF0000};
  for (int x = 0; x < 3; ++x) {
    EXPECT_EQ(b4.ScanLine(0)[x] & 0xFFFFFFu, top[x]) << x;
    EXPECT_EQ(b4.ScanLine(1)[x] & 0xFFFFFFu, bottom[x]) << x;
  }
  EXPECT_EQ(b32.PixelFormat(), TPixelFormat::pf24bit);
  EXPECT_EQ(b32.ScanLine(0)[0] & 0xFFFFFFu, 0x030201u);
  EXPECT_EQ(b32.ScanLine(0)[1] & 0xFFFFFFu, 0x302010u);
}

TEST(BmpCodec, ABitmapIsLeftAsItWasWhenReadingIntoItFails) {
  for (const std::string& full : EveryKindOfBmp()) for (BitmapReader read : kBitmapReaders) {
    for (size_t len = 0; len < full.size(); ++len) {
      TBitmap bitmap;
      bitmap.SetSize(2, 3);
      bitmap.ScanLine(1)[1] = 0x123456;
      bitmap.SetPixelFormat(TPixelFormat::pf1bit);
      TMemoryStream direct(full.substr(0, len)), viaImage(full.substr(0, len));
      std::string expected = "no error", actual = "no error";
      try { DecodeBmp(viaImage); } catch (const Exception& e) { expected = e.what(); }
      try { read(direct, bitmap); } catch (const Exception& e) { actual = e.what(); }
      EXPECT_EQ(actual, expected) << "length " << len;
      EXPECT_NE(actual, "no error") << "length " << len;
      EXPECT_EQ(bitmap.Width(), 2);
      EXPECT_EQ(bitmap.Height(), 3);
      EXPECT_EQ(bitmap.ScanLine(1)[1] & 0xFFFFFFu, 0x123456u);
      EXPECT_EQ(bitmap.PixelFormat(), TPixelFormat::pf1bit);
    }
  }
}

TEST(BmpCodec, DeferredPixelsAreDecodedOnFirstUseOnly) {
  const std::string bytes = EncodeToBytes(IndexedImage(13, 9, 8));
  TBitmap expected;
  TMemoryStream whole(bytes);
  ReadBmp(whole, expected);
  auto sameAsExpected = [&expected](const TBitmap& b) {
    if (b.Width() != expected.Width() || b.Height() != expected.Height()) return false;
    for (int y = 0; y < b.Height(); ++y)
      for (int x = 0; x < b.Width(); ++x)
        if ((b.ScanLine(y)[x] & 0xFFFFFFu) != (expected.ScanLine(y)[x] & 0xFFFFFFu)) return false;
    return true;
  };
  auto readDeferred = [&bytes](TBitmap& b) {
    TMemoryStream m(bytes);
    ReadBmpDeferred(m, b);
    ASSERT_TRUE(b.PixelsDeferred());
  };

  // Size, depth and palette are known at once; drawing, a canvas, a pixel or a copy's use each
  // make the pixels, and they are the stored ones.
  TBitmap drawn, painted, probed;
  readDeferred(drawn);
  EXPECT_EQ(drawn.Width(), 13);
  EXPECT_EQ(drawn.Height(), 9);
  EXPECT_EQ(drawn.PixelFormat(), TPixelFormat::pf8bit);
  EXPECT_EQ(drawn.Palette(), expected.Palette());
  EXPECT_FALSE(drawn.Empty());
  TBitmap target(13, 9);
  drawn.Draw(target.Canvas(), TRect(0, 0, 13, 9));
  EXPECT_FALSE(drawn.PixelsDeferred());
  EXPECT_TRUE(sameAsExpected(target));
  readDeferred(painted);
  painted.Canvas();
  EXPECT_FALSE(painted.PixelsDeferred());
  EXPECT_TRUE(sameAsExpected(painted));
  readDeferred(probed);
  EXPECT_EQ(probed.Pixel(4, 5), expected.Pixel(4, 5));
  EXPECT_FALSE(probed.PixelsDeferred());

  // A copy stays deferred along with the original, and each gives the stored pixels.
  TBitmap original, copy;
  readDeferred(original);
  copy.Assign(original);
  EXPECT_TRUE(copy.PixelsDeferred());
  EXPECT_EQ(copy.Width(), 13);
  EXPECT_TRUE(sameAsExpected(copy));
  EXPECT_TRUE(original.PixelsDeferred());
  EXPECT_TRUE(sameAsExpected(original));

  // Clearing, resizing or reading another picture replaces the deferred pixels.
  TBitmap cleared, resized, reread;
  readDeferred(cleared);
  cleared.Clear();
  EXPECT_FALSE(cleared.PixelsDeferred());
  EXPECT_TRUE(cleared.Empty());
  readDeferred(resized);
  resized.SetSize(15, 9);
  EXPECT_EQ(resized.Pixel(3, 2), expected.Pixel(3, 2));
  EXPECT_EQ(resized.Pixel(14, 0), clWhite);
  readDeferred(reread);
  TMemoryStream other(EncodeToBytes(PatternImage(5, 3)));
  ReadBmp(other, reread);
  EXPECT_FALSE(reread.PixelsDeferred());
  EXPECT_EQ(reread.Width(), 5);
}

TEST(BmpCodec, RefusesToWriteAnEmptyImage) {
  TMemoryStream m;
  EXPECT_THROW(EncodeBmp(m, TBmpImage{}), EInvalidGraphic);
  EXPECT_EQ(m.Size(), 0);
}

}  // namespace
}  // namespace corvane
