// Drawing: fonts, pens, brushes, canvases, bitmaps, JPEG pictures and regions. The toolkit objects
// behind them stay in the .cpp files; callers see only these classes.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/Classes.h"
#include "platform/core/Types.h"

namespace corvane {

class TCanvas;
class TBitmap;

// Font style bits.
using TFontStyles = unsigned;
constexpr TFontStyles fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8;

using TFontCharset = int;
constexpr TFontCharset ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, OEM_CHARSET = 255, GB2312_CHARSET = 134;

class TFont : public TPersistent {
 public:
  TFont();
  std::string ClassName() const override { return "TFont"; }
  void Assign(const TFont& other);
  bool operator==(const TFont& other) const;

  const std::string& Name() const { return name_; }
  void SetName(const std::string& v) { if (v != name_) { name_ = v; Changed(); } }
  // Height in pixels: positive is the cell height, negative the character height (both are
  // mapped to the same pixel size here).
  int Height() const { return height_; }
  void SetHeight(int v) { if (v != height_) { height_ = v; Changed(); } }
  // Size in points at 96 dots per inch.
  int Size() const;
  void SetSize(int points);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles v) { if (v != style_) { style_ = v; Changed(); } }
  TColor Color() const { return color_; }
  void SetColor(TColor v) { if (v != color_) { color_ = v; Changed(); } }
  TFontCharset Charset() const { return charset_; }
  void SetCharset(TFontCharset v) { if (v != charset_) { charset_ = v; Changed(); } }

  TNotifyEvent OnChange;

  // The installed face that stands in for a face name (one table for the whole program).
  static std::string SubstituteFace(const std::string& name);

 private:
  void Changed() { if (OnChange) OnChange(this); }
  std::string name_ = "MS Sans Serif";
  int height_ = -11;
  TFontStyles style_ = 0;
  TColor color_ = clWindowText;
  TFontCharset charset_ = DEFAULT_CHARSET;
};

enum class TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum class TPenMode { pmCopy, pmXor, pmNot };

class TPen : public TPersistent {
 public:
  TColor Color = clBlack;
  int Width = 1;
  TPenStyle Style = TPenStyle::psSolid;
  TPenMode Mode = TPenMode::pmCopy;
};

enum class TBrushStyle { bsSolid, bsClear };

class TBrush : public TPersistent {
 public:
  TColor Color = clWhite;
  TBrushStyle Style = TBrushStyle::bsSolid;
};

// A region: a set of rectangles (the window system's region made of rectangle lists).
class TRegion {
 public:
  TRegion() = default;
  explicit TRegion(const TRect& r) { if (!r.IsEmpty()) rects_.push_back(r); }
  static TRegion FromRects(const std::vector<TRect>& rects);
  void Add(const TRect& r) { if (!r.IsEmpty()) rects_.push_back(r); }
  void Offset(int dx, int dy);
  bool Contains(TPoint p) const;
  bool IsEmpty() const { return rects_.empty(); }
  const std::vector<TRect>& Rects() const { return rects_; }
  TRect BoundingBox() const;
 private:
  std::vector<TRect> rects_;
};

// DrawText flags.
constexpr unsigned DT_LEFT = 0x0, DT_CENTER = 0x1, DT_RIGHT = 0x2, DT_VCENTER = 0x4, DT_BOTTOM = 0x8,
                   DT_WORDBREAK = 0x10, DT_SINGLELINE = 0x20, DT_EXPANDTABS = 0x40, DT_NOCLIP = 0x100,
                   DT_CALCRECT = 0x400, DT_NOPREFIX = 0x800, DT_HIDEPREFIX = 0x100000,
                   DT_END_ELLIPSIS = 0x8000;

class TGraphic : public TPersistent {
 public:
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual bool Empty() const { return Width() == 0 || Height() == 0; }
  // Draws the graphic scaled into r on the canvas.
  virtual void Draw(TCanvas& canvas, const TRect& r) const = 0;
  virtual void LoadFromStream(TStream& s) = 0;
  void LoadFromFile(const std::string& path);
  bool Transparent = false;
};

enum class TPixelFormat { pfDevice, pf1bit, pf8bit, pf24bit, pf32bit };
enum class TTransparentMode { tmAuto, tmFixed };

// Bytes of text given to canvases to measure or draw since the program started: lets a test see
// that fitting text to a width costs work in step with the text.
int64_t TextBytesMeasured();

class TCanvas : public TPersistent {
 public:
  ~TCanvas() override;
  std::string ClassName() const override { return "TCanvas"; }

  TPen& Pen() { return pen_; }
  TBrush& Brush() { return brush_; }
  TFont& Font() { return font_; }

  // Pixel size of what the canvas draws on.
  int Width() const;
  int Height() const;

