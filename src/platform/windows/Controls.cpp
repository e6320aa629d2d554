#include "platform/windows/Controls.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QScreen>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include <algorithm>

#include "platform/graphics/GraphicsPrivate.h"
#include "platform/windows/Forms.h"
#include "platform/windows/WindowHandle.h"
#include "platform/windows/X11Hints.h"

namespace corvane {

TPoint gLastPointer;
Qt::MouseButtons gButtonsDown = Qt::NoButton;

// ---------------------------------------------------------------------------------------------
// TControl

TControl::TControl(TComponent* owner) : TComponent(owner) {
  WindowProc = [this](TMessage& m) { WndProc(m); };
}

TControl::~TControl() {
  Destroying();
  if (Application) Application->ControlDestroyed(this);
  if (parent_) parent_->RemoveControl(this);
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  if (parent_) parent_->RemoveControl(this);
  if (parent) parent->InsertControl(this);
  if (parentFont_) ParentFontChanged();
  if (parentColor_) ParentColorChanged();
}

void TControl::SetBounds(int left, int top, int width, int height) {
  bool resized = width != width_ || height != height_;
  if (left == left_ && top == top_ && !resized) return;
  if (!windowed_ && parent_ && visible_) Invalidate();
  left_ = left; top_ = top; width_ = std::max(0, width); height_ = std::max(0, height);
  BoundsChanged();
  if (!windowed_ && parent_ && visible_) Invalidate();
  if (resized) Resize();
}

void TControl::SetClientSize(int width, int height) {
  TRect c = ClientRect();
  SetBounds(left_, top_, width_ + (width - c.Width()), height_ + (height - c.Height()));
}

TPoint TControl::ClientOrigin() const {
  if (!parent_) return {left_, top_};
  TPoint p = parent_->ClientOrigin();
  return {p.X + left_, p.Y + top_};
}

TPoint TControl::ClientToScreen(TPoint p) const {
  TPoint o = ClientOrigin();
  return {p.X + o.X, p.Y + o.Y};
}

TPoint TControl::ScreenToClient(TPoint p) const {
  TPoint o = ClientOrigin();
  return {p.X - o.X, p.Y - o.Y};
}

void TControl::SetVisible(bool v) {
  if (v == visible_) return;
  if (!v && parent_) Invalidate();
  visible_ = v;
  if (v && parent_) Invalidate();
  Perform(CM_VISIBLECHANGED, v, 0);
  if (!v && Application) {
    if (Application->MouseControl() == this) Application->SetMouseControl(nullptr);
    if (Application->CaptureControl() == this) Application->SetCaptureControl(nullptr);
  }
}

bool TControl::Showing() const { return visible_ && parent_ && parent_->Showing(); }

void TControl::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  Perform(CM_ENABLEDCHANGED, 0, 0);
  Invalidate();
}

void TControl::SetText(const std::string& v) {
  if (v == text_) return;
  text_ = v;
  Perform(CM_TEXTCHANGED, 0, 0);
  Invalidate();
}

void TControl::SetColor(TColor c) {
  if (c == color_ && !parentColor_) return;
  color_ = c;
  parentColor_ = false;
  Perform(CM_COLORCHANGED, 0, 0);
  if (auto* w = dynamic_cast<TWinControl*>(this))
    for (TControl* child : w->ControlList()) child->ParentColorChanged();
  Invalidate();
}

void TControl::SetParentFont(bool v) {
  parentFont_ = v;
  if (v) ParentFontChanged();
}

void TControl::SetParentColor(bool v) {
  parentColor_ = v;
  if (v) ParentColorChanged();
}

void TControl::ParentFontChanged() {
  if (!parentFont_ || !parent_) return;
  font_.OnChange = nullptr;
  font_.Assign(parent_->font_);
  font_.OnChange = [this](TObject*) { parentFont_ = false; FontChanged(); };
  FontChanged();
  parentFont_ = true;
}

void TControl::ParentColorChanged() {
  if (!parentColor_ || !parent_) return;
  color_ = parent_->color_;
  Invalidate();
}

void TControl::FontChanged() {
  Perform(CM_FONTCHANGED, 0, 0);
  if (auto* w = dynamic_cast<TWinControl*>(this))
    for (TControl* child : w->ControlList()) child->ParentFontChanged();
  Invalidate();
}

void TControl::SetCursor(TCursor c) { cursor_ = c; }

bool TControl::EffectiveShowHint() const {
  if (!ParentShowHint || !parent_) return ShowHint;
  return parent_->EffectiveShowHint();
}

