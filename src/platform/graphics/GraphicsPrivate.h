// Toolkit side of the drawing classes: only platform .cpp files include this.
#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRegion>

#include <memory>
#include <string_view>
#include <vector>

#include "platform/graphics/Graphics.h"

namespace corvane {

QColor ToQColor(TColor c);
TColor FromQRgb(QRgb rgb);
QFont ToQFont(const TFont& f);
// The installed faces that stand in for a face name, best first, with Chinese fallbacks.
QStringList SubstituteFamilies(const std::string& name);

struct TCanvas::Impl {
  QImage* image = nullptr;  // what the canvas draws on (never owned)
  QRegion clip;             // device coordinates; empty = no clipping
  bool clipped = false;
  struct Saved { TPoint origin; QRegion clip; bool clipped; };
  std::vector<Saved> stack;
  std::unique_ptr<QPainter> painter;

  QPainter& Painter(const TCanvas& c);
  void End() { painter.reset(); }
};

struct TBitmap::Impl {
  QImage image;  // always Format_RGB32 (alpha unused) or Format_ARGB32 when loaded with alpha
};

// A canvas that draws on an image owned by someone else (window back buffers).
class TImageCanvas : public TCanvas {
 public:
  explicit TImageCanvas(QImage* image);
  void SetImage(QImage* image);
  // Limits drawing to a region in the image's own coordinates.
  void SetDeviceClip(const QRegion& region);
};

inline QImage& ImageOf(TBitmap& b) { return b.impl()->image; }
inline const QImage& ImageOf(const TBitmap& b) { return b.impl()->image; }

// JPEG: the size from the header alone, and the pixels decoded into a 32-bit image; both raise
// EInvalidGraphic on bad data.
TSize ReadJpegSize(std::string_view bytes);
QImage DecodeJpegImage(std::string_view bytes);

// Nearest-neighbour scaling by pixel replication: destination pixel x takes source column
// src.Left + x * src.Width() / dest width.
QImage ScaleByReplication(const QImage& source, const TRect& src, int width, int height);

}  // namespace corvane
