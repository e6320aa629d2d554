#include "platform/graphics/Graphics.h"

#include <QBuffer>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPalette>
#include <QResource>
#include <QTextBoundaryFinder>
#include <QTextLayout>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <set>
#include <system_error>

#include "platform/graphics/BmpCodec.h"
#include "platform/graphics/GraphicsPrivate.h"

namespace corvane {

// ---------------------------------------------------------------------------------------------
// Colours

TColor ColorToRGB(TColor c) {
  if (!(static_cast<uint32_t>(c) & 0x80000000u)) return c & 0xFFFFFF;
  // The classic system palette; the program's looks were designed against these values.
  static const TColor kSystem[] = {
      0xC8C8C8, 0x000000, 0xD1B499, 0xDBCDBF, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000,
      0x000000, 0x000000, 0xB4B4B4, 0xFCF7F4, 0xABABAB, 0xFF9933, 0xFFFFFF, 0xF0F0F0,
      0xA0A0A0, 0x6D6D6D, 0x000000, 0x000000, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000,
      0xE1FFFF};
  unsigned index = static_cast<uint32_t>(c) & 0xFF;
  return index < std::size(kSystem) ? kSystem[index] : 0;
}

QColor ToQColor(TColor c) {
  TColor rgb = ColorToRGB(c);
  return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

TColor FromQRgb(QRgb rgb) { return RGB(qRed(rgb), qGreen(rgb), qBlue(rgb)); }

static QRgb ToQRgb(TColor c) {
  TColor rgb = ColorToRGB(c);
  return qRgb(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

TRect IntersectRect(const TRect& a, const TRect& b) {
  TRect r(std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right), std::min(a.Bottom, b.Bottom));
  if (r.IsEmpty()) return {};
  return r;
}

TRect UnionRect(const TRect& a, const TRect& b) {
  if (a.IsEmpty()) return b;
  if (b.IsEmpty()) return a;
  return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right), std::max(a.Bottom, b.Bottom)};
}

// ---------------------------------------------------------------------------------------------
// Fonts

TFont::TFont() = default;

void TFont::Assign(const TFont& o) {
  bool changed = !(*this == o);
  name_ = o.name_; height_ = o.height_; style_ = o.style_; color_ = o.color_; charset_ = o.charset_;
  if (changed) Changed();
}

bool TFont::operator==(const TFont& o) const {
  return name_ == o.name_ && height_ == o.height_ && style_ == o.style_ && color_ == o.color_ && charset_ == o.charset_;
}

int TFont::Size() const { return static_cast<int>(std::lround(std::abs(height_) * 72.0 / 96.0)); }
void TFont::SetSize(int points) { SetHeight(-static_cast<int>(std::lround(points * 96.0 / 72.0))); }

namespace {
// The faces the layouts and documents name, mapped onto faces a Linux desktop has, best first.
// "宋体" is a Song (serif) face: a simplified-Chinese one when installed, the Ming face of the
// older font package otherwise. The Latin sans faces keep their metric-compatible stand-ins first;
// Chinese text in them falls back to the simplified-Chinese sans face.
const std::vector<std::string>& Candidates(const std::string& name) {
  static const std::vector<std::string> kSong = {"Noto Serif CJK SC", "AR PL UMing CN"};
  static const std::map<std::string, std::vector<std::string>> kTable = {
      {"宋体", kSong}, {"SimSun", kSong}, {"新宋体", kSong},
      {"MS Sans Serif", {"Noto Sans CJK SC", "Liberation Sans", "DejaVu Sans"}},
      {"Arial", {"Liberation Sans", "Noto Sans CJK SC"}},
      {"Tahoma", {"DejaVu Sans", "Noto Sans CJK SC"}},
      {"Times New Roman", {"Liberation Serif", "Noto Serif CJK SC"}},
      {"Courier New", {"Liberation Mono", "Noto Sans Mono CJK SC"}},
  };
  static const std::vector<std::string> kNone;
  auto it = kTable.find(name);
  return it == kTable.end() ? kNone : it->second;
}

bool Installed(const std::string& family) {
  static std::map<std::string, bool> known;
  auto it = known.find(family);
  if (it == known.end()) it = known.emplace(family, QFontDatabase::hasFamily(QString::fromStdString(family))).first;
  return it->second;
}
}  // namespace

std::string TFont::SubstituteFace(const std::string& name) {
  const auto& faces = Candidates(name);
  for (const std::string& f : faces)
    if (Installed(f)) return f;
  return faces.empty() ? name : faces.front();
}

QStringList SubstituteFamilies(const std::string& name) {
  // Asked for on every text drawn: made once per name.
  static std::map<std::string, QStringList> made;
  auto it = made.find(name);
  if (it != made.end()) return it->second;
  QStringList list;
  const auto& faces = Candidates(name);
  if (faces.empty()) list << QString::fromStdString(name);
  for (const std::string& f : faces) list << QString::fromStdString(f);
  // Chinese text in a face without Chinese characters: the simplified-Chinese faces, not
  // whatever the system would pick.
  for (const char* fallback : {"Noto Sans CJK SC", "AR PL UMing CN"})
    if (!list.contains(fallback)) list << fallback;
  return made.emplace(name, list).first->second;
}

QFont ToQFont(const TFont& f) {
  QFont q;
  q.setFamilies(SubstituteFamilies(f.Name()));
  q.setPixelSize(std::max(1, std::abs(f.Height())));
  q.setBold(f.Style() & fsBold);
  q.setItalic(f.Style() & fsItalic);
  q.setUnderline(f.Style() & fsUnderline);
  q.setStrikeOut(f.Style() & fsStrikeOut);
  q.setHintingPreference(QFont::PreferFullHinting);
  return q;
}

// ---------------------------------------------------------------------------------------------
// Regions

TRegion TRegion::FromRects(const std::vector<TRect>& rects) {
  TRegion r;
  for (const TRect& x : rects) r.Add(x);
  return r;
}

void TRegion::Offset(int dx, int dy) {
  for (TRect& r : rects_) r = r.Offset(dx, dy);
}

bool TRegion::Contains(TPoint p) const {
  return std::any_of(rects_.begin(), rects_.end(), [&](const TRect& r) { return r.Contains(p); });
}

TRect TRegion::BoundingBox() const {
  TRect b;
  for (const TRect& r : rects_) b = UnionRect(b, r);
  return b;
}

// ---------------------------------------------------------------------------------------------
// Canvas

QImage ScaleByReplication(const QImage& source, const TRect& src, int width, int height) {
  QImage out(std::max(0, width), std::max(0, height), source.format() == QImage::Format_ARGB32 ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  if (width <= 0 || height <= 0 || src.IsEmpty()) return out;
  std::vector<int> xs(width);
  for (int x = 0; x < width; ++x) xs[x] = src.Left + static_cast<int>(static_cast<int64_t>(x) * src.Width() / width);
  for (int y = 0; y < height; ++y) {
    int sy = src.Top + static_cast<int>(static_cast<int64_t>(y) * src.Height() / height);
    QRgb* d = reinterpret_cast<QRgb*>(out.scanLine(y));
    if (sy < 0 || sy >= source.height()) { std::fill(d, d + width, qRgb(0, 0, 0)); continue; }
    const QRgb* s = reinterpret_cast<const QRgb*>(source.constScanLine(sy));
    for (int x = 0; x < width; ++x) d[x] = (xs[x] >= 0 && xs[x] < source.width()) ? s[xs[x]] : qRgb(0, 0, 0);
  }
  return out;
}

QPainter& TCanvas::Impl::Painter(const TCanvas& c) {
  if (!painter) {
    painter = std::make_unique<QPainter>(image);
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setRenderHint(QPainter::TextAntialiasing, true);
  }
  painter->resetTransform();
  painter->translate(c.origin_.X, c.origin_.Y);
  if (clipped) {
    painter->setClipRegion(clip.translated(-c.origin_.X, -c.origin_.Y));
  } else {
    painter->setClipping(false);
  }
  return *painter;
}

TCanvas::TCanvas() : impl_(std::make_unique<Impl>()) {}
TCanvas::~TCanvas() = default;

TImageCanvas::TImageCanvas(QImage* image) { impl_->image = image; }
void TImageCanvas::SetImage(QImage* image) {
  impl_->End();
  impl_->image = image;
}
void TImageCanvas::SetDeviceClip(const QRegion& region) {
  impl_->clip = region;
  impl_->clipped = true;
}

int TCanvas::Width() const { return impl_->image ? impl_->image->width() : 0; }
int TCanvas::Height() const { return impl_->image ? impl_->image->height() : 0; }

static bool Usable(const TCanvas::Impl* i) { return i->image && !i->image->isNull(); }

void TCanvas::FillRect(const TRect& r) {
  if (!Usable(impl_.get()) || r.IsEmpty() || brush_.Style == TBrushStyle::bsClear) return;
  impl_->Painter(*this).fillRect(QRect(r.Left, r.Top, r.Width(), r.Height()), ToQColor(brush_.Color));
}

void TCanvas::FrameRect(const TRect& r) {
  if (!Usable(impl_.get()) || r.IsEmpty()) return;
  QPainter& p = impl_->Painter(*this);
  QColor c = ToQColor(brush_.Color);
  p.fillRect(QRect(r.Left, r.Top, r.Width(), 1), c);
  p.fillRect(QRect(r.Left, r.Bottom - 1, r.Width(), 1), c);
  p.fillRect(QRect(r.Left, r.Top, 1, r.Height()), c);
  p.fillRect(QRect(r.Right - 1, r.Top, 1, r.Height()), c);
}

void TCanvas::Rectangle(const TRect& r) {
  if (!Usable(impl_.get()) || r.IsEmpty()) return;
  QPainter& p = impl_->Painter(*this);
  if (brush_.Style != TBrushStyle::bsClear) p.fillRect(QRect(r.Left, r.Top, r.Width(), r.Height()), ToQColor(brush_.Color));
  if (pen_.Style == TPenStyle::psClear) return;
  int w = std::max(1, pen_.Width);
  QColor c = ToQColor(pen_.Color);
  p.fillRect(QRect(r.Left, r.Top, r.Width(), w), c);
  p.fillRect(QRect(r.Left, r.Bottom - w, r.Width(), w), c);
  p.fillRect(QRect(r.Left, r.Top, w, r.Height()), c);
  p.fillRect(QRect(r.Right - w, r.Top, w, r.Height()), c);
}

static QPen ToQPen(const TPen& pen) {
  QPen q(ToQColor(pen.Color));
  q.setWidth(std::max(1, pen.Width));
  switch (pen.Style) {
    case TPenStyle::psDash: q.setStyle(Qt::DashLine); break;
    case TPenStyle::psDot: q.setStyle(Qt::DotLine); break;
    case TPenStyle::psDashDot: q.setStyle(Qt::DashDotLine); break;
    case TPenStyle::psDashDotDot: q.setStyle(Qt::DashDotDotLine); break;
    case TPenStyle::psClear: q.setStyle(Qt::NoPen); break;
    default: q.setStyle(Qt::SolidLine); break;
  }
  return q;
}

void TCanvas::Ellipse(const TRect& r) {
  if (!Usable(impl_.get()) || r.IsEmpty()) return;
  QPainter& p = impl_->Painter(*this);
  p.setPen(ToQPen(pen_));
  p.setBrush(brush_.Style == TBrushStyle::bsClear ? QBrush(Qt::NoBrush) : QBrush(ToQColor(brush_.Color)));
  p.drawEllipse(QRect(r.Left, r.Top, r.Width() - 1, r.Height() - 1));
}

void TCanvas::RoundRect(const TRect& r, int rx, int ry) {
  if (!Usable(impl_.get()) || r.IsEmpty()) return;
  QPainter& p = impl_->Painter(*this);
  p.setPen(ToQPen(pen_));
  p.setBrush(brush_.Style == TBrushStyle::bsClear ? QBrush(Qt::NoBrush) : QBrush(ToQColor(brush_.Color)));
  p.drawRoundedRect(QRect(r.Left, r.Top, r.Width() - 1, r.Height() - 1), rx / 2.0, ry / 2.0);
}

// Plots a one-pixel line without its end point (Bresenham), honouring origin and clipping.
static void PlotLine(TCanvas& c, TCanvas::Impl* impl, TPoint a, TPoint b, QRgb colour) {
  QImage& img = *impl->image;
  TPoint o = c.Origin();
  int dx = std::abs(b.X - a.X), dy = -std::abs(b.Y - a.Y);
  int sx = a.X < b.X ? 1 : -1, sy = a.Y < b.Y ? 1 : -1, err = dx + dy;
  int x = a.X, y = a.Y;
  while (!(x == b.X && y == b.Y)) {
    int px = x + o.X, py = y + o.Y;
    if (px >= 0 && py >= 0 && px < img.width() && py < img.height() && (!impl->clipped || impl->clip.contains(QPoint(px, py))))
      reinterpret_cast<QRgb*>(img.scanLine(py))[px] = colour;
    int e2 = 2 * err;
    if (e2 >= dy) { err += dy; x += sx; }
    if (e2 <= dx) { err += dx; y += sy; }
  }
}

void TCanvas::LineTo(int x, int y) {
  if (Usable(impl_.get()) && pen_.Style != TPenStyle::psClear) {
    if (pen_.Width <= 1 && pen_.Style == TPenStyle::psSolid) {
      impl_->End();
      PlotLine(*this, impl_.get(), penPos_, {x, y}, ToQRgb(pen_.Color));
    } else {
      QPainter& p = impl_->Painter(*this);
      p.setPen(ToQPen(pen_));
      p.drawLine(penPos_.X, penPos_.Y, x, y);
    }
  }
  penPos_ = {x, y};
}

void TCanvas::Polyline(const std::vector<TPoint>& points) {
  if (points.empty()) return;
  MoveTo(points[0].X, points[0].Y);
  for (size_t i = 1; i < points.size(); ++i) LineTo(points[i].X, points[i].Y);
}

void TCanvas::Polygon(const std::vector<TPoint>& points) {
  if (!Usable(impl_.get()) || points.size() < 2) return;
  QPainter& p = impl_->Painter(*this);
  p.setPen(ToQPen(pen_));
  p.setBrush(brush_.Style == TBrushStyle::bsClear ? QBrush(Qt::NoBrush) : QBrush(ToQColor(brush_.Color)));
  QPolygon poly;
  for (const TPoint& pt : points) poly << QPoint(pt.X, pt.Y);
  p.drawPolygon(poly);
}

namespace {
// The line box text is laid out in. The layouts were drawn for Song faces whose line is one em
// high (ascent 0.88 em); the simplified-Chinese faces that stand in for them declare a much taller
// line (about 1.45 em), which would push every caption down and out of its label. Their glyphs
// fit the em box, so text in them is laid out in the em box the layouts expect.
struct LineBox {
  int ascent, height;
};
LineBox LineBoxOf(const TFont& font, const QFontMetrics& fm) {
  // The face that stands in for the name (looked up once per name, not resolved per text).
  if (TFont::SubstituteFace(font.Name()).find("CJK") != std::string::npos) {
    int em = std::max(1, std::abs(font.Height()));
    int ascent = static_cast<int>(std::lround(em * 0.88));
    return {ascent, std::max(em, ascent + 1)};
  }
  return {fm.ascent(), fm.height()};
}
}  // namespace

void TCanvas::TextOut(int x, int y, const std::string& text) {
  if (!Usable(impl_.get())) return;
  QPainter& p = impl_->Painter(*this);
  QFont f = ToQFont(font_);
  p.setFont(f);
  QFontMetrics fm(f);
  LineBox box = LineBoxOf(font_, fm);
  QString s = QString::fromStdString(text);
  if (brush_.Style != TBrushStyle::bsClear)
    p.fillRect(QRect(x, y, fm.horizontalAdvance(s), box.height), ToQColor(brush_.Color));
  p.setPen(ToQColor(font_.Color()));
  p.drawText(QPoint(x, y + box.ascent), s);
  penPos_ = {x + fm.horizontalAdvance(s), y};
}

void TCanvas::TextRect(const TRect& r, int x, int y, const std::string& text) {
  SaveState();
  IntersectClip(r);
  if (brush_.Style != TBrushStyle::bsClear) FillRect(r);
  TBrushStyle old = brush_.Style;
  brush_.Style = TBrushStyle::bsClear;
  TextOut(x, y, text);
  brush_.Style = old;
  RestoreState();
}

namespace {
int64_t gMeasuredBytes = 0;
}  // namespace

int64_t TextBytesMeasured() { return gMeasuredBytes; }

TSize TCanvas::TextExtent(const std::string& text) {
  gMeasuredBytes += static_cast<int64_t>(text.size());
  QFont f = ToQFont(font_);
  QFontMetrics fm(f);
  return {fm.horizontalAdvance(QString::fromStdString(text)), LineBoxOf(font_, fm).height};
}

std::string TCanvas::TextFittingPrefix(const std::string& text, int width) {
  gMeasuredBytes += static_cast<int64_t>(text.size());
  if (width <= 0 || text.empty()) return {};
  const QString s = QString::fromStdString(text);
  QFontMetrics fm(ToQFont(font_));
  // One line laid out whole; the place nearest to `width` on it, stepped back while the text
  // before it is wider (at most a character or two: the nearest place may lie just past it).
  QTextLayout layout(s, ToQFont(font_));
  QTextOption option;
  option.setWrapMode(QTextOption::NoWrap);
  layout.setTextOption(option);
  layout.beginLayout();
  QTextLine line = layout.createLine();
  line.setLineWidth(1e6);  // no wrapping: the line holds all of the text whatever its width
  layout.endLayout();
  int at = line.isValid() ? line.xToCursor(width, QTextLine::CursorBetweenCharacters) : 0;
  at = std::clamp(at, 0, static_cast<int>(s.size()));
  for (int step = 0; at > 0 && fm.horizontalAdvance(s.left(at)) > width; ++step) {
    if (step == 4) {
      // Text whose places and widths do not grow together (right to left, say): halving, over
      // the places between whole characters.
      auto snap = [&](int i) { return i == 0 ? 0 : layout.previousCursorPosition(i + 1); };
      int lo = 0, hi = at - 1;
      while (lo < hi) {
        const int mid = (lo + hi + 1) / 2;
        if (fm.horizontalAdvance(s.left(snap(mid))) <= width) lo = mid; else hi = mid - 1;
      }
      at = snap(lo);
      break;
    }
    at = layout.previousCursorPosition(at);
  }
  return s.left(at).toStdString();
}
int TCanvas::TextWidth(const std::string& text) { return TextExtent(text).cx; }
int TCanvas::TextHeight(const std::string& text) { return TextExtent(text).cy; }

namespace {
// Strips accelerator marks; returns the index of the underlined character or -1.
QString StripPrefix(const QString& s, int& accel) {
  QString out;
  accel = -1;
  for (int i = 0; i < s.size(); ++i) {
    if (s[i] == '&' && i + 1 < s.size()) {
      if (s[i + 1] != '&' && accel < 0) accel = out.size();
      ++i;
    }
    out += s[i];
  }
  return out;
}

QStringList WrapLines(const QString& text, const QFontMetrics& fm, int width, bool wordBreak) {
  QStringList result;
  for (const QString& para : text.split('\n')) {
    QString line = para;
    if (line.endsWith('\r')) line.chop(1);
    if (!wordBreak || width <= 0) { result << line; continue; }
    // Lines break where the text may break (after a blank, between Chinese characters), at the
    // last such place that still fits; a word wider than the line is not split and keeps its width.
    // Blanks at the end of a line take no room.
    auto head = [&line](int n) {
      QStringView v = QStringView(line).left(n);
      while (!v.isEmpty() && v.back().isSpace()) v.chop(1);
      return v;
    };
    while (fm.horizontalAdvance(line) > width) {
      QTextBoundaryFinder finder(QTextBoundaryFinder::Line, line);
      int cut = -1;
      for (int pos = finder.toNextBoundary(); pos > 0 && pos < line.size(); pos = finder.toNextBoundary()) {
        bool fits = fm.horizontalAdvance(head(pos).toString()) <= width;
        if (fits || cut < 0) cut = pos;
        if (!fits) break;
      }
      if (cut < 0) break;  // a single word
      result << head(cut).toString();
      line = line.mid(cut);
    }
    result << line;
  }
  return result;
}
}  // namespace

int TCanvas::DrawText(const std::string& text, TRect& r, unsigned flags) {
  gMeasuredBytes += static_cast<int64_t>(text.size());
  QFont f = ToQFont(font_);
  QFontMetrics fm(f);
  int accel = -1;
  QString s = QString::fromStdString(text);
  if (!(flags & DT_NOPREFIX)) s = StripPrefix(s, accel);
  bool single = flags & DT_SINGLELINE;
  QStringList lines = single ? QStringList{QString(s).replace('\n', ' ')} : WrapLines(s, fm, r.Width(), flags & DT_WORDBREAK);
  LineBox box = LineBoxOf(font_, fm);
  int lineH = box.height;
  int textH = lineH * static_cast<int>(lines.size());
  int textW = 0;
  for (const QString& l : lines) textW = std::max(textW, fm.horizontalAdvance(l));
  if (flags & DT_CALCRECT) {
    r.Right = r.Left + textW;
    r.Bottom = r.Top + textH;
    return textH;
  }
  if (!Usable(impl_.get())) return textH;
  QPainter& p = impl_->Painter(*this);
  p.setFont(f);
  p.setPen(ToQColor(font_.Color()));
  if (!(flags & DT_NOCLIP)) {
    QRegion clip(r.Left, r.Top, r.Width(), r.Height());
    if (impl_->clipped) clip &= impl_->clip.translated(-origin_.X, -origin_.Y);
    p.setClipRegion(clip);
  }
  int y = r.Top;
  if (single && (flags & DT_VCENTER)) y = r.Top + (r.Height() - lineH) / 2;
  else if (single && (flags & DT_BOTTOM)) y = r.Bottom - lineH;
  int consumed = 0;
  for (const QString& l : lines) {
    int w = fm.horizontalAdvance(l);
    int x = (flags & DT_CENTER) ? r.Left + (r.Width() - w) / 2 : (flags & DT_RIGHT) ? r.Right - w : r.Left;
    p.drawText(QPoint(x, y + box.ascent), l);
    if (accel >= 0 && !(flags & DT_HIDEPREFIX) && accel >= consumed && accel < consumed + l.size()) {
      int ax = x + fm.horizontalAdvance(l.left(accel - consumed));
      int aw = fm.horizontalAdvance(l.mid(accel - consumed, 1));
      p.fillRect(QRect(ax, y + box.ascent + 1, aw, 1), ToQColor(font_.Color()));
    }
    consumed += l.size();
    y += lineH;
  }
  return textH;
}

TColor TCanvas::Pixel(int x, int y) const {
  if (!Usable(impl_.get())) return clNone;
  x += origin_.X; y += origin_.Y;
  if (x < 0 || y < 0 || x >= impl_->image->width() || y >= impl_->image->height()) return clNone;
  impl_->End();
  return FromQRgb(impl_->image->pixel(x, y));
}

void TCanvas::SetPixel(int x, int y, TColor c) {
  if (!Usable(impl_.get())) return;
  x += origin_.X; y += origin_.Y;
  if (x < 0 || y < 0 || x >= impl_->image->width() || y >= impl_->image->height()) return;
  if (impl_->clipped && !impl_->clip.contains(QPoint(x, y))) return;
  impl_->End();
  impl_->image->setPixel(x, y, ToQRgb(c));
}

void TCanvas::Draw(int x, int y, const TGraphic& g) { g.Draw(*this, Bounds(x, y, g.Width(), g.Height())); }
void TCanvas::StretchDraw(const TRect& r, const TGraphic& g) { g.Draw(*this, r); }

// Writes pixels of `img` at dest (logical coordinates), skipping `key` when given.
static void BlitImage(TCanvas& c, TCanvas::Impl* impl, const QImage& img, TPoint dest, bool useKey, QRgb key) {
  if (!impl->image || impl->image->isNull() || img.isNull()) return;
  if (!useKey) {
    // A plain copy: the painter's block copy honours the origin and clipping already.
    QPainter& p = impl->Painter(c);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(QPoint(dest.X, dest.Y), img.format() == QImage::Format_ARGB32 ? img.convertToFormat(QImage::Format_RGB32) : img);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    return;
  }
  impl->End();
  QImage& target = *impl->image;
  TPoint o = c.Origin();
  int dx0 = dest.X + o.X, dy0 = dest.Y + o.Y;
  QRect area = QRect(dx0, dy0, img.width(), img.height()) & target.rect();
  if (impl->clipped) {
    for (const QRect& cr : impl->clip) {
      QRect part = area & cr;
      for (int y = part.top(); y <= part.bottom(); ++y) {
        const QRgb* s = reinterpret_cast<const QRgb*>(img.constScanLine(y - dy0));
        QRgb* d = reinterpret_cast<QRgb*>(target.scanLine(y));
        for (int x = part.left(); x <= part.right(); ++x) {
          QRgb px = s[x - dx0] | 0xFF000000u;
          if (!useKey || (px & 0xFFFFFF) != (key & 0xFFFFFF)) d[x] = px;
        }
      }
    }
    return;
  }
  for (int y = area.top(); y <= area.bottom(); ++y) {
    const QRgb* s = reinterpret_cast<const QRgb*>(img.constScanLine(y - dy0));
    QRgb* d = reinterpret_cast<QRgb*>(target.scanLine(y));
    for (int x = area.left(); x <= area.right(); ++x) {
      QRgb px = s[x - dx0] | 0xFF000000u;
      if (!useKey || (px & 0xFFFFFF) != (key & 0xFFFFFF)) d[x] = px;
    }
  }
}

void TCanvas::CopyRect(const TRect& dest, const TCanvas& source, const TRect& src) {
  if (!source.impl_->image || dest.IsEmpty()) return;
  source.impl_->End();
  TRect s = src.Offset(source.origin_.X, source.origin_.Y);
  QImage scaled = (s.Width() == dest.Width() && s.Height() == dest.Height())
                      ? source.impl_->image->copy(s.Left, s.Top, s.Width(), s.Height())
                      : ScaleByReplication(*source.impl_->image, s, dest.Width(), dest.Height());
  BlitImage(*this, impl_.get(), scaled.convertToFormat(QImage::Format_RGB32), dest.TopLeft(), false, 0);
}

void TCanvas::CopyTransparent(const TRect& dest, const TBitmap& source, const TRect& src, TColor transparent) {
  if (dest.IsEmpty() || source.Empty()) return;
  QImage scaled = ScaleByReplication(ImageOf(source), src, dest.Width(), dest.Height());
  BlitImage(*this, impl_.get(), scaled, dest.TopLeft(), transparent != clNone, ToQRgb(transparent));
}

void TCanvas::Frame3D(TRect& r, TColor topLeft, TColor bottomRight, int width) {
  TBrush saved = brush_;
  brush_.Style = TBrushStyle::bsSolid;
  for (int i = 0; i < width && !r.IsEmpty(); ++i) {
    brush_.Color = topLeft;
    FillRect(TRect(r.Left, r.Top, r.Right - 1, r.Top + 1));
    FillRect(TRect(r.Left, r.Top, r.Left + 1, r.Bottom - 1));
    brush_.Color = bottomRight;
    FillRect(TRect(r.Left, r.Bottom - 1, r.Right, r.Bottom));
    FillRect(TRect(r.Right - 1, r.Top, r.Right, r.Bottom));
    r = TRect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
  }
  brush_ = saved;
}

void TCanvas::DrawFocusRect(const TRect& r) {
  if (!Usable(impl_.get()) || r.IsEmpty()) return;
  impl_->End();
  QImage& img = *impl_->image;
  // Every other pixel of the frame is inverted, starting with the top-left corner.
  auto invert = [&](int x, int y) {
    x += origin_.X; y += origin_.Y;
    if (x < 0 || y < 0 || x >= img.width() || y >= img.height()) return;
    if (impl_->clipped && !impl_->clip.contains(QPoint(x, y))) return;
    QRgb* d = reinterpret_cast<QRgb*>(img.scanLine(y)) + x;
    *d = (*d ^ 0x00FFFFFFu) | 0xFF000000u;
  };
  for (int x = r.Left; x < r.Right; ++x) {
    if (((x - r.Left) & 1) == 0) invert(x, r.Top);
    if (r.Bottom - 1 > r.Top && ((x - r.Left + r.Bottom - 1 - r.Top) & 1) == 0) invert(x, r.Bottom - 1);
  }
  for (int y = r.Top + 1; y < r.Bottom - 1; ++y) {
    if (((y - r.Top) & 1) == 0) invert(r.Left, y);
    if (r.Right - 1 > r.Left && ((r.Right - 1 - r.Left + y - r.Top) & 1) == 0) invert(r.Right - 1, y);
  }
}

void TCanvas::SaveState() { impl_->stack.push_back({origin_, impl_->clip, impl_->clipped}); }

void TCanvas::RestoreState() {
  if (impl_->stack.empty()) return;
  auto s = impl_->stack.back();
  impl_->stack.pop_back();
  origin_ = s.origin;
  impl_->clip = s.clip;
  impl_->clipped = s.clipped;
}

void TCanvas::SetOrigin(int x, int y) { origin_ = {origin_.X + x, origin_.Y + y}; }

void TCanvas::IntersectClip(const TRect& r) {
  QRegion add(r.Left + origin_.X, r.Top + origin_.Y, std::max(0, r.Width()), std::max(0, r.Height()));
  impl_->clip = impl_->clipped ? impl_->clip & add : add;
  impl_->clipped = true;
}

void TCanvas::ExcludeClipRect(const TRect& r) {
  QRegion cut(r.Left + origin_.X, r.Top + origin_.Y, std::max(0, r.Width()), std::max(0, r.Height()));
  QRegion all = impl_->clipped ? impl_->clip : QRegion(0, 0, Width(), Height());
  impl_->clip = all - cut;
  impl_->clipped = true;
}

void TCanvas::ClipToRegion(const TRegion& region) {
  QRegion q;
  for (const TRect& r : region.Rects()) q += QRect(r.Left + origin_.X, r.Top + origin_.Y, r.Width(), r.Height());
  impl_->clip = impl_->clipped ? impl_->clip & q : q;
  impl_->clipped = true;
}

// ---------------------------------------------------------------------------------------------
// Graphics

static void InitPictureResources();

void TGraphic::LoadFromFile(const std::string& path) {
  TFileStream f(path, TFileMode::fmOpenRead);
  LoadFromStream(f);
}

TBitmap::TBitmap() : impl_(std::make_unique<Impl>()) {}
TBitmap::TBitmap(int width, int height) : TBitmap() { SetSize(width, height); }
TBitmap::~TBitmap() = default;

int TBitmap::Width() const { return make_ ? deferredWidth_ : impl_->image.width(); }
int TBitmap::Height() const { return make_ ? deferredHeight_ : impl_->image.height(); }

void TBitmap::DeferPixels(int width, int height, std::function<void(Impl&)> make) {
  Clear();
  deferredWidth_ = std::max(0, width);
  deferredHeight_ = std::max(0, height);
  make_ = std::make_shared<const std::function<void(Impl&)>>(std::move(make));
}

void TBitmap::MakePixels() const {
  // The image is made in place; the canvas, if any, already points at it. A deferred bitmap
  // has no drawing in progress (asking for its canvas makes the pixels).
  auto make = std::move(make_);
  make_.reset();
  (*make)(*impl_);
}

void TBitmap::SetSize(int w, int h) {
  if (make_) MakePixels();
  w = std::max(0, w);
  h = std::max(0, h);
  if (w == Width() && h == Height()) return;
  if (canvas_) canvas_->impl()->End();
  QImage next(w, h, QImage::Format_RGB32);
  next.fill(Qt::white);
  if (!impl_->image.isNull()) {
    QPainter p(&next);
    p.drawImage(0, 0, impl_->image);
  }
  impl_->image = next;
  if (canvas_) static_cast<TImageCanvas*>(canvas_.get())->SetImage(&impl_->image);
}

TCanvas& TBitmap::Canvas() {
  if (make_) MakePixels();
  if (!canvas_) canvas_ = std::make_unique<TImageCanvas>(&impl_->image);
  return *canvas_;
}

void TBitmap::Assign(const TBitmap& other) {
  if (&other == this) return;
  if (canvas_) canvas_->impl()->End();
  if (other.canvas_) other.canvas_->impl()->End();
  impl_->image = other.impl_->image;  // shared until either side draws on it
  make_ = other.make_;                // or still to be made, on each side when first used
  deferredWidth_ = other.deferredWidth_;
  deferredHeight_ = other.deferredHeight_;
  pixelFormat_ = other.pixelFormat_;
  palette_ = other.palette_;
  transparentColor_ = other.transparentColor_;
  transparentMode_ = other.transparentMode_;
  TransparentMode = other.TransparentMode;
  Transparent = other.Transparent;
  if (canvas_) static_cast<TImageCanvas*>(canvas_.get())->SetImage(&impl_->image);
}

void TBitmap::Clear() {
  make_.reset();
  if (canvas_) canvas_->impl()->End();
  impl_->image = QImage();
  if (canvas_) static_cast<TImageCanvas*>(canvas_.get())->SetImage(&impl_->image);
}

uint32_t* TBitmap::ScanLine(int y) {
  if (make_) MakePixels();
  if (canvas_) canvas_->impl()->End();
  return reinterpret_cast<uint32_t*>(impl_->image.scanLine(y));
}
const uint32_t* TBitmap::ScanLine(int y) const {
  if (make_) MakePixels();
  return reinterpret_cast<const uint32_t*>(impl_->image.constScanLine(y));
}

TColor TBitmap::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= Width() || y >= Height()) return clNone;
  if (make_) MakePixels();
  if (canvas_) canvas_->impl()->End();
  return FromQRgb(impl_->image.pixel(x, y));
}