LRESULT TControl::Perform(unsigned msg, WPARAM wParam, LPARAM lParam) {
  TMessage m{msg, wParam, lParam, 0};
  if (Application && Application->RunHooks(this, m)) return m.Result;
  WindowProc(m);
  return m.Result;
}

LRESULT SendMessage(TControl* control, unsigned msg, WPARAM wParam, LPARAM lParam) {
  return control ? control->Perform(msg, wParam, lParam) : 0;
}

static bool IsMouseMessage(unsigned m) { return m >= WM_MOUSEFIRST && m <= WM_MOUSELAST; }

void TControl::WndProc(TMessage& m) {
  if (IsMouseMessage(m.Msg)) {
    int x = LoWordSigned(m.LParam), y = HiWordSigned(m.LParam);
    TShiftState shift = ((m.WParam & MK_SHIFT) ? ssShift : 0) | ((m.WParam & MK_CONTROL) ? ssCtrl : 0) |
                        ((m.WParam & MK_LBUTTON) ? ssLeft : 0) | ((m.WParam & MK_RBUTTON) ? ssRight : 0) |
                        ((m.WParam & MK_MBUTTON) ? ssMiddle : 0);
    switch (m.Msg) {
      case WM_MOUSEMOVE: MouseMove(shift, x, y); break;
      case WM_LBUTTONDOWN: pressed_ = true; MouseDown(TMouseButton::mbLeft, shift, x, y); break;
      case WM_LBUTTONDBLCLK: pressed_ = true; DblClick(); MouseDown(TMouseButton::mbLeft, shift | ssDouble, x, y); break;
      case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK: MouseDown(TMouseButton::mbRight, shift, x, y); break;
      case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK: MouseDown(TMouseButton::mbMiddle, shift, x, y); break;
      case WM_LBUTTONUP: {
        bool clicked = pressed_;
        pressed_ = false;
        MouseUp(TMouseButton::mbLeft, shift, x, y);
        if (clicked && ClickOnRelease && ClientRect().Contains({x, y})) Click();
        break;
      }
      case WM_RBUTTONUP: MouseUp(TMouseButton::mbRight, shift, x, y); break;
      case WM_MBUTTONUP: MouseUp(TMouseButton::mbMiddle, shift, x, y); break;
      default: break;
    }
  } else if (m.Msg == CM_MOUSEENTER) {
    if (OnMouseEnter) OnMouseEnter(this);
  } else if (m.Msg == CM_MOUSELEAVE) {
    if (OnMouseLeave) OnMouseLeave(this);
  }
  DefaultHandler(m);
}

void TControl::DefaultHandler(TMessage& m) {
  if (m.Msg == CM_HITTEST) m.Result = HTCLIENT;  // the whole rectangle belongs to the control
}

void TControl::MouseDown(TMouseButton b, TShiftState s, int x, int y) { if (OnMouseDown) OnMouseDown(this, b, s, x, y); }
void TControl::MouseMove(TShiftState s, int x, int y) { if (OnMouseMove) OnMouseMove(this, s, x, y); }
void TControl::MouseUp(TMouseButton b, TShiftState s, int x, int y) { if (OnMouseUp) OnMouseUp(this, b, s, x, y); }
void TControl::DblClick() { if (OnDblClick) OnDblClick(this); }
void TControl::Click() { if (OnClick) OnClick(this); }
void TControl::Resize() { if (OnResize) OnResize(this); }

void TControl::Invalidate() {}
void TControl::Update() { if (parent_) parent_->Update(); }

void TControl::BringToFront() {
  if (!parent_) return;
  auto& v = parent_->controls_;
  v.erase(std::find(v.begin(), v.end(), this));
  if (windowed_) {
    v.push_back(this);
  } else {
    // Graphic controls stay beneath every windowed sibling.
    auto firstWin = std::find_if(v.begin(), v.end(), [](TControl* c) { return c->windowed_; });
    v.insert(firstWin, this);
  }
  parent_->RestackHandles();
  Invalidate();
}

void TControl::SendToBack() {
  if (!parent_) return;
  auto& v = parent_->controls_;
  v.erase(std::find(v.begin(), v.end(), this));
  if (windowed_) {
    auto firstWin = std::find_if(v.begin(), v.end(), [](TControl* c) { return c->windowed_; });
    v.insert(firstWin, this);
  } else {
    v.insert(v.begin(), this);
  }
  parent_->RestackHandles();
  Invalidate();
}

