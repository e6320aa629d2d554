#include "platform/windows/Hints.h"

#include <QTimer>
#include <QWidget>

#include "platform/windows/Forms.h"
#include "platform/windows/WindowHandle.h"

namespace corvane {

std::string GetShortHint(const std::string& hint) { return hint.substr(0, hint.find('|')); }

std::string GetLongHint(const std::string& hint) {
  size_t bar = hint.find('|');
  return bar == std::string::npos ? hint : hint.substr(bar + 1);
}

int CursorHeightMargin() { return 20; }

// ---------------------------------------------------------------------------------------------
// THintWindow

THintWindow::THintWindow(TComponent* owner) : TCustomControl(owner) {
  visible_ = false;
  style_ = WS_POPUP | WS_BORDER;
  exStyle_ = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
  color_ = Application ? Application->HintColor : clInfoBk;
  parentFont_ = false;
  font_.SetColor(clInfoText);
  InitHandle();
  // A tool tip window: placed exactly where asked, above the others, never focused and never in
  // the way of the pointer.
  QWidget* w = handle_->Widget();
  w->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus |
                    Qt::WindowTransparentForInput);
  w->setAttribute(Qt::WA_ShowWithoutActivating);
  w->setAttribute(Qt::WA_TransparentForMouseEvents);
  RecalcNonClient();
}

THintWindow::~THintWindow() { Destroying(); }

void THintWindow::SetVisible(bool v) {
  if (v == visible_) return;
  TControl::SetVisible(v);
  QWidget* w = handle_->Widget();
  if (!v) {
    w->hide();
    return;
  }
  handle_->ShowOnTop();
}

bool THintWindow::Showing() const { return visible_ && handle_->Widget()->isVisible(); }

void THintWindow::ShowAt(TPoint topLeft) {
  RecalcNonClient();  // the border style may have changed since the last time
  SetBounds(topLeft.X, topLeft.Y, width_, height_);
  if (visible_) handle_->Widget()->raise();
  SetVisible(true);
  Invalidate();
}

TRect THintWindow::CalcHintRect(int maxWidth, const std::string& text) {
  TBitmap scratch(1, 1);
  scratch.Canvas().Font().Assign(font_);
  TRect r(0, 0, maxWidth, 0);
  scratch.Canvas().DrawText(text, r, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  // Two pixels of margin around the text, and the border.
  int frame = (style_ & WS_BORDER) ? 1 : 0;
  r.Right += 4 + 2 * frame;
  r.Bottom += 4 + 2 * frame;
  return r;
}

void THintWindow::ActivateHint(TRect rect, const std::string& text) {
  SetCaption(text);
  // Keep the whole window on the screen.
  const int sw = Screen->Width(), sh = Screen->Height();
  if (rect.Right > sw) rect = rect.Offset(sw - rect.Right, 0);
  if (rect.Bottom > sh) rect = rect.Offset(0, sh - rect.Bottom);
  if (rect.Left < 0) rect = rect.Offset(-rect.Left, 0);
  if (rect.Top < 0) rect = rect.Offset(0, -rect.Top);
  SetBounds(rect.Left, rect.Top, rect.Width(), rect.Height());
  ShowAt(rect.TopLeft());
}

void THintWindow::DefaultHandler(TMessage& m) {
  switch (m.Msg) {
    case WM_NCCALCSIZE:
      if (style_ & WS_BORDER) {
        auto* r = reinterpret_cast<TRect*>(m.LParam);
        *r = TRect(r->Left + 1, r->Top + 1, r->Right - 1, r->Bottom - 1);
      }
      return;
    case WM_NCPAINT:
      if (style_ & WS_BORDER) {
        auto* canvas = reinterpret_cast<TCanvas*>(m.WParam);
        canvas->Brush().Color = clWindowFrame;
        canvas->FrameRect(TRect(0, 0, width_, height_));
      }
      return;
    default:
      TCustomControl::DefaultHandler(m);
  }
}

void THintWindow::Paint() {
  TCanvas& c = Canvas();
  TRect r = ClientRect();
  c.FillRect(r);
  r = TRect(r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2);
  c.Brush().Style = TBrushStyle::bsClear;
  c.DrawText(Caption(), r, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
}

// ---------------------------------------------------------------------------------------------
// The application's hint cycle

namespace {

// The control whose hint applies: the nearest one, from the control under the pointer up its
// parents, that shows hints.
TControl* HintControlOf(TControl* c) {
  for (; c; c = c->Parent())
    if (c->EffectiveShowHint()) return c->IsDesigning() ? nullptr : c;
  return nullptr;
}

TRect ScreenRect(const TControl* c, const TRect& client) {
  TPoint o = c->ClientToScreen({0, 0});
  return client.Offset(o.X, o.Y);
}

}  // namespace

struct TApplication::HintState {
  enum class Next { Show, Hide };

  explicit HintState(TApplication& app) : app(app) {
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [this] {
      this->app.HandleExceptions([this] {
        if (next == Next::Show) ShowNow(GetCursorPos());
        else Hide();
      });
    });
  }

  // Hides the window and stops the timer; the control stays, so resting on it shows nothing new.
  void Hide() {
    timer.stop();
    showing = false;
    if (window) window->Hide();
  }

  void Start(Next what, int ms) {
    next = what;
    timer.start(std::max(0, ms));
  }

  // The hint window, remade when another class is asked for.
  THintWindow* Window(THintWindowClass cls) {
    if (window && windowMadeBy == cls) return window;
    DropWindow();
    window = cls(&app);
    windowMadeBy = cls;
    return window;
  }

  void DropWindow() {
    THintWindow* old = window;
    window = nullptr;
    windowMadeBy = nullptr;
    showing = false;
    delete old;
  }

  void ShowNow(TPoint cursor) {
    TControl* c = control;
    if (!c || !app.showHint_) return;
    THintInfo info;
    info.HintControl = c;
    info.HintWindowClass = windowClass;
    info.HintPos = {cursor.X, cursor.Y + CursorHeightMargin()};
    info.HintMaxWidth = Screen->Width();
    info.HintColor = app.HintColor;
    info.CursorRect = c->ClientRect();
    info.CursorPos = c->ScreenToClient(cursor);
    info.HideTimeout = app.HintHidePause;
    info.HintStr = GetShortHint(c->Hint);
    bool canShow = c->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)) == 0;
    if (canShow && onShowHint) {
      TShowHintEvent handler = onShowHint;  // the handler may replace itself
      handler(info.HintStr, canShow, info);
    }
    if (control != c) return;  // the control went away meanwhile
    cursorRect = ScreenRect(c, info.CursorRect);
    if (!canShow || info.HintStr.empty() || !info.HintWindowClass) return;
    THintWindow* w = Window(info.HintWindowClass);
    w->SetColor(info.HintColor);
    TRect r = w->CalcHintRect(info.HintMaxWidth, info.HintStr);
    w->ActivateHint(r.Offset(info.HintPos.X, info.HintPos.Y), info.HintStr);
    showing = true;
    if (info.HideTimeout > 0) Start(Next::Hide, info.HideTimeout);
  }

  TApplication& app;
  THintWindowClass windowClass = &HintWindowClassOf<THintWindow>;
  THintWindow* window = nullptr;
  THintWindowClass windowMadeBy = nullptr;
  TShowHintEvent onShowHint;
  TComponent* onShowHintSource = nullptr;
  TControl* control = nullptr;  // whose hint is waiting or showing
  TRect cursorRect;             // screen coordinates: the hint holds while the pointer stays inside
  bool showing = false;
  Next next = Next::Show;
  QTimer timer;
};