void TBitmap::SetPixel(int x, int y, TColor c) {
  if (x < 0 || y < 0 || x >= Width() || y >= Height()) return;
  if (make_) MakePixels();
  if (canvas_) canvas_->impl()->End();
  impl_->image.setPixel(x, y, ToQRgb(c));
}

TColor TBitmap::TransparentColor() const {
  if (transparentMode_ == TTransparentMode::tmFixed && transparentColor_ != clNone) return transparentColor_;
  if (Empty()) return clNone;
  return Pixel(0, Height() - 1);
}

void TBitmap::Draw(TCanvas& canvas, const TRect& r) const {
  if (Empty() || r.IsEmpty()) return;
  if (make_) MakePixels();
  if (canvas_) canvas_->impl()->End();
  if (Transparent) {
    canvas.CopyTransparent(r, *this, TRect(0, 0, Width(), Height()), TransparentColor());
  } else {
    QImage scaled = (r.Width() == Width() && r.Height() == Height())
                        ? impl_->image
                        : ScaleByReplication(impl_->image, TRect(0, 0, Width(), Height()), r.Width(), r.Height());
    BlitImage(canvas, canvas.impl(), scaled, r.TopLeft(), false, 0);
  }
}

void TBitmap::LoadFromStream(TStream& s) {
  // Our own reader: it consumes exactly one image and keeps the bit depth and palette.
  ReadBmp(s, *this);
}

