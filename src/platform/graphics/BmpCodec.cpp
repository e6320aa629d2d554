#include "platform/graphics/BmpCodec.h"

#include <cstring>
#include <limits>
#include <unordered_map>

#include "platform/graphics/GraphicsPrivate.h"

namespace corvane {

namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kCoreHeaderSize = 12;

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Get32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}
void Put16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

[[noreturn]] void Invalid() { throw EInvalidGraphic(SInvalidBitmap); }

// Bytes still available after the current position, or -1 when the stream cannot tell.
int64_t Remaining(TStream& s) {
  try {
    int64_t pos = s.Position();
    int64_t size = s.Size();
    return size >= pos ? size - pos : 0;
  } catch (const EStreamError&) {
    return -1;
  }
}

int64_t RowBytes(int width, int bitCount) { return ((static_cast<int64_t>(width) * bitCount + 31) / 32) * 4; }

int PaletteSizeFor(int bitCount) { return bitCount <= 8 ? (1 << bitCount) : 0; }

uint32_t Distance(uint32_t a, uint32_t b) {
  int dr = int((a >> 16) & 0xFF) - int((b >> 16) & 0xFF);
  int dg = int((a >> 8) & 0xFF) - int((b >> 8) & 0xFF);
  int db = int(a & 0xFF) - int(b & 0xFF);
  return static_cast<uint32_t>(dr * dr + dg * dg + db * db);
}

}  // namespace

void TBmpImage::Reset(int width, int height, int bitCount) {
  if (width < 0 || height < 0 || width > kMaxBmpDimension || height > kMaxBmpDimension)
    throw EInvalidGraphic(SInvalidBitmap);
  Width = width;
  Height = height;
  BitCount = bitCount;
  const size_t n = static_cast<size_t>(width) * static_cast<size_t>(height);
  Pixels.assign(n, 0xFF000000u | (Palette.empty() ? 0u : (Palette[0] & 0xFFFFFF)));
  if (bitCount <= 8) Indices.assign(n, 0);
  else Indices.clear();
}

void TBmpImage::SetIndex(int x, int y, uint8_t index) {
  const size_t at = static_cast<size_t>(y) * Width + x;
  if (Indices.size() != Pixels.size()) Indices.resize(Pixels.size(), 0);
  Indices[at] = index;
  Pixels[at] = 0xFF000000u | (index < Palette.size() ? (Palette[index] & 0xFFFFFF) : 0u);
}

int64_t TBmpImage::EncodedSize() const {
  const int bits = BitCount == 1 ? 1 : BitCount <= 8 ? 8 : 24;
  return kFileHeaderSize + kInfoHeaderSize + 4 * PaletteSizeFor(bits) + RowBytes(Width, bits) * Height;
}