bool TControl::MouseCapture() const {
  if (!Application) return false;
  if (Application->CaptureControl() == this) return true;
  if (auto* w = dynamic_cast<const TWinControl*>(this))
    return w->Handle() && QWidget::mouseGrabber() == w->Handle()->InputWidget();
  return false;
}

void TControl::SetMouseCapture(bool capture) {
  if (!Application) return;
  if (capture) Application->SetCaptureControl(this);
  else if (Application->CaptureControl() == this) Application->SetCaptureControl(nullptr);
}

void ReleaseCapture() {
  if (Application) Application->SetCaptureControl(nullptr);
  if (QWidget* g = QWidget::mouseGrabber()) g->releaseMouse();
}

TForm* TControl::ParentForm() const {
  const TControl* c = this;
  while (c->parent_) c = c->parent_;
  return dynamic_cast<TForm*>(const_cast<TControl*>(c));
}

// ---------------------------------------------------------------------------------------------
// TGraphicControl

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner) {}
TGraphicControl::~TGraphicControl() { Destroying(); }

void TGraphicControl::Invalidate() {
  if (parent_ && visible_) parent_->Invalidate();
}

void TGraphicControl::PaintTo(TCanvas& canvas) {
  canvas_ = &canvas;
  canvas.Font().Assign(font_);
  Paint();
  canvas_ = nullptr;
}

TCanvas& TGraphicControl::Canvas() {
  if (!canvas_) throw EInvalidOperation("Canvas is only available while painting");
  return *canvas_;
}

// ---------------------------------------------------------------------------------------------
// TWinControl

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {
  windowed_ = true;
  color_ = clBtnFace;
}

TWinControl::~TWinControl() {
  Destroying();
  if (Application) Application->ControlDestroyed(this);
  // Children that are not owned by this control are unparented, owned ones go with the owner.
  while (!controls_.empty()) controls_.back()->SetParent(nullptr);
  if (parent_) parent_->RemoveControl(this);
  handle_.reset();
}

void TWinControl::InitHandle() {
  if (!handle_) handle_ = CreateHandle();
}

std::unique_ptr<TWindowHandle> TWinControl::CreateHandle() {
  auto* w = new TPaintWidget();
  auto h = std::make_unique<TWindowHandle>(this, w, false);
  w->handle = h.get();
  return h;
}

void TWinControl::InsertControl(TControl* c) {
  if (c->windowed_) {
    controls_.push_back(c);
  } else {
    auto firstWin = std::find_if(controls_.begin(), controls_.end(), [](TControl* x) { return x->windowed_; });
    controls_.insert(firstWin, c);
  }
  c->parent_ = this;
  if (auto* w = dynamic_cast<TWinControl*>(c)) {
    w->InitHandle();
    QWidget* parentWidget = (InitHandle(), handle_->Widget());
    QWidget* child = w->handle_->Widget();
    child->setParent(parentWidget);
    child->setWindowFlags(Qt::Widget);
    w->handle_->settingGeometry = true;
    child->setGeometry(ncMargins_.Left + w->left_, ncMargins_.Top + w->top_, w->width_, w->height_);
    w->handle_->settingGeometry = false;
    child->setVisible(w->visible_);
    RestackHandles();
  } else {
    Invalidate();
  }
}

void TWinControl::RemoveControl(TControl* c) {
  auto it = std::find(controls_.begin(), controls_.end(), c);
  if (it == controls_.end()) return;
  if (!c->windowed_) Invalidate();
  controls_.erase(it);
  c->parent_ = nullptr;
  if (auto* w = dynamic_cast<TWinControl*>(c)) {
    if (w->handle_ && w->handle_->Widget()) {
      w->handle_->Widget()->hide();
      w->handle_->Widget()->setParent(nullptr);
    }
    if (TForm* f = ParentForm(); f && f->ActiveControl() == w) f->FocusChanged(nullptr);
  }
}

void TWinControl::RestackHandles() {
  for (TControl* c : controls_)
    if (auto* w = dynamic_cast<TWinControl*>(c); w && w->handle_ && w->handle_->Widget()) w->handle_->Widget()->raise();
}

TControl* TWinControl::FindChildControl(const std::string& name) const {
  for (TControl* c : controls_)
    if (c->Name() == name) return c;
  return nullptr;
}

