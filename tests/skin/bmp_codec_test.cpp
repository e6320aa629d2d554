// The BMP reader and writer the skin packages are made of.
#include <gtest/gtest.h>

#include <cstring>

#include "SkinTestUtil.h"
#include "platform/BmpCodec.h"

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
  // 30000 x 30000 x 3 bytes would be 2.7 GB: the check against the stream's length stops it.
  EXPECT_THROW(DecodeBmp(m), EReadError);
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

TEST(BmpCodec, RefusesToWriteAnEmptyImage) {
  TMemoryStream m;
  EXPECT_THROW(EncodeBmp(m, TBmpImage{}), EInvalidGraphic);
  EXPECT_EQ(m.Size(), 0);
}

}  // namespace
}  // namespace corvane