bool TBitmap::SaveToPngFile(const std::string& path) const {
  if (make_) MakePixels();
  return impl_->image.save(QString::fromStdString(path), "PNG");
}

void TBitmap::SaveToStream(TStream& s) const { WriteBmp(s, *this); }

bool TBitmap::LoadFromResourceName(const std::string& name) {
  std::string file = name;
  if (!ResourceExists(file)) file = name + ".bmp";
  if (!ResourceExists(file)) return false;
  std::string bytes = ResourceBytes(file);
  if (file.size() > 4 && file.substr(file.size() - 4) == ".jpg") {
    DecodeJpeg(bytes, *this);
  } else {
    TMemoryStream m(bytes);
    LoadFromStream(m);
  }
  return true;
}

TJPEGImage::TJPEGImage() = default;
TJPEGImage::~TJPEGImage() = default;

void TJPEGImage::Draw(TCanvas& canvas, const TRect& r) const {
  if (Empty()) return;
  Bitmap().Draw(canvas, r);
}

void TJPEGImage::LoadFromStream(TStream& s) { LoadFromBytes(s.ReadAll()); }

void TJPEGImage::LoadFromBytes(std::string_view bytes) {
  auto decoded = std::make_unique<TBitmap>();
  DecodeJpeg(bytes, *decoded);
  width_ = decoded->Width();
  height_ = decoded->Height();
  bitmap_ = std::move(decoded);
  shared_.reset();
  data_.assign(bytes);
  resource_.clear();
}