TControl* TWinControl::ControlAtPos(TPoint p, bool allowDisabled, bool allowWinControls) const {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    TControl* c = *it;
    if (c->windowed_ && !allowWinControls) continue;
    if (!c->visible_ || (!c->enabled_ && !allowDisabled)) continue;
    // A control may decline a point inside its rectangle by answering CM_HITTEST with 0.
    if (c->BoundsRect().Contains(p) && c->Perform(CM_HITTEST, 0, MakeLParam(p.X - c->left_, p.Y - c->top_)) != 0)
      return c;
  }
  return nullptr;
}

int TWinControl::TabOrder() const {
  if (!parent_) return -1;
  auto list = parent_->TabList();
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int order) { tabOrder_ = order; }

std::vector<TWinControl*> TWinControl::TabList() const {
  std::vector<TWinControl*> list;
  for (TControl* c : controls_)
    if (auto* w = dynamic_cast<TWinControl*>(c)) list.push_back(w);
  // Controls keep their creation order among equal tab orders; -1 goes last.
  std::stable_sort(list.begin(), list.end(), [](TWinControl* a, TWinControl* b) {
    int ta = a->tabOrder_ < 0 ? INT32_MAX : a->tabOrder_, tb = b->tabOrder_ < 0 ? INT32_MAX : b->tabOrder_;
    return ta < tb;
  });
  return list;
}

bool TWinControl::Focused() const {
  TForm* f = ParentForm();
  return f && f->ActiveControl() == this;
}

bool TWinControl::CanFocus() const {
  for (const TControl* c = this; c; c = c->parent_)
    if (!c->visible_ || !c->enabled_) return false;
  return true;
}

void TWinControl::SetFocus() {
  TForm* f = ParentForm();
  if (!f) return;
  if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  f->SetActiveControl(this);
}