namespace {

// Everything in front of an image's pixel rows.
struct BmpLayout {
  int width = 0;
  int height = 0;
  bool topDown = false;
  int bitCount = 0;               // as stored: 1, 4, 8, 24 or 32
  int64_t rowBytes = 0;
  std::vector<uint32_t> palette;  // 0x00RRGGBB
  // The depth the decoded image reports: four-bit images are kept as eight-bit ones with the
  // same palette, 32-bit ones as 24-bit ones.
  int DecodedBitCount() const { return bitCount == 4 ? 8 : bitCount == 32 ? 24 : bitCount; }
};

// Reads the headers and the colour table, checks them, and leaves the stream on the first pixel
// row after checking that all the rows are there.
BmpLayout ReadBmpLayout(TStream& s) {
  uint8_t fh[kFileHeaderSize];
  s.ReadBuffer(fh, sizeof fh);
  if (fh[0] != 'B' || fh[1] != 'M') Invalid();
  const uint32_t offBits = Get32(fh + 10);

  uint8_t sizeField[4];
  s.ReadBuffer(sizeField, 4);
  const uint32_t headerSize = Get32(sizeField);
  if (headerSize != kCoreHeaderSize && (headerSize < kInfoHeaderSize || headerSize > 256)) Invalid();
  uint8_t ih[256];
  std::memcpy(ih, sizeField, 4);
  s.ReadBuffer(ih + 4, headerSize - 4);

  int64_t width, height;
  int bitCount;
  uint32_t compression = 0, colorsUsed = 0;
  const bool core = headerSize == kCoreHeaderSize;
  if (core) {
    width = Get16(ih + 4);
    height = static_cast<int16_t>(Get16(ih + 6));
    if (Get16(ih + 8) != 1) Invalid();
    bitCount = Get16(ih + 10);
  } else {
    width = static_cast<int32_t>(Get32(ih + 4));
    height = static_cast<int32_t>(Get32(ih + 8));
    if (Get16(ih + 12) != 1) Invalid();
    bitCount = Get16(ih + 14);
    compression = Get32(ih + 16);
    colorsUsed = Get32(ih + 32);
  }
  BmpLayout layout;
  layout.topDown = height < 0;
  if (layout.topDown) height = -height;
  if (width <= 0 || height <= 0 || width > kMaxBmpDimension || height > kMaxBmpDimension) Invalid();
  if (width * height > kMaxBmpPixels)
    throw EInvalidGraphic(Format(SBitmapTooLarge, {std::to_string(width), std::to_string(height)}));
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32) Invalid();
  // Only uncompressed rows; 32-bit images may also say "bit fields" with the standard masks.
  const bool bitFields = compression == 3 && bitCount == 32;
  if (compression != 0 && !bitFields) Invalid();
  layout.width = static_cast<int>(width);
  layout.height = static_cast<int>(height);
  layout.bitCount = bitCount;

  // Colour table (or the bit-field masks) between the info header and the pixel rows.
  const int maxColors = PaletteSizeFor(bitCount);
  uint32_t nColors = bitCount <= 8 ? (colorsUsed == 0 ? static_cast<uint32_t>(maxColors) : colorsUsed) : 0;
  if (nColors > static_cast<uint32_t>(maxColors)) Invalid();
  const uint32_t entrySize = core ? 3 : 4;
  uint32_t consumed = kFileHeaderSize + headerSize;
  if (bitFields && headerSize == kInfoHeaderSize) {
    uint8_t masks[12];
    s.ReadBuffer(masks, sizeof masks);
    consumed += 12;
    if (Get32(masks) != 0x00FF0000u || Get32(masks + 4) != 0x0000FF00u || Get32(masks + 8) != 0x000000FFu) Invalid();
  }
  if (nColors > 0) {
    uint8_t table[256 * 4];
    const uint32_t tableBytes = nColors * entrySize;
    s.ReadBuffer(table, tableBytes);
    consumed += tableBytes;
    layout.palette.resize(nColors);
    for (uint32_t i = 0; i < nColors; ++i) {
      const uint8_t* e = table + i * entrySize;
      layout.palette[i] = (static_cast<uint32_t>(e[2]) << 16) | (static_cast<uint32_t>(e[1]) << 8) | e[0];
    }
  }
  // The pixel rows start at offBits; a gap in front of them is skipped, an overlap is corrupt.
  if (offBits < consumed) Invalid();
  const int64_t gap = static_cast<int64_t>(offBits) - consumed;
  layout.rowBytes = RowBytes(layout.width, bitCount);
  const int64_t dataBytes = layout.rowBytes * height;
  const int64_t left = Remaining(s);
  if (left >= 0 && gap + dataBytes > left) throw EReadError(SReadError);
  if (gap > 0) {
    std::vector<uint8_t> skip(static_cast<size_t>(gap));
    s.ReadBuffer(skip.data(), gap);
  }
  return layout;
}