void TJPEGImage::Assign(const TJPEGImage& other) {
  if (&other == this) return;
  if (other.bitmap_) {
    if (!bitmap_) bitmap_ = std::make_unique<TBitmap>();
    bitmap_->Assign(*other.bitmap_);  // shares the pixels until one side draws on them
  } else {
    bitmap_.reset();
  }
  shared_ = other.shared_;
  data_ = other.data_;
  resource_ = other.resource_;
  width_ = other.width_;
  height_ = other.height_;
  Transparent = other.Transparent;
}

namespace {
// The bytes of a built-in picture, read in place where the resource is stored uncompressed.
std::string_view ResourceView(const std::string& name, QByteArray& holder) {
  InitPictureResources();
  QResource r(QString::fromStdString(":/pictures/" + name));
  if (!r.isValid() || !r.data()) throw EInvalidGraphic("Picture not found: " + name);
  if (r.compressionAlgorithm() == QResource::NoCompression)
    return {reinterpret_cast<const char*>(r.data()), static_cast<size_t>(r.size())};
  holder = r.uncompressedData();
  return {holder.constData(), static_cast<size_t>(holder.size())};
}

// One decoded copy of each built-in picture for as long as any image shows it.
std::shared_ptr<const QImage> DecodedResource(const std::string& name) {
  static std::map<std::string, std::weak_ptr<const QImage>> decoded;
  std::weak_ptr<const QImage>& slot = decoded[name];
  if (auto held = slot.lock()) return held;
  QByteArray holder;
  auto image = std::make_shared<const QImage>(DecodeJpegImage(ResourceView(name, holder)));
  slot = image;
  return image;
}
}  // namespace