static void CollectTabOrder(const TWinControl* parent, std::vector<TWinControl*>& out) {
  for (TWinControl* w : parent->TabList()) {
    out.push_back(w);
    CollectTabOrder(w, out);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool forward, bool checkTabStop, bool checkParent) const {
  std::vector<TWinControl*> list;
  CollectTabOrder(this, list);
  if (list.empty()) return nullptr;
  auto it = std::find(list.begin(), list.end(), current);
  int n = static_cast<int>(list.size());
  int start = it == list.end() ? (forward ? n - 1 : 0) : static_cast<int>(it - list.begin());
  int i = start;
  for (int step = 0; step < n; ++step) {
    i = forward ? (i + 1) % n : (i - 1 + n) % n;
    TWinControl* c = list[i];
    if (c == current) break;
    if ((!checkTabStop || c->TabStop) && (!checkParent || c->parent_ == this) && c->CanFocus() &&
        c->Perform(CM_WANTSPECIALKEY, 0, 0) == 0 && c->ControlCount() == 0)
      return c;
  }
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool forward, bool checkTabStop) {
  if (TWinControl* next = FindNextControl(current, forward, checkTabStop, false)) next->SetFocus();
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
  const bool resized = width != width_ || height != height_;
  TControl::SetBounds(left, top, width, height);
  if (handle_ && handle_->Widget() && !handle_->settingGeometry) {
    handle_->settingGeometry = true;
    QWidget* w = handle_->Widget();
    if (parent_) {
      w->setGeometry(parent_->ncMargins_.Left + left_, parent_->ncMargins_.Top + top_, width_, height_);
    } else {
      handle_->PlacedAt(left_, top_);
      w->setGeometry(left_, top_, width_, height_);
    }
    handle_->settingGeometry = false;
  }
  if (resized && !parent_ && handle_) WindowResized();
}

void TWinControl::WindowResized() {
  // A top-level window asks for its frame again at every new size, then hears of the new client
  // size.
  RecalcNonClient();
  TRect c = ClientRect();
  Perform(WM_SIZE, 0, MakeLParam(c.Width(), c.Height()));
}

void TWinControl::SetVisible(bool v) {
  if (v == visible_) return;
  TControl::SetVisible(v);
  if (parent_ && handle_ && handle_->Widget()) handle_->Widget()->setVisible(v);
  if (!v) {
    if (TForm* f = ParentForm(); f && f->ActiveControl() && f != this) {
      for (TControl* c = f->ActiveControl(); c; c = c->parent_)
        if (c == this) { f->FocusChanged(nullptr); break; }
    }
  }
}

void TWinControl::SetEnabled(bool v) {
  TControl::SetEnabled(v);
  if (handle_ && handle_->Widget() && parent_) handle_->Widget()->setEnabled(v);
}

void TWinControl::SetCursor(TCursor c) {
  TControl::SetCursor(c);
}

void TWinControl::Invalidate() {
  if (handle_ && handle_->Widget()) handle_->Widget()->update();
}

void TWinControl::Update() {
  if (handle_ && handle_->Widget()) handle_->Widget()->repaint();
}

TPoint TWinControl::ClientOrigin() const {
  if (!parent_) return {left_ + ncMargins_.Left, top_ + ncMargins_.Top};
  TPoint p = parent_->ClientOrigin();
  return {p.X + left_ + ncMargins_.Left, p.Y + top_ + ncMargins_.Top};
}

TRect TWinControl::ClientRect() const {
  return {0, 0, std::max(0, width_ - ncMargins_.Left - ncMargins_.Right),
          std::max(0, height_ - ncMargins_.Top - ncMargins_.Bottom)};
}

TRect TWinControl::WindowRect() const {
  TPoint o = ClientOrigin();
  return Bounds(o.X - ncMargins_.Left, o.Y - ncMargins_.Top, width_, height_);
}

void TWinControl::RecalcNonClient() {
  TRect r(0, 0, width_, height_);
  TMessage m{WM_NCCALCSIZE, 0, reinterpret_cast<LPARAM>(&r), 0};
  WindowProc(m);
  ncMargins_ = {r.Left, r.Top, width_ - r.Right, height_ - r.Bottom};
  for (TControl* c : controls_)
    if (auto* w = dynamic_cast<TWinControl*>(c); w && w->handle_ && w->handle_->Widget())
      w->handle_->Widget()->move(ncMargins_.Left + w->left_, ncMargins_.Top + w->top_);
  Invalidate();
}

void TWinControl::InvalidateNonClient() { Invalidate(); }

void TWinControl::ScaleChildren(int m, int d) {
  for (TControl* c : controls_) {
    c->SetBounds(MulDiv(c->left_, m, d), MulDiv(c->top_, m, d), MulDiv(c->width_, m, d), MulDiv(c->height_, m, d));
    if (!c->parentFont_) {
      bool keep = c->parentFont_;
      c->font_.SetHeight(MulDiv(c->font_.Height(), m, d));
      c->parentFont_ = keep;
    }
    if (auto* w = dynamic_cast<TWinControl*>(c)) w->ScaleChildren(m, d);
  }
}

void TWinControl::PaintControls(TCanvas& canvas) {
  for (TControl* c : controls_) {
    if (c->windowed_ || !c->visible_) continue;
    auto* g = static_cast<TGraphicControl*>(c);
    canvas.SaveState();
    canvas.SetOrigin(c->left_, c->top_);
    canvas.IntersectClip(TRect(0, 0, c->width_, c->height_));
    g->PaintTo(canvas);
    canvas.RestoreState();
  }
}

void TWinControl::PaintTo(TCanvas& canvas) {
  canvas.SaveState();
  TMessage erase{WM_ERASEBKGND, reinterpret_cast<WPARAM>(&canvas), 0, 0};
  WindowProc(erase);
  TMessage paint{WM_PAINT, reinterpret_cast<WPARAM>(&canvas), 0, 0};
  WindowProc(paint);
  canvas.RestoreState();
}

void TWinControl::PaintWindow(TCanvas& canvas) {
  canvas.Brush().Color = color_;
  canvas.Brush().Style = TBrushStyle::bsSolid;
  canvas.FillRect(ClientRect());
}

uint32_t TWinControl::GetWindowLong(int index) const {
  return index == GWL_STYLE ? style_ | (visible_ ? WS_VISIBLE : 0) | (enabled_ ? 0 : WS_DISABLED) : exStyle_;
}

void TWinControl::SetWindowLong(int index, uint32_t value) {
  if (index == GWL_STYLE) {
    style_ = value & ~(WS_VISIBLE | WS_DISABLED);
    return;
  }
  uint32_t old = exStyle_;
  exStyle_ = value;
  if (!handle_ || !handle_->Widget() || parent_) return;
  QWidget* w = handle_->Widget();
  if ((old ^ value) & WS_EX_LAYERED) w->setWindowOpacity((value & WS_EX_LAYERED) ? alpha_ / 255.0 : 1.0);
  if ((old ^ value) & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE)) {
    bool shown = w->isVisible();
    Qt::WindowFlags f = Qt::Window | Qt::FramelessWindowHint;
    if (value & WS_EX_TOPMOST) f |= Qt::WindowStaysOnTopHint;
    if (value & WS_EX_TOOLWINDOW) f |= Qt::Tool;
    if (value & WS_EX_NOACTIVATE) f |= Qt::WindowDoesNotAcceptFocus;
    w->setWindowFlags(f);
    w->setAttribute(Qt::WA_ShowWithoutActivating, value & WS_EX_NOACTIVATE);
    if (shown) w->show();
  }
}