  void FillRect(const TRect& r);          // with the brush
  void FrameRect(const TRect& r);         // 1-pixel frame in the brush colour
  void Rectangle(const TRect& r);         // pen outline, brush inside
  void Rectangle(int l, int t, int r, int b) { Rectangle(TRect(l, t, r, b)); }
  void Ellipse(const TRect& r);
  void RoundRect(const TRect& r, int rx, int ry);
  void MoveTo(int x, int y) { penPos_ = {x, y}; }
  // Draws from the pen position to (x, y), leaving the end point undrawn.
  void LineTo(int x, int y);
  void Polyline(const std::vector<TPoint>& points);
  void Polygon(const std::vector<TPoint>& points);
  TPoint PenPos() const { return penPos_; }

  void TextOut(int x, int y, const std::string& text);
  void TextRect(const TRect& r, int x, int y, const std::string& text);
  int TextWidth(const std::string& text);
  int TextHeight(const std::string& text);
  TSize TextExtent(const std::string& text);
  // The longest beginning of the text, cut between whole characters, whose width is at most
  // `width`; found in one pass over the text, whatever its length.
  std::string TextFittingPrefix(const std::string& text, int width);
  // Draws (or measures with DT_CALCRECT, updating r) text in r with the DT_ flags; "&" marks an
  // accelerator and "&&" a literal ampersand unless DT_NOPREFIX. Returns the text height.
  int DrawText(const std::string& text, TRect& r, unsigned flags);

  TColor Pixel(int x, int y) const;
  void SetPixel(int x, int y, TColor c);

  void Draw(int x, int y, const TGraphic& g);
  void StretchDraw(const TRect& r, const TGraphic& g);
  // Copies src of the source canvas into dest, scaling by pixel replication.
  void CopyRect(const TRect& dest, const TCanvas& source, const TRect& src);
  // Copies src of the bitmap into dest, scaling by pixel replication and leaving out the pixels
  // of the transparent colour.
  void CopyTransparent(const TRect& dest, const TBitmap& source, const TRect& src, TColor transparent);
  // A 3-D edge `width` pixels deep inside r (top and left in one colour, bottom and right in the
  // other); r shrinks to what is left inside the edge.
  void Frame3D(TRect& r, TColor topLeft, TColor bottomRight, int width);
  // The dotted focus rectangle (every other pixel inverted).
  void DrawFocusRect(const TRect& r);

  // Drawing state: origin shift and clipping, saved and restored as a pair.
  void SaveState();
  void RestoreState();
  void SetOrigin(int x, int y);  // adds to the current shift
  TPoint Origin() const { return origin_; }
  void IntersectClip(const TRect& r);
  // Takes r out of the area drawn on (the whole canvas when nothing was clipped yet).
  void ExcludeClipRect(const TRect& r);
  void ClipToRegion(const TRegion& region);

  struct Impl;
  Impl* impl() const { return impl_.get(); }

 protected:
  friend class TBitmap;
  TCanvas();
  std::unique_ptr<Impl> impl_;
  TPen pen_;
  TBrush brush_;
  TFont font_;
  TPoint penPos_;
  TPoint origin_;
};

class TBitmap : public TGraphic {
 public:
  TBitmap();
  TBitmap(int width, int height);
  ~TBitmap() override;
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;
  std::string ClassName() const override { return "TBitmap"; }

  int Width() const override;
  int Height() const override;
  void SetWidth(int w) { SetSize(w, Height()); }
  void SetHeight(int h) { SetSize(Width(), h); }
  // Resizes keeping the top-left pixels; new pixels are white.
  void SetSize(int w, int h);
  // The bit depth the bitmap was loaded with or is to be saved with. Pixels are always held as
  // 32-bit 0xAARRGGBB internally; 1- and 8-bit bitmaps keep their palette for saving.
  TPixelFormat PixelFormat() const { return pixelFormat_; }
  void SetPixelFormat(TPixelFormat f) { pixelFormat_ = f; }
  std::vector<TColor>& Palette() { return palette_; }
  const std::vector<TColor>& Palette() const { return palette_; }

  TCanvas& Canvas();
  void Assign(const TBitmap& other);
  void Clear();  // empty, 0 x 0

  // Row y as 0xAARRGGBB values (alpha 0xFF), Width() of them.
  uint32_t* ScanLine(int y);
  const uint32_t* ScanLine(int y) const;
  TColor Pixel(int x, int y) const;
  void SetPixel(int x, int y, TColor c);

  TColor TransparentColor() const;  // the bottom-left pixel in tmAuto mode
  void SetTransparentColor(TColor c) { transparentColor_ = c; transparentMode_ = TTransparentMode::tmFixed; }
  TTransparentMode TransparentMode = TTransparentMode::tmAuto;

  void Draw(TCanvas& canvas, const TRect& r) const override;
  // Reads a BMP (1/4/8/24/32-bit uncompressed) or raises EInvalidGraphic with SInvalidBitmap.
  void LoadFromStream(TStream& s) override;
  void SaveToStream(TStream& s) const;
  // Writes the pixels as a PNG file (for tools that save what they show); false when the file
  // cannot be written.
  bool SaveToPngFile(const std::string& path) const;
  // Loads one of the program's built-in pictures by name (JPEG or BMP); false when there is none.
  bool LoadFromResourceName(const std::string& name);

