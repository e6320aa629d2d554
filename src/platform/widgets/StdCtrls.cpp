#include "platform/widgets/StdCtrls.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QEvent>
#include <QFontMetrics>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextTable>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>

#include "platform/core/Encoding.h"
#include "platform/graphics/GraphicsPrivate.h"
#include "platform/windows/Forms.h"
#include "platform/windows/WindowHandle.h"

namespace corvane {

// ---------------------------------------------------------------------------------------------
// Graphic controls

TImage::TImage(TComponent* owner) : TGraphicControl(owner) {
  width_ = 105;
  height_ = 105;
  picture_.OnChange = [this](TObject*) {
    if (AutoSize && !picture_.Empty()) SetBounds(left_, top_, picture_.Width(), picture_.Height());
    Invalidate();
  };
}

TRect TImage::PictureRect(const TGraphic& g) const {
  TRect r = Stretch ? ClientRect() : Bounds(0, 0, g.Width(), g.Height());
  if (Center && !Stretch) r = r.Offset((width_ - g.Width()) / 2, (height_ - g.Height()) / 2);
  return r;
}

bool TImage::PaintsWholeBounds() const {
  // A JPEG has no transparent pixels: drawn over the whole control, it hides what is under it.
  const auto* j = dynamic_cast<const TJPEGImage*>(picture_.Graphic());
  if (!j || j->Empty()) return false;
  TRect r = PictureRect(*j);
  return r.Left <= 0 && r.Top <= 0 && r.Right >= width_ && r.Bottom >= height_;
}

void TImage::Paint() {
  TGraphic* g = picture_.Graphic();
  if (!g || g->Empty()) return;
  TRect r = PictureRect(*g);
  if (Transparent) {
    if (auto* b = dynamic_cast<TBitmap*>(g)) {
      Canvas().CopyTransparent(r, *b, TRect(0, 0, b->Width(), b->Height()), b->TransparentColor());
      return;
    }
  }
  Canvas().StretchDraw(r, *g);
}

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {
  width_ = 65;
  height_ = 17;
}

void TLabel::SetText(const std::string& v) {
  TControl::SetText(v);
  AdjustBounds();
}

void TLabel::FontChanged() {
  TGraphicControl::FontChanged();
  AdjustBounds();
}

void TLabel::AdjustBounds() {
  if (!autoSize_ || IsLoading() || WordWrap) return;
  TBitmap scratch(1, 1);
  scratch.Canvas().Font().Assign(font_);
  TSize ext = scratch.Canvas().TextExtent(text_.empty() ? std::string(" ") : text_);
  // Labels keep the accelerator marks out of their width.
  TRect r(0, 0, 0, 0);
  scratch.Canvas().DrawText(text_.empty() ? std::string(" ") : text_, r, DT_CALCRECT | DT_SINGLELINE);
  SetBounds(left_, top_, std::max(r.Width(), minWidth_), std::max({ext.cy, r.Height(), minHeight_}));
}

void TLabel::SetMinimumSize(int width, int height) {
  minWidth_ = std::max(0, width);
  minHeight_ = std::max(0, height);
  if (autoSize_ && !IsLoading() && !WordWrap) {
    AdjustBounds();
  } else if (width_ < minWidth_ || height_ < minHeight_) {
    SetBounds(left_, top_, std::max(width_, minWidth_), std::max(height_, minHeight_));
  }
}

void TLabel::Paint() {
  TCanvas& c = Canvas();
  if (!Transparent) {
    c.Brush().Color = color_;
    c.Brush().Style = TBrushStyle::bsSolid;
    c.FillRect(ClientRect());
  }
  c.Brush().Style = TBrushStyle::bsClear;
  c.Font().Assign(font_);
  TRect r = ClientRect();
  unsigned flags = (WordWrap ? DT_WORDBREAK : DT_SINGLELINE) | DT_NOCLIP |
                   (Alignment == TAlignment::taCenter ? DT_CENTER : Alignment == TAlignment::taRightJustify ? DT_RIGHT : DT_LEFT);
  if (!WordWrap && Layout == TTextLayout::tlCenter) flags |= DT_VCENTER;
  if (!WordWrap && Layout == TTextLayout::tlBottom) flags |= DT_BOTTOM;
  if (!enabled_) c.Font().SetColor(clGrayText);
  c.DrawText(text_, r, flags);
}

TShape::TShape(TComponent* owner) : TGraphicControl(owner) {
  width_ = 65;
  height_ = 65;
}

void TShape::Paint() {
  TCanvas& c = Canvas();
  c.Pen() = pen_;
  c.Brush() = brush_;
  TRect r = ClientRect();
  int w = std::max(1, pen_.Width);
  switch (Shape) {
    case TShapeType::stEllipse: case TShapeType::stCircle: c.Ellipse(r); break;
    case TShapeType::stRoundRect: case TShapeType::stRoundSquare:
      c.RoundRect(r, std::min(r.Width(), r.Height()) / 4, std::min(r.Width(), r.Height()) / 4);
      break;
    default: c.Rectangle(r); break;
  }
  (void)w;
}

// ---------------------------------------------------------------------------------------------
// Panel

TPanel::TPanel(TComponent* owner) : TCustomControl(owner) {
  width_ = 185;
  height_ = 41;
}

void TPanel::Paint() {
  TCanvas& c = Canvas();
  TRect r = ClientRect();
  c.Brush().Style = TBrushStyle::bsSolid;
  c.Brush().Color = color_;
  c.FillRect(r);
  if (BevelOuter == TBevelCut::bvRaised) c.Frame3D(r, clBtnHighlight, clBtnShadow, BevelWidth);
  else if (BevelOuter == TBevelCut::bvLowered) c.Frame3D(r, clBtnShadow, clBtnHighlight, BevelWidth);
  if (BevelInner == TBevelCut::bvRaised) c.Frame3D(r, clBtnHighlight, clBtnShadow, BevelWidth);
  else if (BevelInner == TBevelCut::bvLowered) c.Frame3D(r, clBtnShadow, clBtnHighlight, BevelWidth);
  if (ShowCaption && !text_.empty()) {
    c.Brush().Style = TBrushStyle::bsClear;
    c.Font().Assign(font_);
    unsigned flags = DT_SINGLELINE | DT_VCENTER |
                     (Alignment == TAlignment::taCenter ? DT_CENTER : Alignment == TAlignment::taRightJustify ? DT_RIGHT : DT_LEFT);
    c.DrawText(text_, r, flags);
  }
}

// ---------------------------------------------------------------------------------------------
// Native text controls

namespace {
void ApplyFont(QWidget* w, const TFont& f) {
  w->setFont(ToQFont(f));
  QPalette p = w->palette();
  p.setColor(QPalette::Text, ToQColor(f.Color()));
  w->setPalette(p);
}

void ApplyBase(QWidget* w, TColor color) {
  QPalette p = w->palette();
  p.setColor(QPalette::Base, ToQColor(color));
  p.setColor(QPalette::Window, ToQColor(color));
  w->setPalette(p);
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// Text controls

namespace {

// Whether the clipboard (or the primary selection, which the middle button pastes) offers
// anything at all. The toolkit's text widgets crash when asked to paste from a clipboard that has
// no owner (nothing copied since the login, or the program that copied has exited), so no paste
// reaches them without this check.
bool ClipboardOffersData(QClipboard::Mode mode = QClipboard::Clipboard) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (!clipboard || (mode == QClipboard::Selection && !clipboard->supportsSelection())) return false;
  const QMimeData* data = clipboard->mimeData(mode);
  return data && !data->formats().isEmpty();
}

// Stands between a text widget and the toolkit's own paste paths: the paste keys, the middle
// button and the context menu's paste do nothing while the clipboard offers nothing. Installed
// before the control's window handle, so the program's key and mouse handling still comes first.
class PasteGuard : public QObject {
 public:
  PasteGuard(QWidget* widget, std::function<QMenu*(QPoint)> menu) : QObject(widget), menu_(std::move(menu)) {
    widget->installEventFilter(this);
  }
  void Watch(QWidget* part) { part->installEventFilter(this); }
  bool eventFilter(QObject*, QEvent* e) override {
    switch (e->type()) {
      case QEvent::KeyPress: {
        auto* k = static_cast<QKeyEvent*>(e);
        const bool fromSelection = k->key() == Qt::Key_Insert && k->modifiers() == (Qt::ControlModifier | Qt::ShiftModifier);
        if ((k->matches(QKeySequence::Paste) || fromSelection) &&
            !ClipboardOffersData(fromSelection ? QClipboard::Selection : QClipboard::Clipboard)) {
          k->accept();
          return true;
        }
        return false;
      }
      case QEvent::MouseButtonPress: case QEvent::MouseButtonRelease: case QEvent::MouseButtonDblClick:
        return static_cast<QMouseEvent*>(e)->button() == Qt::MiddleButton && !ClipboardOffersData(QClipboard::Selection);
      case QEvent::ContextMenu: {
        auto* c = static_cast<QContextMenuEvent*>(e);
        std::unique_ptr<QMenu> menu(menu_(c->pos()));
        if (!menu) return false;
        for (QAction* a : menu->actions())
          if (a->objectName() == QLatin1String("edit-paste") && !ClipboardOffersData()) a->setEnabled(false);
        menu->exec(c->globalPos());
        return true;
      }
      default:
        return false;
    }
  }
 private:
  std::function<QMenu*(QPoint)> menu_;
};

// The plain multi-line widget, refusing a paste of nothing whichever way it comes.
class TPlainTextWidget : public QPlainTextEdit {
 protected:
  void insertFromMimeData(const QMimeData* source) override {
    if (source && !source->formats().isEmpty()) QPlainTextEdit::insertFromMimeData(source);
  }
};

}  // namespace

void TCustomEdit::Loaded() {
  TWinControl::Loaded();
  if (!fontHeld_) return;
  fontHeld_ = false;
  ApplyWidgetFont();
}

bool TCustomEdit::HandleEditMessage(TMessage& m) {
  switch (m.Msg) {
    case WM_CUT: CutToClipboard(); return true;
    case WM_COPY: CopyToClipboard(); return true;
    case WM_PASTE: PasteFromClipboard(); return true;
    case WM_CLEAR: ClearSelection(); return true;
    case WM_UNDO: Undo(); return true;
    default: return false;
  }
}

TEdit::TEdit(TComponent* owner) : TCustomEdit(owner) {
  width_ = 121;
  height_ = 21;
  color_ = clWindow;
  TabStop = true;
  InitHandle();
  LayoutInner();
}

std::unique_ptr<TWindowHandle> TEdit::CreateHandle() {
  auto* frame = new TPaintWidget();
  auto* edit = new QLineEdit(frame);
  new PasteGuard(edit, [edit](QPoint) { return edit->createStandardContextMenu(); });
  edit->setFrame(false);
  edit->setAttribute(Qt::WA_MacShowFocusRect, false);
  edit->setMaxLength(std::numeric_limits<int>::max());  // the toolkit's default stops at 32,767
  auto h = std::make_unique<TWindowHandle>(this, frame, true, edit);
  frame->handle = h.get();
  edit->setFocusPolicy(Qt::ClickFocus);
  QObject::connect(edit, &QLineEdit::textChanged, [this](const QString& t) {
    if (syncing_) return;
    text_ = t.toStdString();
    if (OnChange) Application->HandleExceptions([&] { OnChange(this); });
  });
  return h;
}

static QLineEdit* LineEditOf(const TWinControl* c) {
  return c->Handle() ? static_cast<QLineEdit*>(c->Handle()->InputWidget()) : nullptr;
}

void TEdit::LayoutInner() {
  if (QLineEdit* e = LineEditOf(this)) {
    int b = BorderBand();
    e->setGeometry(b, b, std::max(0, width_ - 2 * b), std::max(0, height_ - 2 * b));
    if (!FontHeld()) ApplyFont(e, font_);
    ApplyBase(e, color_);
  }
}

void TEdit::ApplyWidgetFont() {
  if (QLineEdit* e = LineEditOf(this)) ApplyFont(e, font_);
}

void TEdit::BoundsChanged() { LayoutInner(); }
void TEdit::FontChanged() { TWinControl::FontChanged(); LayoutInner(); }

void TEdit::SetBorderStyle(TBorderStyle s) {
  borderStyle_ = s;
  LayoutInner();
  Invalidate();
}

void TEdit::SetText(const std::string& v) {
  text_ = v;
  if (QLineEdit* e = LineEditOf(this)) {
    syncing_ = true;
    e->setText(QString::fromStdString(v));
    syncing_ = false;
  }
  if (OnChange) OnChange(this);
}

void TEdit::SetMaxLength(int v) {
  maxLength_ = std::max(0, v);
  if (QLineEdit* e = LineEditOf(this)) e->setMaxLength(maxLength_ > 0 ? maxLength_ : std::numeric_limits<int>::max());
}

bool TEdit::ReadOnly() const { return LineEditOf(this)->isReadOnly(); }
void TEdit::SetReadOnly(bool v) { LineEditOf(this)->setReadOnly(v); }
void TEdit::SelectAll() { LineEditOf(this)->selectAll(); }
int TEdit::SelStart() const { QLineEdit* e = LineEditOf(this); return e->hasSelectedText() ? e->selectionStart() : e->cursorPosition(); }
int TEdit::SelLength() const { return static_cast<int>(LineEditOf(this)->selectedText().size()); }
int TEdit::GetTextLen() const { return static_cast<int>(LineEditOf(this)->text().size()); }
bool TEdit::CanUndo() const { return LineEditOf(this)->isUndoAvailable(); }
void TEdit::CutToClipboard() { LineEditOf(this)->cut(); }
void TEdit::CopyToClipboard() { LineEditOf(this)->copy(); }
void TEdit::PasteFromClipboard() {
  if (ClipboardOffersData()) LineEditOf(this)->paste();
}
void TEdit::ClearSelection() {
  // Only the selection goes: with nothing selected the line edit would delete the next character.
  QLineEdit* e = LineEditOf(this);
  if (e->hasSelectedText() && !e->isReadOnly()) e->del();
}
void TEdit::Undo() { LineEditOf(this)->undo(); }

void TEdit::PaintWindow(TCanvas& canvas) {
  TRect r = ClientRect();
  canvas.Brush().Color = color_;
  canvas.FillRect(r);
  if (borderStyle_ == TBorderStyle::bsSingle) canvas.Frame3D(r, clBtnShadow, clBtnHighlight, 2);
}

void TEdit::WndProc(TMessage& m) {
  if (m.Msg == CM_COLORCHANGED) LayoutInner();
  if (HandleEditMessage(m)) return;
  if (m.Msg == WM_GETDLGCODE) { m.Result = DLGC_WANTCHARS | DLGC_WANTARROWS; return; }
  TWinControl::WndProc(m);
}

// ---------------------------------------------------------------------------------------------

TMemo::TMemo(TComponent* owner) : TCustomEdit(owner) {
  width_ = 185;
  height_ = 89;
  color_ = clWindow;
  TabStop = true;
  InitHandle();
}

// The memo's widget as it is, holding whatever text it was given so far.
static QPlainTextEdit* RawPlainEditOf(const TWinControl* c) {
  return c->Handle() ? static_cast<QPlainTextEdit*>(c->Handle()->Widget()) : nullptr;
}

struct TMemoAccess {
  // The memo's widget with the memo's text in it.
  static QPlainTextEdit* Edit(const TMemo* m) {
    m->GiveHeldText();
    return RawPlainEditOf(m);
  }
};

namespace {
// Runs a function whenever the widget it watches is shown.
class ShowWatcher : public QObject {
 public:
  ShowWatcher(QObject* widget, std::function<void()> onShow) : QObject(widget), onShow_(std::move(onShow)) {}
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Show) onShow_();
    return false;
  }
 private:
  std::function<void()> onShow_;
};
}  // namespace