namespace {
// A region from any list of rectangles (overlapping or not, in any order), built in one go: the
// rectangles are cut into rows, each row's spans sorted and merged, and equal neighbouring rows
// joined into bands, which is the form the toolkit takes without merging rectangle by rectangle.
QRegion BandedRegion(const std::vector<TRect>& rects) {
  int top = INT32_MAX, bottom = INT32_MIN;
  for (const TRect& r : rects)
    if (!r.IsEmpty()) { top = std::min(top, r.Top); bottom = std::max(bottom, r.Bottom); }
  if (top >= bottom) return {};
  std::vector<std::vector<std::pair<int, int>>> rows(static_cast<size_t>(bottom - top));
  for (const TRect& r : rects)
    if (!r.IsEmpty())
      for (int y = r.Top; y < r.Bottom; ++y) rows[static_cast<size_t>(y - top)].emplace_back(r.Left, r.Right);
  for (auto& row : rows) {
    std::sort(row.begin(), row.end());
    std::vector<std::pair<int, int>> merged;
    for (const auto& span : row) {
      if (!merged.empty() && span.first <= merged.back().second) merged.back().second = std::max(merged.back().second, span.second);
      else merged.push_back(span);
    }
    row.swap(merged);
  }
  std::vector<QRect> banded;
  for (size_t y = 0; y < rows.size();) {
    size_t end = y + 1;
    while (end < rows.size() && rows[end] == rows[y]) ++end;
    for (const auto& [l, r] : rows[y]) banded.emplace_back(l, top + static_cast<int>(y), r - l, static_cast<int>(end - y));
    y = end;
  }
  QRegion q;
  q.setRects(banded.data(), static_cast<int>(banded.size()));
  return q;
}
}  // namespace

void TWinControl::SetWindowRegion(const TRegion* region) {
  region_ = region ? std::make_unique<TRegion>(*region) : nullptr;
  if (!handle_ || !handle_->Widget()) return;
  if (!region) { handle_->Widget()->clearMask(); return; }
  handle_->Widget()->setMask(BandedRegion(region->Rects()));
}

void TWinControl::SetLayeredAlpha(int alpha) {
  alpha_ = std::clamp(alpha, 0, 255);
  if (handle_ && handle_->Widget() && (exStyle_ & WS_EX_LAYERED)) handle_->Widget()->setWindowOpacity(alpha_ / 255.0);
}

void TWinControl::SetTimer(uintptr_t id, int ms) { if (handle_) handle_->SetTimer(id, ms); }
void TWinControl::KillTimer(uintptr_t id) { if (handle_) handle_->KillTimer(id); }