const std::map<std::string, TSize, std::less<>>& BuiltInJpegSizes() {
  // Listed when the pictures are made: a built-in picture's size is known without touching its
  // bytes, so only the pictures that are drawn are ever read.
  static const std::map<std::string, TSize, std::less<>> sizes = [] {
    std::map<std::string, TSize, std::less<>> m;
    QByteArray holder;
    std::string_view text = ResourceView("jpeg_sizes.txt", holder);
    while (!text.empty()) {
      size_t end = text.find('\n');
      std::string_view line = text.substr(0, end);
      text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
      size_t a = line.find(' '), b = line.rfind(' ');
      if (a == std::string_view::npos || a == b) continue;
      int w = 0, h = 0;
      auto num = [](std::string_view digits, int& v) {
        return std::from_chars(digits.data(), digits.data() + digits.size(), v).ec == std::errc() && v > 0;
      };
      if (num(line.substr(a + 1, b - a - 1), w) && num(line.substr(b + 1), h))
        m.emplace(std::string(line.substr(0, a)), TSize{w, h});
    }
    return m;
  }();
  return sizes;
}

void TJPEGImage::LoadFromResourceName(const std::string& name) {
  TSize size;
  const auto& listed = BuiltInJpegSizes();
  if (auto it = listed.find(name); it != listed.end()) {
    size = it->second;
  } else {
    QByteArray holder;
    size = ReadJpegSize(ResourceView(name, holder));
  }
  bitmap_.reset();
  shared_.reset();
  data_.clear();
  resource_ = name;
  width_ = size.cx;
  height_ = size.cy;
}