// Reads the pixel rows into `pixels` (top row first, `stride` pixels apart) as 0xFFRRGGBB
// values and, for indexed images when `indices` is given, their palette indexes (`width` apart).
void ReadBmpRows(TStream& s, const BmpLayout& layout, uint32_t* pixels, size_t stride, uint8_t* indices) {
  std::vector<uint8_t> row(static_cast<size_t>(layout.rowBytes));
  const int w = layout.width;
  const int bitCount = layout.bitCount;
  // The pixel value of every index the depth can store: an index past the colour table is black.
  uint32_t colours[256];
  for (size_t i = 0; i < 256; ++i) colours[i] = 0xFF000000u | (i < layout.palette.size() ? layout.palette[i] : 0u);
  auto indexAt = [bitCount](const uint8_t* p, int x) -> uint8_t {
    if (bitCount == 8) return p[x];
    if (bitCount == 4) return (p[x / 2] >> ((x & 1) ? 0 : 4)) & 0x0F;
    return (p[x / 8] >> (7 - (x & 7))) & 1;
  };
  for (int r = 0; r < layout.height; ++r) {
    s.ReadBuffer(row.data(), layout.rowBytes);
    const int y = layout.topDown ? r : layout.height - 1 - r;
    uint32_t* out = pixels + static_cast<size_t>(y) * stride;
    const uint8_t* p = row.data();
    if (bitCount <= 8) {
      if (bitCount == 8) {
        for (int x = 0; x < w; ++x) out[x] = colours[p[x]];
      } else {
        for (int x = 0; x < w; ++x) out[x] = colours[indexAt(p, x)];
      }
      if (indices) {
        uint8_t* idx = indices + static_cast<size_t>(y) * w;
        for (int x = 0; x < w; ++x) idx[x] = indexAt(p, x);
      }
    } else if (bitCount == 24) {
      for (int x = 0; x < w; ++x, p += 3)
        out[x] = 0xFF000000u | (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[1]) << 8) | p[0];
    } else {
      for (int x = 0; x < w; ++x, p += 4)
        out[x] = 0xFF000000u | (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[1]) << 8) | p[0];
    }
  }
}

}  // namespace

TBmpImage DecodeBmp(TStream& s) {
  BmpLayout layout = ReadBmpLayout(s);
  TBmpImage img;
  img.Width = layout.width;
  img.Height = layout.height;
  img.BitCount = layout.DecodedBitCount();
  const size_t n = static_cast<size_t>(layout.width) * static_cast<size_t>(layout.height);
  img.Pixels.resize(n);
  if (layout.bitCount <= 8) img.Indices.resize(n);
  ReadBmpRows(s, layout, img.Pixels.data(), static_cast<size_t>(layout.width),
              layout.bitCount <= 8 ? img.Indices.data() : nullptr);
  img.Palette = std::move(layout.palette);
  return img;
}