void TWinControl::WndProc(TMessage& m) {
  if (IsMouseMessage(m.Msg) && m.Msg != WM_MOUSEWHEEL) {
    // Hand the mouse to the graphic child under the point (or the one holding the capture).
    TPoint p(LoWordSigned(m.LParam), HiWordSigned(m.LParam));
    TControl* target = nullptr;
    TControl* cap = Application ? Application->CaptureControl() : nullptr;
    if (cap && !cap->windowed_ && cap->parent_ == this) target = cap;
    else if (!cap) target = ControlAtPos(p, false);
    if (target) {
      if (Application) {
        if (m.Msg != WM_LBUTTONUP && m.Msg != WM_RBUTTONUP && m.Msg != WM_MBUTTONUP && !cap) Application->SetMouseControl(target);
        if (m.Msg == WM_LBUTTONDOWN || m.Msg == WM_RBUTTONDOWN || m.Msg == WM_MBUTTONDOWN || m.Msg == WM_LBUTTONDBLCLK)
          Application->SetCaptureControl(target);
      }
      TMessage fwd{m.Msg, m.WParam, MakeLParam(p.X - target->left_, p.Y - target->top_), 0};
      // The release ends the capture even when the control's handler fails (a click whose
      // handler raises must not leave the next click going to the same control).
      auto endCapture = [&] {
        if ((m.Msg == WM_LBUTTONUP || m.Msg == WM_RBUTTONUP || m.Msg == WM_MBUTTONUP) && Application &&
            Application->CaptureControl() == target)
          Application->SetCaptureControl(nullptr);
      };
      try {
        target->WindowProc(fwd);
      } catch (...) {
        endCapture();
        throw;
      }
      endCapture();
      m.Result = fwd.Result;
      return;
    }
    if (Application && !cap && m.Msg == WM_MOUSEMOVE) Application->SetMouseControl(this);
  }
  switch (m.Msg) {
    case WM_KEYDOWN: case WM_SYSKEYDOWN: {
      // Keys without a virtual-key code arrive as 0: only a handler that turns a key into 0
      // swallows it, so such keys still reach the control (and become characters).
      int key = static_cast<int>(m.WParam);
      KeyDown(key, static_cast<TShiftState>(m.LParam));
      if (key == 0 && m.WParam != 0) { m.Result = 1; return; }
      m.WParam = static_cast<WPARAM>(key);
      break;
    }
    case WM_KEYUP: case WM_SYSKEYUP: {
      int key = static_cast<int>(m.WParam);
      KeyUp(key, static_cast<TShiftState>(m.LParam));
      if (key == 0 && m.WParam != 0) { m.Result = 1; return; }
      break;
    }
    case WM_CHAR: {
      char32_t ch = static_cast<char32_t>(m.WParam);
      KeyPress(ch);
      if (ch == 0) { m.Result = 1; return; }
      m.WParam = ch;
      break;
    }
    case CM_ENTER: DoEnter(); break;
    case CM_EXIT: DoExit(); break;
    default: break;
  }
  TControl::WndProc(m);
}

void TWinControl::KeyDown(int& key, TShiftState shift) { if (OnKeyDown) OnKeyDown(this, key, shift); }
void TWinControl::KeyUp(int& key, TShiftState shift) { if (OnKeyUp) OnKeyUp(this, key, shift); }
void TWinControl::KeyPress(char32_t& key) { if (OnKeyPress) OnKeyPress(this, key); }
void TWinControl::DoEnter() { if (OnEnter) OnEnter(this); }
void TWinControl::DoExit() { if (OnExit) OnExit(this); }

bool TWinControl::BroadcastDialogKey(TMessage& m) {
  for (TControl* c : controls_) {
    if (!c->visible_ || !c->enabled_) continue;
    TMessage copy = m;
    c->WindowProc(copy);
    if (copy.Result != 0) { m.Result = copy.Result; return true; }
  }
  return false;
}

void TWinControl::DefaultHandler(TMessage& m) {
  switch (m.Msg) {
    case WM_PAINT: {
      auto* canvas = reinterpret_cast<TCanvas*>(m.WParam);
      if (canvas) {
        PaintWindow(*canvas);
        PaintControls(*canvas);
      }
      return;
    }
    case WM_ERASEBKGND: m.Result = 1; return;
    case WM_NCHITTEST: case CM_HITTEST: m.Result = HTCLIENT; return;
    case WM_NCCALCSIZE: return;  // no frame: the client area is the whole window
    case WM_GETDLGCODE: m.Result = 0; return;
    case WM_KEYDOWN: case WM_SYSKEYDOWN:
      // F10 and Alt+Space ask the window for its menu (the system command SC_KEYMENU).
      if ((m.Msg == WM_KEYDOWN && m.WParam == VK_F10 && m.LParam == 0) || (m.Msg == WM_SYSKEYDOWN && m.WParam == VK_SPACE)) {
        if (TForm* f = ParentForm()) f->Perform(WM_SYSCOMMAND, SC_KEYMENU, m.WParam == VK_SPACE ? ' ' : 0);
        return;
      }
      // Alt+F4 closes the window the key was typed in.
      if (m.Msg == WM_SYSKEYDOWN && m.WParam == static_cast<WPARAM>(VK_F4) &&
          (static_cast<TShiftState>(m.LParam) & (ssAlt | ssCtrl | ssShift)) == ssAlt) {
        TControl* top = this;
        while (top->Parent()) top = top->Parent();
        top->Perform(WM_SYSCOMMAND, SC_CLOSE, 0);
        return;
      }
      break;
    case CM_DIALOGKEY: case CM_DIALOGCHAR: BroadcastDialogKey(m); return;
    case WM_SETCURSOR:
      // A top-level window shows the sizing pointers over its sizing borders and the arrow
      // elsewhere.
      if (!parent_ && handle_ && handle_->Widget()) {
        const int hit = LoWordSigned(m.LParam);
        static const Qt::CursorShape kSizing[] = {Qt::SizeHorCursor,   Qt::SizeHorCursor,  Qt::SizeVerCursor,
                                                  Qt::SizeFDiagCursor, Qt::SizeBDiagCursor, Qt::SizeVerCursor,
                                                  Qt::SizeBDiagCursor, Qt::SizeFDiagCursor};
        QWidget* w = handle_->Widget();
        if (hit >= HTLEFT && hit <= HTBOTTOMRIGHT) w->setCursor(kSizing[hit - HTLEFT]);
        else if (w->testAttribute(Qt::WA_SetCursor)) w->unsetCursor();
      }
      return;
    case WM_TIMER: return;
    default: break;
  }
  if (handle_ && handle_->CurrentEvent()) handle_->PassToNative();
}