  struct Impl;
  // The pixels, made first if they were deferred.
  Impl* impl() const {
    if (make_) MakePixels();
    return impl_.get();
  }
  // Pixels made only when first used (drawn, read, written, or a canvas asked for): until then
  // the bitmap is `width` x `height` and holds nothing but `make`, which fills the image it is
  // given. Pictures read at load that may never be shown cost only their stored bytes. Anything
  // that sets the pixels in the meantime (a load, Assign, Clear) replaces the deferred ones;
  // Assign from a deferred bitmap shares them still deferred.
  void DeferPixels(int width, int height, std::function<void(Impl&)> make);
  // Whether the pixels are deferred and not made yet.
  bool PixelsDeferred() const { return make_ != nullptr; }

 private:
  void MakePixels() const;
  std::unique_ptr<Impl> impl_;
  mutable std::shared_ptr<const std::function<void(Impl&)>> make_;
  int deferredWidth_ = 0, deferredHeight_ = 0;
  std::unique_ptr<TCanvas> canvas_;
  TPixelFormat pixelFormat_ = TPixelFormat::pf24bit;
  std::vector<TColor> palette_;
  TColor transparentColor_ = clNone;
  TTransparentMode transparentMode_ = TTransparentMode::tmAuto;
};

// A JPEG picture. Bytes loaded from a file or a stream are decoded at once (bad data is reported
// when loading); a built-in picture is decoded only when first drawn, its size read from the
// header at load, and every JPEG image showing the same built-in picture shares one decoded copy.
class TJPEGImage : public TGraphic {
 public:
  TJPEGImage();
  ~TJPEGImage() override;
  std::string ClassName() const override { return "TJPEGImage"; }
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  void Draw(TCanvas& canvas, const TRect& r) const override;
  // Raises EInvalidGraphic when the data is not a JPEG the decoder accepts.
  void LoadFromStream(TStream& s) override;
  void LoadFromBytes(std::string_view bytes);
  // A built-in picture by file name; raises EInvalidGraphic when there is none or its header is
  // not a JPEG's.
  void LoadFromResourceName(const std::string& name);
  // Shares the other image's bytes and pixels.
  void Assign(const TJPEGImage& other);
  // The pixels (decoding a built-in picture on first use).
  const TBitmap& Bitmap() const;
  // Whether the pixels are held yet.
  bool Decoded() const { return bitmap_ != nullptr; }
  // The original compressed bytes of a picture loaded from bytes (kept so layouts can be written
  // back unchanged); empty for a built-in picture.
  const std::string& Data() const { return data_; }
  // The built-in picture shown, or empty.
  const std::string& ResourceName() const { return resource_; }
 private:
  mutable std::unique_ptr<TBitmap> bitmap_;
  mutable std::shared_ptr<const void> shared_;  // the process's decoded copy of a built-in picture
  std::string data_;
  std::string resource_;
  int width_ = 0, height_ = 0;
};

// Decodes JPEG bytes into a bitmap (24-bit); raises EInvalidGraphic on bad data.
void DecodeJpeg(std::string_view bytes, TBitmap& out);
// Encodes a bitmap as JPEG (used by tools and tests).
std::string EncodeJpeg(const TBitmap& bmp, int quality);

// Holds any graphic; layouts assign pictures through it.
class TPicture : public TPersistent {
 public:
  TPicture();
  ~TPicture() override;
  std::string ClassName() const override { return "TPicture"; }
  TGraphic* Graphic() const { return graphic_.get(); }
  void SetGraphic(std::unique_ptr<TGraphic> g);
  // Loads a picture by file name from the built-in pictures: ".jpg" as JPEG, others as bitmap.
  void LoadFromResourceName(const std::string& name);
  void LoadFromFile(const std::string& path);
  // A bitmap view of the picture (converting a JPEG on first use).
  TBitmap& Bitmap();
  int Width() const { return graphic_ ? graphic_->Width() : 0; }
  int Height() const { return graphic_ ? graphic_->Height() : 0; }
  bool Empty() const { return !graphic_ || graphic_->Empty(); }
  void Assign(const TPicture& other);
  TNotifyEvent OnChange;
 private:
  void Changed() { if (OnChange) OnChange(this); }
  std::unique_ptr<TGraphic> graphic_;
};

// Built-in pictures (embedded resources) by file name, e.g. "form1_bg.jpg" or "MACOS_BUTTON.bmp".
bool ResourceExists(const std::string& name);
// The size of every built-in JPEG by file name, as listed when the pictures were made.
const std::map<std::string, TSize, std::less<>>& BuiltInJpegSizes();
std::string ResourceBytes(const std::string& name);

}  // namespace corvane