std::unique_ptr<TWindowHandle> TMemo::CreateHandle() {
  auto* edit = new TPlainTextWidget();
  auto* guard = new PasteGuard(edit, [edit](QPoint) { return edit->createStandardContextMenu(); });
  guard->Watch(edit->viewport());
  edit->setFrameShape(QFrame::StyledPanel);
  // Text starts 2 pixels in: the toolkit's 4 would leave a field one line high (22 pixels for a
  // 14-pixel face, the notes editor's title fields) too short for its characters' bottoms.
  edit->document()->setDocumentMargin(2);
  edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  edit->setFocusPolicy(Qt::ClickFocus);
  auto h = std::make_unique<TWindowHandle>(this, edit, true, edit->viewport());
  edit->viewport()->installEventFilter(h.get());
  edit->installEventFilter(new ShowWatcher(edit, [this] { GiveHeldText(); }));
  QObject::connect(edit, &QPlainTextEdit::textChanged, [this, edit] {
    if (syncing_) return;
    text_ = edit->toPlainText().toStdString();
    if (OnChange) Application->HandleExceptions([&] { OnChange(this); });
  });
  return h;
}

void TMemo::SetText(const std::string& v) {
  text_ = v;
  // Text is laid out in the memo's own font (once loaded), and only when the memo is shown or
  // asked about it: laying text out reads the font's outline of every character in it.
  textHeld_ = true;
  if (!FontHeld() && RawPlainEditOf(this)->isVisible()) GiveHeldText();
}