// ---------------------------------------------------------------------------------------------
// TCustomControl

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner) {}

void TCustomControl::PaintWindow(TCanvas& canvas) {
  canvas_ = &canvas;
  canvas.Font().Assign(font_);
  canvas.Brush().Color = color_;
  canvas.Brush().Style = TBrushStyle::bsSolid;
  Paint();
  canvas_ = nullptr;
}

TCanvas& TCustomControl::Canvas() {
  if (!canvas_) throw EInvalidOperation("Canvas is only available while painting");
  return *canvas_;
}

// ---------------------------------------------------------------------------------------------
// Helpers

void PostMessage(TWinControl* control, unsigned msg, WPARAM wParam, LPARAM lParam) {
  if (!control || !control->Handle()) return;
  QPointer<QWidget> guard = control->Handle()->Widget();
  QTimer::singleShot(0, qApp, [guard, control, msg, wParam, lParam] {
    if (!guard) return;
    Application->HandleExceptions([&] { control->Perform(msg, wParam, lParam); });
  });
}

void PostCall(std::function<void()> fn) {
  QTimer::singleShot(0, qApp, [fn = std::move(fn)] { Application->HandleExceptions(fn); });
}

TPoint GetCursorPos() { return gLastPointer; }

TWinControl* FindWindowAtScreen(TPoint p) {
  if (!Screen) return nullptr;
  // Pop-ups lie above every form.
  for (TPopupWindow* popup : TPopupWindow::ShownWindows()) {
    if (!popup->Showing()) continue;
    TRect r = popup->WindowRect();
    if (!r.Contains(p)) continue;
    QRegion mask = popup->Handle()->Widget()->mask();
    if (!mask.isEmpty() && !mask.contains(QPoint(p.X - r.Left, p.Y - r.Top))) continue;
    return popup;
  }
  for (TForm* f : Screen->ZOrder()) {
    if (!f->Showing() || !f->Handle() || !f->Handle()->Widget()) continue;
    QWidget* w = f->Handle()->Widget();
    if (w->isMinimized()) continue;
    TRect r = f->WindowRect();
    if (!r.Contains(p)) continue;
    QRegion mask = w->mask();
    if (!mask.isEmpty() && !mask.contains(QPoint(p.X - r.Left, p.Y - r.Top))) continue;
    return f;
  }
  return nullptr;
}

TControl* FindControlAtScreen(TPoint p) {
  TWinControl* w = FindWindowAtScreen(p);
  if (!w) return nullptr;
  for (;;) {
    TPoint local = w->ScreenToClient(p);
    TControl* c = w->ControlAtPos(local, true, true);
    if (!c) return w;
    auto* child = dynamic_cast<TWinControl*>(c);
    if (!child) return c;
    w = child;
  }
}

uint64_t NativeWindowId(const TWinControl* control) {
  if (!control || !control->Handle() || !control->Handle()->Widget()) return 0;
  return static_cast<uint64_t>(control->Handle()->Widget()->winId());
}

bool GrabScreen(const TRect& area, TBitmap& out) {
  QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return false;
  QImage shot = screen->grabWindow(0, area.Left, area.Top, area.Width(), area.Height()).toImage();
  if (shot.isNull()) return false;
  ImageOf(out) = shot.convertToFormat(QImage::Format_RGB32);
  return true;
}

int gWindowOpacitySeam = -1;

bool WindowOpacityAvailable() { return gWindowOpacitySeam >= 0 ? gWindowOpacitySeam == 1 : CompositingManagerRunning(); }

std::string ClipboardText() { return QApplication::clipboard()->text().toStdString(); }
void SetClipboardText(const std::string& text) { QApplication::clipboard()->setText(QString::fromStdString(text)); }

}  // namespace corvane