void EncodeBmp(TStream& s, const TBmpImage& image) {
  if (image.Width <= 0 || image.Height <= 0 || image.Width > kMaxBmpDimension || image.Height > kMaxBmpDimension)
    throw EInvalidGraphic(SInvalidBitmap);
  if (image.Pixels.size() != static_cast<size_t>(image.Width) * image.Height) throw EInvalidGraphic(SInvalidBitmap);
  const int bits = image.BitCount == 1 ? 1 : image.BitCount <= 8 ? 8 : 24;
  const int paletteSize = PaletteSizeFor(bits);
  const int64_t rowBytes = RowBytes(image.Width, bits);
  const uint32_t offBits = kFileHeaderSize + kInfoHeaderSize + 4 * paletteSize;
  const int64_t total = offBits + rowBytes * image.Height;

  std::vector<uint8_t> out;
  out.reserve(static_cast<size_t>(total));
  out.push_back('B');
  out.push_back('M');
  Put32(out, static_cast<uint32_t>(total));
  Put32(out, 0);
  Put32(out, offBits);
  Put32(out, kInfoHeaderSize);
  Put32(out, static_cast<uint32_t>(image.Width));
  Put32(out, static_cast<uint32_t>(image.Height));
  Put16(out, 1);
  Put16(out, static_cast<uint16_t>(bits));
  Put32(out, 0);  // no compression
  Put32(out, static_cast<uint32_t>(rowBytes * image.Height));
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 0);

  // Palette: the image's own entries, padded with black (a 1-bit image without one is black/white).
  std::vector<uint32_t> palette = image.Palette;
  if (bits == 1 && palette.empty()) palette = {0x000000, 0xFFFFFF};
  palette.resize(static_cast<size_t>(paletteSize), 0);
  for (uint32_t c : palette) {
    out.push_back(static_cast<uint8_t>(c));
    out.push_back(static_cast<uint8_t>(c >> 8));
    out.push_back(static_cast<uint8_t>(c >> 16));
    out.push_back(0);
  }

  const bool useIndices = bits <= 8 && image.Indices.size() == image.Pixels.size();
  std::unordered_map<uint32_t, uint8_t> lookup;
  auto indexOf = [&](uint32_t rgb) -> uint8_t {
    rgb &= 0xFFFFFF;
    auto it = lookup.find(rgb);
    if (it != lookup.end()) return it->second;
    uint8_t best = 0;
    uint32_t bestD = std::numeric_limits<uint32_t>::max();
    for (int i = 0; i < paletteSize; ++i) {
      uint32_t d = Distance(palette[i], rgb);
      if (d < bestD) { bestD = d; best = static_cast<uint8_t>(i); if (d == 0) break; }
    }
    lookup.emplace(rgb, best);
    return best;
  };

  std::vector<uint8_t> row(static_cast<size_t>(rowBytes));
  for (int r = 0; r < image.Height; ++r) {
    const int y = image.Height - 1 - r;  // bottom-up
    std::fill(row.begin(), row.end(), 0);
    const size_t base = static_cast<size_t>(y) * image.Width;
    for (int x = 0; x < image.Width; ++x) {
      if (bits == 24) {
        uint32_t c = image.Pixels[base + x];
        row[3 * x] = static_cast<uint8_t>(c);
        row[3 * x + 1] = static_cast<uint8_t>(c >> 8);
        row[3 * x + 2] = static_cast<uint8_t>(c >> 16);
      } else {
        uint8_t index = useIndices ? image.Indices[base + x] : indexOf(image.Pixels[base + x]);
        if (bits == 8) row[x] = index;
        else if (index & 1) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x & 7));
      }
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  s.WriteBuffer(out.data(), static_cast<int64_t>(out.size()));
}

// ---------------------------------------------------------------------------------------------
// Platform bitmap side. Palette colours there are 0x00BBGGRR, here 0x00RRGGBB.