void TApplication::HintStateDeleter::operator()(HintState* h) const { delete h; }

TApplication::HintState& TApplication::Hints() const {
  if (!hint_) hint_.reset(new HintState(*const_cast<TApplication*>(this)));
  return *hint_;
}

void TApplication::SetShowHint(bool on) {
  if (on == showHint_) return;
  showHint_ = on;
  HintState& h = Hints();
  if (on) {
    h.Window(h.windowClass);
  } else {
    CancelHint();
    h.DropWindow();
  }
}

THintWindowClass TApplication::HintWindowClass() const { return Hints().windowClass; }
void TApplication::SetHintWindowClass(THintWindowClass windowClass) { Hints().windowClass = windowClass; }
THintWindow* TApplication::HintWindow() const { return hint_ ? hint_->window : nullptr; }

void TApplication::SetOnShowHint(TShowHintEvent handler, TComponent* source) {
  HintState& h = Hints();
  if (h.onShowHintSource && h.onShowHintSource != source) RemoveFreeNotification(h.onShowHintSource);
  h.onShowHint = std::move(handler);
  h.onShowHintSource = source;
  if (source) FreeNotification(source);
}

bool TApplication::HasOnShowHint() const { return hint_ && hint_->onShowHint; }

void TApplication::ActivateHint(TPoint cursorPos) {
  HintState& h = Hints();
  h.Hide();
  h.control = showHint_ ? HintControlOf(FindControlAtScreen(cursorPos)) : nullptr;
  h.ShowNow(cursorPos);
}

void TApplication::CancelHint() {
  if (!hint_) return;
  hint_->Hide();
  hint_->control = nullptr;
}

void TApplication::HintMouseMessage(TControl* control, TPoint screen) {
  HintState& h = Hints();
  TControl* target = showHint_ ? HintControlOf(control) : nullptr;
  if (target && target == h.control && h.cursorRect.Contains(screen)) return;  // still resting on it
  bool wasShowing = h.showing;
  h.Hide();
  h.control = target;
  if (!target) return;
  h.cursorRect = ScreenRect(target, target->ClientRect());
  // While a hint is up the next one follows quickly.
  h.Start(HintState::Next::Show, wasShowing ? HintShortPause : HintPause);
}

void TApplication::HintMouseLeft(TWinControl* window) {
  if (!hint_) return;
  TControl* left = hint_->control;
  for (TControl* c = left; c; c = c->Parent()) {
    if (c != window) continue;
    // The pointer may only be passing to another control of the program, whose mouse move comes
    // right after the leave; the hint goes only if that names no other control.
    PostCall([this, left] {
      if (hint_ && hint_->control == left) CancelHint();
    });
    return;
  }
}

void TApplication::ForgetHintComponent(TComponent* c) {
  if (!hint_ || !c) return;
  HintState& h = *hint_;
  if (c == h.window) {
    h.window = nullptr;
    h.windowMadeBy = nullptr;
    h.showing = false;
  }
  if (c == h.control) CancelHint();
  if (c == h.onShowHintSource) {
    h.onShowHint = nullptr;
    h.onShowHintSource = nullptr;
  }
}

}  // namespace corvane
