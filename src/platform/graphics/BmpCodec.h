// BMP reading and writing of our own: uncompressed 1-, 4-, 8-, 24- and 32-bit images in, 1-, 8- and
// 24-bit images out. A read consumes exactly one image from the stream (file header, info header,
// colour table, pixel rows) and leaves the stream on the byte after it, so images can sit back to
// back inside a larger stream (the skin package does this).
#pragma once

#include <cstdint>
#include <vector>

#include "platform/core/Classes.h"

namespace corvane {

class TBitmap;

// A decoded image, independent of the drawing toolkit.
struct TBmpImage {
  int Width = 0;
  int Height = 0;
  int BitCount = 24;                  // 1, 8 or 24 when written; what the file had when read
  std::vector<uint32_t> Palette;      // 0x00RRGGBB entries, for 1- and 8-bit images
  std::vector<uint8_t> Indices;       // Width*Height palette indexes, top row first (indexed images)
  std::vector<uint32_t> Pixels;       // Width*Height 0xFFRRGGBB values, top row first (always filled)

  bool Empty() const { return Width <= 0 || Height <= 0; }
  uint32_t Pixel(int x, int y) const { return Pixels[static_cast<size_t>(y) * Width + x]; }
  void SetPixel(int x, int y, uint32_t rgb) { Pixels[static_cast<size_t>(y) * Width + x] = 0xFF000000u | rgb; }
  // Sets the size and bit depth; pixels and indexes become 0 (the first palette colour).
  void Reset(int width, int height, int bitCount);
  // For indexed images: sets pixel (x, y) to palette entry `index`.
  void SetIndex(int x, int y, uint8_t index);
  // The size in bytes of the BMP file Encode writes for this image.
  int64_t EncodedSize() const;
};

// Largest width or height accepted from a file; anything larger is treated as corrupt.
inline constexpr int kMaxBmpDimension = 32768;
// Most pixels an image read may have (64 MB decoded); a larger one is refused with
// SBitmapTooLarge before anything is allocated.
inline constexpr int64_t kMaxBmpPixels = 4096 * 4096;
inline constexpr const char* SBitmapTooLarge = "Bitmap image is too large (%s x %s pixels, at most 16777216)";

// Reads one BMP image. Raises EInvalidGraphic (SInvalidBitmap) for anything that is not an
// uncompressed BMP of a supported depth, and EReadError when the stream ends inside the image.
// Sizes are checked against what the stream still holds before anything is allocated.
TBmpImage DecodeBmp(TStream& s);
// Writes the image as a BMP file whose header size field is the total length. 1- and 8-bit
// images are written from Indices when they are filled, else by looking each pixel up in the
// palette (the nearest entry when no entry matches exactly).
void EncodeBmp(TStream& s, const TBmpImage& image);

// The same through the platform bitmap (its pixel format and palette decide the depth written).
// ReadBmp gives the bitmap what ImageToBitmap(DecodeBmp(s), bitmap) would, raising the same
// errors, and leaves it unchanged when it raises one.
void ReadBmp(TStream& s, TBitmap& bitmap);
// Reads and checks the image at once (raising what ReadBmp raises, the bitmap unchanged then) but
// keeps the pixel rows as stored, to be decoded when the bitmap's pixels are first used. (An image
// larger than kMaxDeferredBmpPixels would be decoded at once as by ReadBmp; no image read is.)
void ReadBmpDeferred(TStream& s, TBitmap& bitmap);
inline constexpr int64_t kMaxDeferredBmpPixels = 4096 * 4096;
void WriteBmp(TStream& s, const TBitmap& bitmap);
void ImageToBitmap(const TBmpImage& image, TBitmap& bitmap);
TBmpImage BitmapToImage(const TBitmap& bitmap);

}  // namespace corvane