namespace {
uint32_t ColorToRgb(TColor c) {
  return (static_cast<uint32_t>(GetRValue(c)) << 16) | (static_cast<uint32_t>(GetGValue(c)) << 8) | GetBValue(c);
}
TColor RgbToColor(uint32_t rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

// Gives the bitmap its new pixels, depth and palette.
void SetBitmapDepth(TBitmap& bitmap, int bitCount, const std::vector<uint32_t>& palette) {
  bitmap.SetPixelFormat(bitCount == 1 ? TPixelFormat::pf1bit : bitCount <= 8 ? TPixelFormat::pf8bit : TPixelFormat::pf24bit);
  bitmap.Palette().clear();
  for (uint32_t c : palette) bitmap.Palette().push_back(RgbToColor(c));
}

void SetBitmapImage(TBitmap& bitmap, QImage&& pixels, int bitCount, const std::vector<uint32_t>& palette) {
  bitmap.Clear();  // ends any drawing on the bitmap; its canvas keeps pointing at its pixels
  ImageOf(bitmap) = std::move(pixels);
  SetBitmapDepth(bitmap, bitCount, palette);
}
}  // namespace

void ImageToBitmap(const TBmpImage& image, TBitmap& bitmap) {
  // The pixels go into an image of their own in one copy (no white-filled bitmap first).
  QImage pixels(image.Width, image.Height, QImage::Format_RGB32);
  if (!image.Empty()) {
    if (pixels.isNull()) throw EInvalidGraphic(SInvalidBitmap);
    for (int y = 0; y < image.Height; ++y)
      std::memcpy(pixels.scanLine(y), image.Pixels.data() + static_cast<size_t>(y) * image.Width,
                  static_cast<size_t>(image.Width) * sizeof(uint32_t));
  }
  SetBitmapImage(bitmap, std::move(pixels), image.BitCount, image.Palette);
}

TBmpImage BitmapToImage(const TBitmap& bitmap) {
  TBmpImage img;
  const TPixelFormat pf = bitmap.PixelFormat();
  const int bits = pf == TPixelFormat::pf1bit ? 1 : pf == TPixelFormat::pf8bit ? 8 : 24;
  if (bits <= 8) {
    for (TColor c : bitmap.Palette()) img.Palette.push_back(ColorToRgb(c));
    if (img.Palette.size() > static_cast<size_t>(PaletteSizeFor(bits))) img.Palette.resize(PaletteSizeFor(bits));
  }
  img.Reset(bitmap.Width(), bitmap.Height(), bits);
  img.Indices.clear();  // looked up from the palette when written
  for (int y = 0; y < img.Height; ++y) {
    const uint32_t* line = bitmap.ScanLine(y);
    for (int x = 0; x < img.Width; ++x) img.Pixels[static_cast<size_t>(y) * img.Width + x] = 0xFF000000u | line[x];
  }
  return img;
}

namespace {
// The pixel rows as the image a bitmap holds; a null image when there is no memory for it.
QImage ReadBmpImage(TStream& s, const BmpLayout& layout) {
  QImage pixels(layout.width, layout.height, QImage::Format_RGB32);
  if (!pixels.isNull())
    ReadBmpRows(s, layout, reinterpret_cast<uint32_t*>(pixels.bits()),
                static_cast<size_t>(pixels.bytesPerLine()) / sizeof(uint32_t), nullptr);
  return pixels;
}

void ReadBmpNow(TStream& s, const BmpLayout& layout, TBitmap& bitmap) {
  QImage pixels = ReadBmpImage(s, layout);
  if (pixels.isNull()) throw EInvalidGraphic(SInvalidBitmap);
  SetBitmapImage(bitmap, std::move(pixels), layout.DecodedBitCount(), layout.palette);
}
}  // namespace

void ReadBmp(TStream& s, TBitmap& bitmap) {
  // The rows are decoded straight into the bitmap's own pixels (no decoded image in between and
  // no indexes, which a bitmap does not keep); the bitmap is only changed once they all are read.
  ReadBmpNow(s, ReadBmpLayout(s), bitmap);
}

void ReadBmpDeferred(TStream& s, TBitmap& bitmap) {
  // The layout's reading has checked that every row is there.
  const BmpLayout layout = ReadBmpLayout(s);
  if (static_cast<int64_t>(layout.width) * layout.height > kMaxDeferredBmpPixels) {
    ReadBmpNow(s, layout, bitmap);  // too large to be sure of memory later
    return;
  }
  const int64_t rowsSize = layout.rowBytes * layout.height;
  auto rows = std::make_shared<std::string>(static_cast<size_t>(rowsSize), '\0');
  s.ReadBuffer(rows->data(), rowsSize);
  bitmap.DeferPixels(layout.width, layout.height, [rows, layout](TBitmap::Impl& impl) {
    TMemoryStream in(*rows);
    impl.image = ReadBmpImage(in, layout);  // with no memory for it, the picture shows nothing
  });
  SetBitmapDepth(bitmap, layout.DecodedBitCount(), layout.palette);
}

void WriteBmp(TStream& s, const TBitmap& bitmap) { EncodeBmp(s, BitmapToImage(bitmap)); }

}  // namespace corvane