const TBitmap& TJPEGImage::Bitmap() const {
  if (!bitmap_) {
    auto b = std::make_unique<TBitmap>();
    if (!resource_.empty()) {
      auto image = DecodedResource(resource_);
      ImageOf(*b) = *image;  // shared, copied only if drawn on
      shared_ = std::move(image);
    }
    bitmap_ = std::move(b);
  }
  return *bitmap_;
}

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::SetGraphic(std::unique_ptr<TGraphic> g) {
  graphic_ = std::move(g);
  Changed();
}

static bool EndsWith(const std::string& s, const char* suffix) {
  size_t n = std::strlen(suffix);
  return s.size() >= n && s.compare(s.size() - n, n, suffix) == 0;
}

// JPEG by extension, bitmap otherwise.
static std::unique_ptr<TGraphic> GraphicFromBytes(const std::string& name, const std::string& bytes) {
  if (EndsWith(name, ".jpg") || EndsWith(name, ".jpeg")) {
    auto j = std::make_unique<TJPEGImage>();
    j->LoadFromBytes(bytes);
    return j;
  }
  auto b = std::make_unique<TBitmap>();
  TMemoryStream m(bytes);
  b->LoadFromStream(m);
  return b;
}

void TPicture::LoadFromResourceName(const std::string& name) {
  if (!ResourceExists(name)) throw EInvalidGraphic("Picture not found: " + name);
  if (EndsWith(name, ".jpg") || EndsWith(name, ".jpeg")) {
    auto j = std::make_unique<TJPEGImage>();
    j->LoadFromResourceName(name);
    SetGraphic(std::move(j));
    return;
  }
  SetGraphic(GraphicFromBytes(name, ResourceBytes(name)));
}