void TMemo::GiveHeldText() const {
  if (!textHeld_) return;
  textHeld_ = false;
  syncing_ = true;
  RawPlainEditOf(this)->setPlainText(QString::fromStdString(text_));
  syncing_ = false;
}

std::vector<std::string> TMemo::Lines() const {
  std::vector<std::string> lines;
  QTextDocument* d = TMemoAccess::Edit(this)->document();
  for (QTextBlock b = d->begin(); b.isValid(); b = b.next()) lines.push_back(b.text().toStdString());
  if (lines.size() == 1 && lines[0].empty()) lines.clear();
  return lines;
}

void TMemo::SetLines(const std::vector<std::string>& lines) {
  std::string joined;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i) joined += '\n';
    joined += lines[i];
  }
  SetText(joined);
}

bool TMemo::ReadOnly() const { return RawPlainEditOf(this)->isReadOnly(); }
void TMemo::SetReadOnly(bool v) { RawPlainEditOf(this)->setReadOnly(v); }
void TMemo::SetBorderStyle(TBorderStyle s) {
  borderStyle_ = s;
  RawPlainEditOf(this)->setFrameShape(s == TBorderStyle::bsNone ? QFrame::NoFrame : QFrame::StyledPanel);
}
void TMemo::SetScrollBars(TScrollStyle s) {
  auto* e = RawPlainEditOf(this);
  bool v = s == TScrollStyle::ssVertical || s == TScrollStyle::ssBoth;
  bool h = s == TScrollStyle::ssHorizontal || s == TScrollStyle::ssBoth;
  e->setVerticalScrollBarPolicy(v ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
  e->setHorizontalScrollBarPolicy(h ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}
void TMemo::SetWordWrap(bool v) {
  wordWrap_ = v;
  RawPlainEditOf(this)->setLineWrapMode(v ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}
void TMemo::SelectAll() { TMemoAccess::Edit(this)->selectAll(); }
void TMemo::SetSelection(int start, int length) {
  QPlainTextEdit* e = TMemoAccess::Edit(this);
  QTextCursor c(e->document());
  c.setPosition(start);
  c.setPosition(start + length, QTextCursor::KeepAnchor);
  e->setTextCursor(c);
}
int TMemo::SelLength() const {
  QTextCursor c = TMemoAccess::Edit(this)->textCursor();
  return c.selectionEnd() - c.selectionStart();
}
int TMemo::GetTextLen() const { return TMemoAccess::Edit(this)->document()->characterCount() - 1; }
bool TMemo::CanUndo() const { return TMemoAccess::Edit(this)->document()->isUndoAvailable(); }
void TMemo::CutToClipboard() { TMemoAccess::Edit(this)->cut(); }
void TMemo::CopyToClipboard() { TMemoAccess::Edit(this)->copy(); }
void TMemo::PasteFromClipboard() {
  if (ClipboardOffersData()) TMemoAccess::Edit(this)->paste();
}
void TMemo::ClearSelection() {
  if (!ReadOnly()) TMemoAccess::Edit(this)->textCursor().removeSelectedText();
}
void TMemo::Undo() { TMemoAccess::Edit(this)->undo(); }
void TMemo::FontChanged() {
  TWinControl::FontChanged();
  if (!FontHeld()) ApplyWidgetFont();
  ApplyBase(RawPlainEditOf(this), color_);
}

void TMemo::ApplyWidgetFont() {
  QPlainTextEdit* e = RawPlainEditOf(this);
  ApplyFont(e, font_);
  if (e->isVisible()) GiveHeldText();
}

void TMemo::WndProc(TMessage& m) {
  if (m.Msg == CM_COLORCHANGED) ApplyBase(RawPlainEditOf(this), color_);
  if (HandleEditMessage(m)) return;
  // Every key but Escape, which closes a modal window around the text.
  if (m.Msg == WM_GETDLGCODE) { m.Result = DLGC_WANTCHARS | DLGC_WANTARROWS | (m.WParam == VK_ESCAPE ? 0 : DLGC_WANTALLKEYS); return; }
  TWinControl::WndProc(m);
}

// ---------------------------------------------------------------------------------------------
// Rich text

static QTextEdit* RichOf(const TWinControl* c) {
  return c->Handle() ? static_cast<QTextEdit*>(c->Handle()->Widget()) : nullptr;
}

TRichEdit::TRichEdit(TComponent* owner) : TCustomEdit(owner) {
  width_ = 185;
  height_ = 89;
  color_ = clWindow;
  TabStop = true;
  InitHandle();
}

TRichEdit::~TRichEdit() { Destroying(); }

namespace {
// What the model keeps beside what the toolkit's formats show, as format properties.
constexpr int kFontNameProperty = QTextFormat::UserProperty;      // the font name as written
constexpr int kCharsetProperty = QTextFormat::UserProperty + 1;
constexpr int kAutoColorProperty = QTextFormat::UserProperty + 2;
constexpr int kCodePageProperty = QTextFormat::UserProperty + 3;
constexpr int kObjectProperty = QTextFormat::UserProperty + 4;    // an object run's RTF
constexpr int kRowProperty = QTextFormat::UserProperty + 5;       // a row's definition, on its last cell
constexpr int kFillerProperty = QTextFormat::UserProperty + 6;    // a block the toolkit needs beside a table

QTextCharFormat ToQFormat(const RichCharFormat& f, const TFont& base) {
  QTextCharFormat q;
  std::string face = f.FontName.empty() ? base.Name() : f.FontName;
  q.setFontFamilies(SubstituteFamilies(face));
  q.setProperty(kFontNameProperty, QString::fromStdString(face));
  q.setProperty(kCharsetProperty, f.Charset);
  if (f.CodePage > 0) q.setProperty(kCodePageProperty, f.CodePage);
  double pt = f.SizeHalfPoints > 0 ? f.SizeHalfPoints / 2.0 : std::abs(base.Height()) * 72.0 / 96.0;
  q.setFontPointSize(pt);
  q.setFontWeight(f.Bold ? QFont::Bold : QFont::Normal);
  q.setFontItalic(f.Italic);
  q.setFontUnderline(f.Underline);
  q.setFontStrikeOut(f.StrikeOut);
  TColor c = f.Color == clDefault ? base.Color() : f.Color;
  q.setForeground(ToQColor(c));
  if (f.Color == clDefault) q.setProperty(kAutoColorProperty, true);
  if (f.Highlight != clDefault && f.Highlight >= 0) q.setBackground(ToQColor(f.Highlight));
  if (f.VerticalAlign == RichVerticalAlign::Superscript) q.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
  if (f.VerticalAlign == RichVerticalAlign::Subscript) q.setVerticalAlignment(QTextCharFormat::AlignSubScript);
  if (!f.Link.empty()) {
    q.setAnchor(true);
    q.setAnchorHref(QString::fromStdString(f.Link));
  }
  return q;
}

// What a piece of text shows. Text typed where no format was ever set carries none of its own
// and shows in the control's font: that font's name and size are what it is saved with.
RichCharFormat FromQFormat(const QTextCharFormat& q, const TFont& base) {
  RichCharFormat f;
  QVariant name = q.property(kFontNameProperty);
  QStringList families = q.fontFamilies().toStringList();
  f.FontName = name.isValid() ? name.toString().toStdString()
               : families.isEmpty() ? base.Name() : families.first().toStdString();
  QVariant cs = q.property(kCharsetProperty);
  f.Charset = cs.isValid() ? cs.toInt() : kGb2312Charset;
  f.CodePage = q.property(kCodePageProperty).toInt();
  double pt = q.hasProperty(QTextFormat::FontPointSize) ? q.fontPointSize() : std::abs(base.Height()) * 72.0 / 96.0;
  f.SizeHalfPoints = static_cast<int>(std::lround(pt * 2));
  f.Bold = q.fontWeight() >= QFont::DemiBold;
  f.Italic = q.fontItalic();
  f.Underline = q.fontUnderline();
  f.StrikeOut = q.fontStrikeOut();
  if (q.property(kAutoColorProperty).toBool() || !q.hasProperty(QTextFormat::ForegroundBrush)) f.Color = clDefault;
  else f.Color = FromQRgb(q.foreground().color().rgb());
  if (q.hasProperty(QTextFormat::BackgroundBrush) && q.background().style() != Qt::NoBrush)
    f.Highlight = FromQRgb(q.background().color().rgb());
  if (q.verticalAlignment() == QTextCharFormat::AlignSuperScript) f.VerticalAlign = RichVerticalAlign::Superscript;
  if (q.verticalAlignment() == QTextCharFormat::AlignSubScript) f.VerticalAlign = RichVerticalAlign::Subscript;
  if (q.isAnchor() && !q.anchorHref().isEmpty()) f.Link = q.anchorHref().toStdString();
  return f;
}

// An object run as the toolkit shows it: its picture when it holds a PNG or JPEG of a sane size,
// otherwise a grey box of the object's size; the RTF rides along in the format.
constexpr int kMaxObjectSide = 4096;
constexpr qint64 kMaxObjectPixels = 2048 * 2048;

QImage ObjectPicture(const RtfPicture& pic) {
  if (pic.Type != RtfPicture::Kind::Png && pic.Type != RtfPicture::Kind::Jpeg) return {};
  QByteArray bytes = QByteArray::fromStdString(pic.Bytes);
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  QSize size = reader.size();
  if (!size.isValid() || size.isEmpty() || size.width() > kMaxObjectSide || size.height() > kMaxObjectSide ||
      static_cast<qint64>(size.width()) * size.height() > kMaxObjectPixels)
    return {};
  QImage img = reader.read();
  if (img.size() != size) return {};
  return img;
}

void InsertObject(QTextCursor& cur, const RichRun& r, const TFont& base) {
  static int serial = 0;
  RtfPicture pic = PictureOf(r.Object);
  QImage img = ObjectPicture(pic);
  double w = pic.WidthTwips / 15.0, h = pic.HeightTwips / 15.0;
  if (w <= 0 || h <= 0) {
    w = img.isNull() ? 32 : img.width();
    h = img.isNull() ? 32 : img.height();
  }
  w = std::min(w, 2000.0);
  h = std::min(h, 2000.0);
  if (img.isNull()) {
    img = QImage(std::max(1, static_cast<int>(w)), std::max(1, static_cast<int>(h)), QImage::Format_ARGB32);
    img.fill(QColor(0xE8, 0xE8, 0xE8));
    QPainter painter(&img);
    painter.setPen(QColor(0xA0, 0xA0, 0xA0));
    painter.drawRect(0, 0, img.width() - 1, img.height() - 1);
  }
  QString name = QStringLiteral("corvane-object:%1").arg(++serial);
  cur.document()->addResource(QTextDocument::ImageResource, QUrl(name), img);
  QTextImageFormat f;
  f.merge(ToQFormat(r.Format, base));
  f.setName(name);
  f.setWidth(w);
  f.setHeight(h);
  f.setProperty(kObjectProperty, QByteArray::fromStdString(r.Object));
  cur.insertText(QString(QChar::ObjectReplacementCharacter), f);
}

Qt::Alignment ToQAlign(TAlignment a) {
  return a == TAlignment::taCenter ? Qt::AlignHCenter : a == TAlignment::taRightJustify ? Qt::AlignRight : Qt::AlignLeft;
}
TAlignment FromQAlign(Qt::Alignment a) {
  if (a & Qt::AlignHCenter) return TAlignment::taCenter;
  if (a & Qt::AlignRight) return TAlignment::taRightJustify;
  return TAlignment::taLeftJustify;
}

QTextBlockFormat ToQBlock(const RichParagraph& p) {
  QTextBlockFormat bf;
  bf.setAlignment(ToQAlign(p.Alignment));
  bf.setTextIndent(p.FirstIndent / 15.0);
  bf.setLeftMargin(p.LeftIndent / 15.0);
  bf.setRightMargin(p.RightIndent / 15.0);
  if (p.SpaceBefore) bf.setTopMargin(p.SpaceBefore / 15.0);
  if (p.SpaceAfter) bf.setBottomMargin(p.SpaceAfter / 15.0);
  if (p.LineSpacing && p.LineSpacingMultiple) bf.setLineHeight(p.LineSpacing * 100.0 / 240.0, QTextBlockFormat::ProportionalHeight);
  else if (p.LineSpacing > 0) bf.setLineHeight(p.LineSpacing / 15.0, QTextBlockFormat::MinimumHeight);
  else if (p.LineSpacing < 0) bf.setLineHeight(-p.LineSpacing / 15.0, QTextBlockFormat::FixedHeight);
  return bf;
}

void ReadBlockFormat(const QTextBlockFormat& bf, RichParagraph& p) {
  p.Alignment = FromQAlign(bf.alignment());
  p.FirstIndent = static_cast<int>(std::lround(bf.textIndent() * 15));
  p.LeftIndent = static_cast<int>(std::lround(bf.leftMargin() * 15));
  p.RightIndent = static_cast<int>(std::lround(bf.rightMargin() * 15));
  p.SpaceBefore = static_cast<int>(std::lround(bf.topMargin() * 15));
  p.SpaceAfter = static_cast<int>(std::lround(bf.bottomMargin() * 15));
  switch (bf.lineHeightType()) {
    case QTextBlockFormat::ProportionalHeight:
      if (std::abs(bf.lineHeight() - 100.0) > 1e-6) {
        p.LineSpacing = static_cast<int>(std::lround(bf.lineHeight() * 240.0 / 100.0));
        p.LineSpacingMultiple = true;
      }
      break;
    case QTextBlockFormat::MinimumHeight: p.LineSpacing = static_cast<int>(std::lround(bf.lineHeight() * 15)); break;
    case QTextBlockFormat::FixedHeight: p.LineSpacing = -static_cast<int>(std::lround(bf.lineHeight() * 15)); break;
    default: break;
  }
}

// The column edges ("\cellxN", twips) of a row definition.
std::vector<int> CellEdges(const std::string& row) {
  std::vector<int> edges;
  for (size_t at = row.find("\\cellx"); at != std::string::npos; at = row.find("\\cellx", at + 1)) {
    size_t i = at + 6;
    bool negative = i < row.size() && row[i] == '-';
    if (negative) ++i;
    long v = 0;
    while (i < row.size() && row[i] >= '0' && row[i] <= '9' && v < 1000000) v = v * 10 + (row[i++] - '0');
    edges.push_back(static_cast<int>(negative ? -v : v));
  }
  return edges;
}

// The part [from, to) of a document. A paragraph whose break lies inside the range is followed
// by the next one (empty when the range ends there); a paragraph without text keeps the format
// of its mark as one empty run.
RichDocument DocumentOf(QTextDocument* d, int from, int to, const TFont& base) {
  RichDocument doc;
  for (QTextBlock b = d->findBlock(from); b.isValid() && b.position() <= to; b = b.next()) {
    // An empty block the toolkit keeps beside a table is no paragraph of the document.
    if (b.length() <= 1 && b.blockFormat().property(kFillerProperty).toBool()) continue;
    RichParagraph p;
    ReadBlockFormat(b.blockFormat(), p);
    if (auto* table = qobject_cast<QTextTable*>(QTextCursor(b).currentTable())) {
      QTextTableCell cell = table->cellAt(b.position());
      p.InTable = true;
      p.EndsCell = cell.lastCursorPosition().block() == b;
      // The last cell of a row holds the row's definition (a row shorter than the table ends in
      // a cell merged with the ones after it).
      if (p.EndsCell) p.RowDefinition = cell.format().property(kRowProperty).toString().toStdString();
      if (p.EndsCell && p.RowDefinition.empty() && cell.column() + cell.columnSpan() >= table->columns()) {
        p.RowDefinition = "\\trowd\\trgaph108";  // a row the program made: equal columns
        for (int c = 1; c <= table->columns(); ++c) p.RowDefinition += "\\cellx" + std::to_string(c * 9000 / table->columns());
      }
    }
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      QTextFragment frag = it.fragment();
      if (!frag.isValid()) continue;
      int start = std::max(from, frag.position()), end = std::min(to, frag.position() + frag.length());
      if (start >= end) continue;
      QTextCharFormat cf = frag.charFormat();
      QByteArray object = cf.property(kObjectProperty).toByteArray();
      if (!object.isEmpty()) {  // one object run per object character
        for (int i = start; i < end; ++i) AppendObject(p, object.toStdString(), FromQFormat(cf, base));
        continue;
      }
      QString t = frag.text().mid(start - frag.position(), end - start);
      t.replace(QChar::LineSeparator, QChar(0x2028));
      AppendText(p, t.toStdString(), FromQFormat(cf, base));
    }
    if (p.Runs.empty()) p.Runs.push_back(RichRun{std::string(), FromQFormat(b.charFormat(), base), {}});
    doc.Paragraphs.push_back(std::move(p));
  }
  doc.DefaultFont = RichFont{base.Name(), base.Charset()};
  return doc;
}

void InsertRuns(QTextCursor& cur, const RichParagraph& p, const TFont& base) {
  for (const RichRun& r : p.Runs) {
    if (!r.Object.empty()) {
      InsertObject(cur, r, base);
      continue;
    }
    QString text = QString::fromStdString(r.Text);
    text.replace(QChar(0x2028), QChar::LineSeparator);
    if (!text.isEmpty()) cur.insertText(text, ToQFormat(r.Format, base));
  }
}

QTextCharFormat MarkFormat(const RichParagraph& p, const TFont& base) {
  return ToQFormat(p.Runs.empty() ? RichCharFormat{} : p.Runs.front().Format, base);
}

// The table rows that start at paragraph `i`: rows of cells of paragraph numbers. A row ends with
// the paragraph that holds its definition, a cell with one that ends it; table paragraphs left
// over at the end make a last cell and row.
std::vector<std::vector<std::vector<size_t>>> TableAt(const std::vector<RichParagraph>& ps, size_t i) {
  std::vector<std::vector<std::vector<size_t>>> rows(1);
  std::vector<size_t> cell;
  for (; i < ps.size() && ps[i].InTable; ++i) {
    cell.push_back(i);
    if (!ps[i].EndsCell && i + 1 < ps.size() && ps[i + 1].InTable) continue;
    rows.back().push_back(std::move(cell));
    cell.clear();
    if (!ps[i].RowDefinition.empty() && i + 1 < ps.size() && ps[i + 1].InTable) rows.emplace_back();
  }
  return rows;
}

// Inserts the table starting at paragraph `i` at the cursor, which is left in the block after it;
// returns the paragraph after the table.
size_t InsertTable(QTextCursor& cur, const std::vector<RichParagraph>& ps, size_t i, const TFont& base) {
  auto rows = TableAt(ps, i);
  size_t columns = 0, count = 0;
  for (const auto& row : rows) {
    columns = std::max(columns, row.size());
    for (const auto& cell : row) count += cell.size();
  }
  QTextTableFormat tf;
  tf.setBorder(1);
  tf.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
  tf.setBorderCollapse(true);
  tf.setCellSpacing(0);
  tf.setCellPadding(3);
  std::vector<int> edges = CellEdges(ps[rows.front().back().back()].RowDefinition);
  if (edges.size() == columns) {
    QList<QTextLength> widths;
    int left = 0;
    for (int e : edges) {
      widths.append(QTextLength(QTextLength::FixedLength, std::clamp((e - left) / 15.0, 8.0, 2000.0)));
      left = e;
    }
    tf.setColumnWidthConstraints(widths);
  }
  QTextTable* table = cur.insertTable(static_cast<int>(rows.size()), static_cast<int>(columns), tf);
  for (size_t r = 0; r < rows.size(); ++r) {
    const auto& row = rows[r];
    int ri = static_cast<int>(r);
    if (row.size() < columns) table->mergeCells(ri, static_cast<int>(row.size()) - 1, 1, static_cast<int>(columns - row.size()) + 1);
    for (size_t c = 0; c < row.size(); ++c) {
      QTextTableCell cell = table->cellAt(ri, static_cast<int>(c));
      QTextCursor cc = cell.firstCursorPosition();
      bool first = true;
      for (size_t pi : row[c]) {
        if (first) {
          cc.setBlockFormat(ToQBlock(ps[pi]));
          cc.setBlockCharFormat(MarkFormat(ps[pi], base));
          first = false;
        } else {
          cc.insertBlock(ToQBlock(ps[pi]), MarkFormat(ps[pi], base));
        }
        InsertRuns(cc, ps[pi], base);
      }
      const std::string& def = ps[row[c].back()].RowDefinition;
      if (c + 1 == row.size() && !def.empty()) {
        QTextTableCellFormat f = cell.format().toTableCellFormat();
        f.setProperty(kRowProperty, QString::fromStdString(def));
        cell.setFormat(f);
      }
    }
  }
  cur = table->lastCursorPosition();
  cur.movePosition(QTextCursor::NextBlock);
  return i + count;
}

// Marks the block at the cursor as one the toolkit keeps beside a table: while it stays empty it
// is no paragraph of the document.
void MarkFiller(QTextCursor& cur) {
  QTextBlockFormat f = cur.blockFormat();
  f.setProperty(kFillerProperty, true);
  cur.setBlockFormat(f);
}

// Inserts a document at the cursor. Its first paragraph's text joins the paragraph at the
// cursor, which takes the first paragraph's layout only when it was empty or when the whole first
// paragraph (with its break) comes in at the start of it; every further paragraph begins a new one.
// Tables become the toolkit's tables (not inside a table: there their paragraphs come in as
// paragraphs of the cell); the paragraph after a table takes the block the toolkit puts there.
void InsertDocument(QTextCursor& cur, const RichDocument& doc, const TFont& base) {
  bool first = true, afterTable = false;
  const std::vector<RichParagraph>& ps = doc.Paragraphs;
  for (size_t i = 0; i < ps.size();) {
    const RichParagraph& p = ps[i];
    if (p.InTable && !cur.currentTable()) {
      if (first && cur.block().length() <= 1) MarkFiller(cur);  // the table goes after this block
      i = InsertTable(cur, ps, i, base);
      first = false;
      afterTable = true;
      continue;
    }
    if (first || afterTable) {
      if (afterTable || cur.block().length() <= 1 || (cur.atBlockStart() && ps.size() > 1)) {
        cur.setBlockFormat(ToQBlock(p));
        cur.setBlockCharFormat(MarkFormat(p, base));
      }
      first = afterTable = false;
    } else {
      cur.insertBlock(ToQBlock(p), MarkFormat(p, base));
    }
    InsertRuns(cur, p, base);
    ++i;
  }
  if (afterTable) MarkFiller(cur);
}

// The clipboard flavour the program's rich-text fields exchange formatted text in.
constexpr const char* kRtfMime = "text/rtf";

// The rich-text field: copying and cutting put the selection on the clipboard as RTF too, and a
// paste of RTF keeps its fonts, sizes, styles, colours and alignment; anything else comes in as
// plain text.
class TRichTextWidget : public QTextEdit {
 public:
  explicit TRichTextWidget(TRichEdit* owner) : owner_(owner) {}
 protected:
  QMimeData* createMimeDataFromSelection() const override {
    // The toolkit's own flavours (plain text and HTML for other programs) are copied out of its
    // mime data, which lists a fixed set of flavours only.
    std::unique_ptr<QMimeData> own(QTextEdit::createMimeDataFromSelection());
    auto* data = new QMimeData;
    if (own)
      for (const QString& format : own->formats()) data->setData(format, own->data(format));
    QTextCursor c = textCursor();
    if (c.hasSelection())
      data->setData(kRtfMime, QByteArray::fromStdString(
                                  WriteRtf(DocumentOf(document(), c.selectionStart(), c.selectionEnd(), owner_->Font()))));
    return data;
  }
  bool canInsertFromMimeData(const QMimeData* source) const override {
    return source->hasFormat(kRtfMime) || QTextEdit::canInsertFromMimeData(source);
  }
  void insertFromMimeData(const QMimeData* source) override {
    if (isReadOnly() || !source || source->formats().isEmpty()) return;
    if (wordWrapMode() != QTextOption::WrapAnywhere && LongestUnbrokenStretch(source->text().toStdString()) > kLongUnbrokenStretch)
      setWordWrapMode(QTextOption::WrapAnywhere);  // see FitWrapMode
    if (!source->hasFormat(kRtfMime)) {
      QTextEdit::insertFromMimeData(source);
      return;
    }
    RichDocument doc;
    try {
      doc = ReadRtf(source->data(kRtfMime).toStdString());
    } catch (const ERichTextTooLarge& e) {
      // Refused whole, with the error box saying why.
      Application->ShowException(ERichTextTooLarge(Format("Cannot paste: the text has %s", {e.what()})));
      return;
    }
    QTextCursor cur = textCursor();
    cur.beginEditBlock();
    cur.removeSelectedText();
    InsertDocument(cur, doc, owner_->Font());
    cur.endEditBlock();
    setTextCursor(cur);
    ensureCursorVisible();
  }
 private:
  TRichEdit* owner_;
};
}  // namespace

std::unique_ptr<TWindowHandle> TRichEdit::CreateHandle() {
  auto* edit = new TRichTextWidget(this);
  auto* guard = new PasteGuard(edit, [edit](QPoint at) {
    // The menu looks for a link under the pointer in document coordinates.
    return edit->createStandardContextMenu(at + QPoint(edit->horizontalScrollBar()->value(), edit->verticalScrollBar()->value()));
  });
  guard->Watch(edit->viewport());
  edit->setAcceptRichText(false);
  edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  edit->setFocusPolicy(Qt::ClickFocus);
  auto h = std::make_unique<TWindowHandle>(this, edit, true, edit->viewport());
  QObject::connect(edit, &QTextEdit::textChanged, [this] {
    if (OnChange) Application->HandleExceptions([&] { OnChange(this); });
  });
  return h;
}

// Wrapping at word boundaries where a word may be any length costs the toolkit time that grows
// with the square of the word; text with a stretch that long wraps anywhere instead.
static void FitWrapMode(QTextEdit* e, size_t longestStretch) {
  e->setWordWrapMode(longestStretch > kLongUnbrokenStretch ? QTextOption::WrapAnywhere
                                                           : QTextOption::WrapAtWordBoundaryOrAnywhere);
}

void TRichEdit::SetDocument(const RichDocument& doc) {
  QTextEdit* e = RichOf(this);
  QTextDocument* d = e->document();
  d->clear();
  // The layout breaks lines within a paragraph's whole text, whatever its runs.
  std::string text;
  for (const RichParagraph& p : doc.Paragraphs) {
    text += p.Text();
    text += '\n';
  }
  FitWrapMode(e, LongestUnbrokenStretch(text));
  QTextCursor cur(d);
  cur.beginEditBlock();
  InsertDocument(cur, doc, font_);
  cur.endEditBlock();
  d->clearUndoRedoStacks();
  d->setModified(false);
  e->moveCursor(QTextCursor::Start);
  text_ = d->toPlainText().toStdString();
  // A hidden control lays its content out when it is first shown. With the vertical scroll bar
  // shown as needed, that layout is made at the full width and made again, narrower, once the
  // text turns out to need the bar. Text with more paragraphs than the control has lines needs
  // it, so its first layout is made with the bar (the toolkit still takes the bar away, and lays
  // out again, should the text fit after all).
  if (!e->isVisible() && e->verticalScrollBarPolicy() == Qt::ScrollBarAsNeeded) {
    const int lines = std::max(1, e->height() / std::max(1, QFontMetrics(ToQFont(font_)).lineSpacing()));
    if (doc.Paragraphs.size() > static_cast<size_t>(lines)) e->verticalScrollBar()->setRange(0, 1);
  }
}

RichDocument TRichEdit::Document() const {
  QTextDocument* d = RichOf(this)->document();
  return DocumentOf(d, 0, d->characterCount() - 1, font_);
}

bool TRichEdit::Modified() const { return RichOf(this)->document()->isModified(); }
void TRichEdit::SetModified(bool v) { RichOf(this)->document()->setModified(v); }

void TRichEdit::LoadFromFile(const std::string& path) { SetDocument(LoadRichTextFile(path)); }
void TRichEdit::SaveToFile(const std::string& path) { SaveRichTextFile(path, Document()); }
std::string TRichEdit::PlainText() const { return RichOf(this)->toPlainText().toStdString(); }
void TRichEdit::SetText(const std::string& v) {
  RichCharFormat f;
  SetDocument(RichDocumentFromText(v, f));
  RichOf(this)->document()->setModified(true);
}

bool TRichEdit::ReadOnly() const { return RichOf(this)->isReadOnly(); }
void TRichEdit::SetReadOnly(bool v) {
  QTextEdit* e = RichOf(this);
  e->setReadOnly(v);
  // A read-only view still lets the user select and copy.
  e->setTextInteractionFlags(v ? Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard : Qt::TextEditorInteraction);
}
void TRichEdit::SetBorderStyle(TBorderStyle s) {
  borderStyle_ = s;
  RichOf(this)->setFrameShape(s == TBorderStyle::bsNone ? QFrame::NoFrame : QFrame::StyledPanel);
}
void TRichEdit::SetScrollBars(TScrollStyle s) {
  QTextEdit* e = RichOf(this);
  bool v = s == TScrollStyle::ssVertical || s == TScrollStyle::ssBoth;
  bool h = s == TScrollStyle::ssHorizontal || s == TScrollStyle::ssBoth;
  e->setVerticalScrollBarPolicy(v ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
  e->setHorizontalScrollBarPolicy(h ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
  e->setLineWrapMode(h ? QTextEdit::NoWrap : QTextEdit::WidgetWidth);
}
void TRichEdit::SelectAll() { RichOf(this)->selectAll(); }
void TRichEdit::SetSelection(int start, int length) {
  QTextEdit* e = RichOf(this);
  QTextCursor c(e->document());
  c.setPosition(start);
  c.setPosition(start + length, QTextCursor::KeepAnchor);
  e->setTextCursor(c);
}
int TRichEdit::SelStart() const { return RichOf(this)->textCursor().selectionStart(); }
int TRichEdit::SelLength() const {
  QTextCursor c = RichOf(this)->textCursor();
  return c.selectionEnd() - c.selectionStart();
}
int TRichEdit::GetTextLen() const { return RichOf(this)->document()->characterCount() - 1; }
std::string TRichEdit::SelText() const {
  QString s = RichOf(this)->textCursor().selectedText();
  s.replace(QChar::ParagraphSeparator, '\n');
  return s.toStdString();
}
void TRichEdit::CopyToClipboard() { RichOf(this)->copy(); }
void TRichEdit::CutToClipboard() { RichOf(this)->cut(); }
void TRichEdit::PasteFromClipboard() {
  if (ClipboardOffersData()) RichOf(this)->paste();
}
void TRichEdit::ClearSelection() {
  if (!ReadOnly()) RichOf(this)->textCursor().removeSelectedText();
}
void TRichEdit::Undo() { RichOf(this)->undo(); }
bool TRichEdit::CanUndo() const { return RichOf(this)->document()->isUndoAvailable(); }
bool TRichEdit::WrapsAnywhere() const { return RichOf(this)->wordWrapMode() == QTextOption::WrapAnywhere; }

int TRichEdit::ContentHeight() const {
  QTextDocument* d = RichOf(this)->document();
  d->pageCount();  // finishes the layout the widget may have left for later
  return static_cast<int>(d->documentLayout()->documentSize().height());
}
int TRichEdit::ScrollPosition() const { return RichOf(this)->verticalScrollBar()->value(); }
int TRichEdit::ScrollMaximum() const { return RichOf(this)->verticalScrollBar()->maximum(); }
void TRichEdit::SetScrollPosition(int pos) { RichOf(this)->verticalScrollBar()->setValue(pos); }
void TRichEdit::ScrollToPosition(int pos) {
  QTextEdit* e = RichOf(this);
  QTextDocument* d = e->document();
  d->pageCount();  // the whole layout, so the scroll range and the paragraph's place are known
  QTextCursor c(d);
  c.setPosition(std::clamp(pos, 0, std::max(0, d->characterCount() - 1)));
  e->setTextCursor(c);
  const QRectF block = d->documentLayout()->blockBoundingRect(c.block());
  e->verticalScrollBar()->setValue(static_cast<int>(block.top()));
}
bool TRichEdit::HasHorizontalScrollBar() const {
  return RichOf(this)->horizontalScrollBarPolicy() != Qt::ScrollBarAlwaysOff && RichOf(this)->horizontalScrollBar()->isVisible();
}

void TRichEdit::FontChanged() {
  TWinControl::FontChanged();
  if (!FontHeld()) ApplyWidgetFont();
  ApplyBase(RichOf(this), color_);
}

void TRichEdit::ApplyWidgetFont() {
  QTextEdit* e = RichOf(this);
  ApplyFont(e, font_);
  e->document()->setDefaultFont(ToQFont(font_));
}

void TRichEdit::WndProc(TMessage& m) {
  if (m.Msg == CM_COLORCHANGED) ApplyBase(RichOf(this), color_);
  if (HandleEditMessage(m)) return;
  if (m.Msg == WM_GETDLGCODE) {
    m.Result = DLGC_WANTCHARS | DLGC_WANTARROWS | (ReadOnly() || m.WParam == VK_ESCAPE ? 0 : DLGC_WANTALLKEYS);
    return;
  }
  TWinControl::WndProc(m);
}

// Selection attributes work on the editor's cursor: the selection, or the typing format.
static void MergeSelection(TRichEdit* r, const QTextCharFormat& f) {
  QTextEdit* e = RichOf(r);
  QTextCursor c = e->textCursor();
  if (c.hasSelection()) c.mergeCharFormat(f);
  e->mergeCurrentCharFormat(f);
}

static QTextCharFormat CurrentFormat(TRichEdit* r) {
  QTextEdit* e = RichOf(r);
  QTextCursor c = e->textCursor();
  if (c.hasSelection()) {
    QTextCursor probe(e->document());
    probe.setPosition(c.selectionStart() + 1);
    return probe.charFormat();
  }
  return e->currentCharFormat();
}

std::string TTextAttributes::Name() const {
  QTextCharFormat f = CurrentFormat(owner_);
  QVariant n = f.property(kFontNameProperty);
  if (n.isValid()) return n.toString().toStdString();
  return owner_->Font().Name();
}
void TTextAttributes::SetName(const std::string& name) {
  QTextCharFormat f;
  f.setFontFamilies(SubstituteFamilies(name));
  f.setProperty(kFontNameProperty, QString::fromStdString(name));
  f.setProperty(kCodePageProperty, 0);  // a font the user picks names no code page of its own
  MergeSelection(owner_, f);
}
TFontStyles TTextAttributes::Style() const {
  QTextCharFormat f = CurrentFormat(owner_);
  return (f.fontWeight() >= QFont::DemiBold ? fsBold : 0) | (f.fontItalic() ? fsItalic : 0) |
         (f.fontUnderline() ? fsUnderline : 0) | (f.fontStrikeOut() ? fsStrikeOut : 0);
}
void TTextAttributes::SetStyle(TFontStyles s) {
  QTextCharFormat f;
  f.setFontWeight((s & fsBold) ? QFont::Bold : QFont::Normal);
  f.setFontItalic(s & fsItalic);
  f.setFontUnderline(s & fsUnderline);
  f.setFontStrikeOut(s & fsStrikeOut);
  MergeSelection(owner_, f);
}
int TTextAttributes::Size() const {
  QTextCharFormat f = CurrentFormat(owner_);
  double pt = f.fontPointSize();
  if (pt <= 0) pt = std::abs(owner_->Font().Height()) * 72.0 / 96.0;
  return static_cast<int>(std::lround(pt));
}
void TTextAttributes::SetSize(int points) {
  // The control keeps sizes between 1 and 1638 points.
  QTextCharFormat f;
  f.setFontPointSize(std::clamp(points, 1, 1638));
  MergeSelection(owner_, f);
}
TColor TTextAttributes::Color() const {
  QTextCharFormat f = CurrentFormat(owner_);
  if (f.property(kAutoColorProperty).toBool() || !f.hasProperty(QTextFormat::ForegroundBrush))
    return ColorToRGB(owner_->Font().Color());
  return FromQRgb(f.foreground().color().rgb());
}
void TTextAttributes::SetColor(TColor c) {
  // The window-text colour is the automatic colour: it follows the control's font and is saved
  // as the automatic colour, not as a fixed one.
  bool automatic = c == clWindowText;
  QTextCharFormat f;
  f.setForeground(ToQColor(automatic ? owner_->Font().Color() : c));
  f.setProperty(kAutoColorProperty, automatic);
  MergeSelection(owner_, f);
}

TAlignment TParaAttributes::Alignment() const {
  return FromQAlign(RichOf(owner_)->textCursor().blockFormat().alignment());
}
void TParaAttributes::SetAlignment(TAlignment a) { RichOf(owner_)->setAlignment(ToQAlign(a)); }

}  // namespace corvane