void TPicture::LoadFromFile(const std::string& path) { SetGraphic(GraphicFromBytes(path, ReadFileBytes(path))); }

TBitmap& TPicture::Bitmap() {
  if (auto* b = dynamic_cast<TBitmap*>(graphic_.get())) return *b;
  auto b = std::make_unique<TBitmap>();
  if (auto* j = dynamic_cast<TJPEGImage*>(graphic_.get())) b->Assign(j->Bitmap());
  graphic_ = std::move(b);
  return static_cast<TBitmap&>(*graphic_);
}

void TPicture::Assign(const TPicture& other) {
  if (&other == this) return;
  if (!other.graphic_) { SetGraphic(nullptr); return; }
  if (auto* j = dynamic_cast<const TJPEGImage*>(other.graphic_.get())) {
    auto n = std::make_unique<TJPEGImage>();
    n->Assign(*j);
    SetGraphic(std::move(n));
  } else if (auto* b = dynamic_cast<const TBitmap*>(other.graphic_.get())) {
    auto n = std::make_unique<TBitmap>();
    n->Assign(*b);
    SetGraphic(std::move(n));
  }
}

// ---------------------------------------------------------------------------------------------
// Built-in pictures

}  // namespace corvane

// The generated resource library registers itself only when asked (it is a static library). The
// pictures read at start-up are a resource set of their own, so their bytes lie together.
static void InitPictureResourcesGlobal() {
  Q_INIT_RESOURCE(startup_pictures);
  Q_INIT_RESOURCE(pictures);
}

namespace corvane {

static void InitPictureResources() {
  static bool done = false;
  if (!done) {
    InitPictureResourcesGlobal();
    done = true;
  }
}

bool ResourceExists(const std::string& name) {
  // Looked up in the folder's list of names: asking the resource system about one file reads that
  // file's length from its stored bytes, and the system then maps the program's pages around it,
  // so probing the names of every picture in the layouts brought nearly all of them into memory.
  static const std::set<std::string, std::less<>> names = [] {
    InitPictureResources();
    std::set<std::string, std::less<>> all;
    struct Folder : QResource {  // a folder's list of names is the resource system's own business
      using QResource::QResource;
      using QResource::children;
    };
    for (const QString& child : Folder(QStringLiteral(":/pictures")).children()) all.insert(child.toStdString());
    return all;
  }();
  return names.count(name) != 0;
}

std::string ResourceBytes(const std::string& name) {
  if (!ResourceExists(name)) throw EFOpenError(Format(SFOpenError, {name}));
  QByteArray holder;
  return std::string(ResourceView(name, holder));
}

}  // namespace corvane
