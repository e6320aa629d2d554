#include "platform/windows/WindowHandle.h"

#include <QWheelEvent>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimerEvent>
#include <QWindow>

#include <algorithm>

#include "platform/graphics/GraphicsPrivate.h"
#include "platform/windows/ActnList.h"
#include "platform/windows/Forms.h"
#include "platform/windows/X11Hints.h"

namespace corvane {

namespace {

// The key press the application's message handler has last been offered, so that a key offered
// where it arrived and then climbing to a parent window is not offered a second time there.
struct {
  const QEvent* event = nullptr;
  ulong time = 0;
  int key = 0;
} gPreviewed;

bool AlreadyPreviewed(const QKeyEvent* e) {
  return gPreviewed.event == e && gPreviewed.time == e->timestamp() && gPreviewed.key == e->key();
}

// Widgets whose key presses the window handles route (and offer to the application's handler
// there) carry this property.
constexpr const char* kRoutesKeys = "corvaneRoutesKeys";

// Offers the application's message handler every key press, whichever widget it is going to: a
// toolkit widget that handles keys of its own (a text view scrolling on the arrow keys) would
// otherwise take them before the program's routing ever saw them. A key the handler takes goes
// no further.
class KeyPreviewFilter : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* receiver, QEvent* e) override {
    if (e->type() != QEvent::KeyPress || !Application || !Application->OnMessage) return false;
    auto* w = qobject_cast<QWidget*>(receiver);
    if (!w || w->property(kRoutesKeys).toBool()) return false;  // offered where it is routed
    auto* ke = static_cast<QKeyEvent*>(e);
    if (AlreadyPreviewed(ke)) return false;
    const TShiftState shift = ShiftOf(ke->modifiers());
    TMessage m{(shift & ssAlt) ? static_cast<unsigned>(WM_SYSKEYDOWN) : static_cast<unsigned>(WM_KEYDOWN),
               static_cast<WPARAM>(VirtualKeyOf(ke->key())), static_cast<LPARAM>(shift), 0};
    bool handled = false;
    Application->HandleExceptions([&] { handled = Application->PreviewMessage(m); });
    if (handled) return true;
    gPreviewed = {e, ke->timestamp(), ke->key()};
    return false;
  }
};

void InstallKeyPreview() {
  static QPointer<KeyPreviewFilter> filter;
  if (filter || !qApp) return;
  filter = new KeyPreviewFilter(qApp);
  qApp->installEventFilter(filter);
}

}  // namespace

TWindowHandle::TWindowHandle(TWinControl* control, QWidget* widget, bool native, QWidget* input)
    : control_(control), widget_(widget), input_(input ? input : widget), native_(native) {
  InstallKeyPreview();
  input_->setProperty(kRoutesKeys, true);
  widget->installEventFilter(this);
  if (input_ != widget) input_->installEventFilter(this);
  input_->setMouseTracking(true);
  widget->setMouseTracking(true);
  widget->setFocusPolicy(native ? Qt::ClickFocus : Qt::NoFocus);
}

TWindowHandle::~TWindowHandle() {
  if (widget_) {
    widget_->removeEventFilter(this);
    delete widget_.data();
  }
}

void TWindowHandle::ShowOnTop() {
  settingGeometry = true;
  PlacedAt(control_->left_, control_->top_);
  widget_->setGeometry(control_->left_, control_->top_, control_->width_, control_->height_);
  settingGeometry = false;
  widget_->show();
  widget_->raise();
}

void TWindowHandle::SetTimer(uintptr_t id, int ms) {
  KillTimer(id);
  timers_[id] = startTimer(std::max(1, ms));
}

void TWindowHandle::KillTimer(uintptr_t id) {
  auto it = timers_.find(id);
  if (it == timers_.end()) return;
  killTimer(it->second);
  timers_.erase(it);
}

void TWindowHandle::timerEvent(QTimerEvent* e) {
  for (auto& [id, qtId] : timers_) {
    if (qtId == e->timerId()) {
      uintptr_t ours = id;
      Application->HandleExceptions([&] { control_->Perform(WM_TIMER, ours, 0); });
      return;
    }
  }
}

void TWindowHandle::Render(TCanvas& canvas) {
  TRect nc = control_->NonClientMargins();
  if (!control_->Parent() && (nc.Left || nc.Top || nc.Right || nc.Bottom)) {
    // The frame paints on the whole window and may clip the client out; the client paints after
    // it with a clip of its own.
    canvas.SaveState();
    TMessage ncPaint{WM_NCPAINT, reinterpret_cast<WPARAM>(&canvas), 0, 0};
    control_->WindowProc(ncPaint);
    canvas.RestoreState();
  }
  canvas.SetOrigin(nc.Left, nc.Top);
  TRect client = control_->ClientRect();
  canvas.IntersectClip(client);
  TMessage erase{WM_ERASEBKGND, reinterpret_cast<WPARAM>(&canvas), 0, 0};
  control_->WindowProc(erase);
  TMessage paint{WM_PAINT, reinterpret_cast<WPARAM>(&canvas), 0, 0};
  control_->WindowProc(paint);
  canvas.impl()->End();
}

void TWindowHandle::PaintEvent(const QRegion& dirty, QPaintDevice* device, QPoint at) {
  Application->HandleExceptions([&] {
    // The window's backing store already holds its pixels: the control composes straight into
    // it, clipped to what the toolkit asked to be painted (which leaves out the child widgets).
    auto* image = device && device->devType() == QInternal::Image ? static_cast<QImage*>(device) : nullptr;
    if (image && image->devicePixelRatio() == 1 &&
        (image->format() == QImage::Format_RGB32 || image->format() == QImage::Format_ARGB32_Premultiplied)) {
      TImageCanvas canvas(image);
      canvas.SetOrigin(at.x(), at.y());
      canvas.SetDeviceClip((dirty & widget_->rect()).translated(at));
      Render(canvas);
      return;
    }
    // Anywhere else (a grab into a picture, a scaled screen) through a picture of the widget.
    QImage scratch(widget_->size(), QImage::Format_RGB32);
    TImageCanvas canvas(&scratch);
    Render(canvas);
    QPainter(widget_).drawImage(0, 0, scratch);
  });
}

int VirtualKeyOf(int k) {
  if (k >= Qt::Key_A && k <= Qt::Key_Z) return 'A' + (k - Qt::Key_A);
  if (k >= Qt::Key_0 && k <= Qt::Key_9) return '0' + (k - Qt::Key_0);
  if (k >= Qt::Key_F1 && k <= Qt::Key_F24) return 0x70 + (k - Qt::Key_F1);
  switch (k) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab: case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return: case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    // The punctuation keys of a US keyboard, shifted or not.
    case Qt::Key_Semicolon: case Qt::Key_Colon: return VK_OEM_1;
    case Qt::Key_Equal: case Qt::Key_Plus: return VK_OEM_PLUS;
    case Qt::Key_Comma: case Qt::Key_Less: return VK_OEM_COMMA;
    case Qt::Key_Minus: case Qt::Key_Underscore: return VK_OEM_MINUS;
    case Qt::Key_Period: case Qt::Key_Greater: return VK_OEM_PERIOD;
    case Qt::Key_Slash: case Qt::Key_Question: return VK_OEM_2;
    case Qt::Key_QuoteLeft: case Qt::Key_AsciiTilde: return VK_OEM_3;
    case Qt::Key_BracketLeft: case Qt::Key_BraceLeft: return VK_OEM_4;
    case Qt::Key_Backslash: case Qt::Key_Bar: return VK_OEM_5;
    case Qt::Key_BracketRight: case Qt::Key_BraceRight: return VK_OEM_6;
    case Qt::Key_Apostrophe: case Qt::Key_QuoteDbl: return VK_OEM_7;
    // Anything else (letters of other alphabets, dead keys, symbols) has no virtual-key code: it
    // reaches the control as 0 with its character.
    default: return 0;
  }
}

int QtKeyOf(int vk) {
  if (vk >= 'A' && vk <= 'Z') return Qt::Key_A + (vk - 'A');
  if (vk >= '0' && vk <= '9') return Qt::Key_0 + (vk - '0');
  if (vk >= 0x70 && vk <= 0x87) return Qt::Key_F1 + (vk - 0x70);
  switch (vk) {
    case VK_BACK: return Qt::Key_Backspace;
    case VK_TAB: return Qt::Key_Tab;
    case VK_RETURN: return Qt::Key_Return;
    case VK_SHIFT: return Qt::Key_Shift;
    case VK_CONTROL: return Qt::Key_Control;
    case VK_MENU: return Qt::Key_Alt;
    case VK_ESCAPE: return Qt::Key_Escape;
    case VK_SPACE: return Qt::Key_Space;
    case VK_PRIOR: return Qt::Key_PageUp;
    case VK_NEXT: return Qt::Key_PageDown;
    case VK_END: return Qt::Key_End;
    case VK_HOME: return Qt::Key_Home;
    case VK_LEFT: return Qt::Key_Left;
    case VK_UP: return Qt::Key_Up;
    case VK_RIGHT: return Qt::Key_Right;
    case VK_DOWN: return Qt::Key_Down;
    case VK_INSERT: return Qt::Key_Insert;
    case VK_DELETE: return Qt::Key_Delete;
    default: return Qt::Key_unknown;
  }
}

TShiftState ShiftOf(Qt::KeyboardModifiers m, Qt::MouseButtons b) {
  TShiftState s = 0;
  if (m & Qt::ShiftModifier) s |= ssShift;
  if (m & Qt::ControlModifier) s |= ssCtrl;
  if (m & Qt::AltModifier) s |= ssAlt;
  if (b & Qt::LeftButton) s |= ssLeft;
  if (b & Qt::RightButton) s |= ssRight;
  if (b & Qt::MiddleButton) s |= ssMiddle;
  return s;
}

static WPARAM KeyStateOf(Qt::KeyboardModifiers m, Qt::MouseButtons b) {
  WPARAM w = 0;
  if (b & Qt::LeftButton) w |= MK_LBUTTON;
  if (b & Qt::RightButton) w |= MK_RBUTTON;
  if (b & Qt::MiddleButton) w |= MK_MBUTTON;
  if (m & Qt::ShiftModifier) w |= MK_SHIFT;
  if (m & Qt::ControlModifier) w |= MK_CONTROL;
  return w;
}

bool TWindowHandle::RouteMouse(QMouseEvent* e) {
  QPoint g = e->globalPosition().toPoint();
  TPoint screen(g.x(), g.y());
  gLastPointer = screen;
  unsigned base;  // the client message for this event
  switch (e->type()) {
    case QEvent::MouseMove: base = WM_MOUSEMOVE; break;
    case QEvent::MouseButtonPress:
      base = e->button() == Qt::RightButton ? WM_RBUTTONDOWN : e->button() == Qt::MiddleButton ? WM_MBUTTONDOWN : WM_LBUTTONDOWN;
      gButtonsDown |= e->button();
      Application->CancelHint();  // a press takes the hint away
      break;
    case QEvent::MouseButtonDblClick:
      base = e->button() == Qt::RightButton ? WM_RBUTTONDBLCLK : e->button() == Qt::MiddleButton ? WM_MBUTTONDBLCLK : WM_LBUTTONDBLCLK;
      gButtonsDown |= e->button();
      Application->CancelHint();
      break;
    case QEvent::MouseButtonRelease:
      base = e->button() == Qt::RightButton ? WM_RBUTTONUP : e->button() == Qt::MiddleButton ? WM_MBUTTONUP : WM_LBUTTONUP;
      gButtonsDown &= ~e->button();
      break;
    default: return false;
  }
  if (!control_->Enabled()) return true;
  QPointer<QWidget> guard = widget_;
  TWinControl* c = control_;
  // A control holding the capture gets the mouse wherever it is.
  TControl* cap = Application->CaptureControl();
  if (cap && cap != c) {
    if (auto* capWin = dynamic_cast<TWinControl*>(cap); capWin && capWin->Handle() && capWin->Handle() != this)
      return capWin->Handle()->RouteMouse(e);
    if (!cap->IsWindowed() && cap->Parent() && cap->Parent() != c && cap->Parent()->Handle())
      return cap->Parent()->Handle()->RouteMouse(e);
  }
  int hit = HTCLIENT;
  if (!c->Parent() && !cap) hit = static_cast<int>(c->Perform(WM_NCHITTEST, 0, MakeLParam(screen.X, screen.Y)));
  if (!guard) return true;
  if (hit != HTCLIENT) {
    unsigned nc = base - WM_MOUSEMOVE + WM_NCMOUSEMOVE;
    if (base == WM_MOUSEMOVE) {
      Application->SetMouseControl(c);
      Application->HintMouseMessage(nullptr, screen);  // no control hints over the frame
      c->Perform(WM_SETCURSOR, 0, MakeLParam(hit, static_cast<int>(base)));
    }
    if (guard) c->Perform(nc, static_cast<WPARAM>(hit), MakeLParam(screen.X, screen.Y));
    return true;
  }
  TPoint local = c->ScreenToClient(screen);
  if (base == WM_MOUSEMOVE) c->Perform(WM_SETCURSOR, 0, MakeLParam(HTCLIENT, static_cast<int>(base)));
  if (!guard) return true;
  passToNative_ = false;
  QEvent* saved = current_;
  current_ = e;
  c->Perform(base, KeyStateOf(e->modifiers(), e->buttons()), MakeLParam(local.X, local.Y));
  if (!guard) return true;  // the message freed the window, and this handle with it
  current_ = saved;
  if (base == WM_MOUSEMOVE) Application->HintMouseMessage(Application->MouseControl(), screen);
  bool pass = native_ && passToNative_;
  passToNative_ = false;
  return !pass;
}

bool TWindowHandle::RouteKey(QKeyEvent* e, bool down) {
  TWinControl* c = control_;
  TForm* form = c->ParentForm();
  int vk = VirtualKeyOf(e->key());
  TShiftState shift = ShiftOf(e->modifiers());
  QPointer<QWidget> guard = widget_;
  QEvent* saved = current_;
  current_ = e;
  // The handle goes with its widget: a key that frees the window leaves nothing to restore.
  struct Restore {
    TWindowHandle* h;
    QEvent* s;
    const QPointer<QWidget>& alive;
    ~Restore() { if (alive) h->current_ = s; }
  } restore{this, saved, guard};
  if (down) Application->CancelHint();
  if (down) {
    // The application's message handler comes first (menus take the keyboard this way).
    TMessage m{(shift & ssAlt) ? static_cast<unsigned>(WM_SYSKEYDOWN) : static_cast<unsigned>(WM_KEYDOWN),
               static_cast<WPARAM>(vk), static_cast<LPARAM>(shift), 0};
    if (!AlreadyPreviewed(e) && Application->PreviewMessage(m)) return true;
    if (!guard) return true;
  }
  if (!down) {
    passToNative_ = false;
    c->Perform((shift & ssAlt) ? WM_SYSKEYUP : WM_KEYUP, static_cast<WPARAM>(vk), static_cast<LPARAM>(shift));
    return !(native_ && passToNative_);
  }
  // The window's action shortcuts come before anything else sees the key.
  if (form && vk && DispatchShortCut(form, ShortCut(vk, shift))) return true;
  if (form && form->KeyPreview && form != c) {
    int key = vk;
    if (form->OnKeyDown) form->OnKeyDown(form, key, shift);
    if (key == 0 && vk != 0) return true;
  }
  // Dialog navigation keys, unless the control wants them.
  if (vk == VK_TAB || vk == VK_RETURN || vk == VK_ESCAPE || (vk >= VK_LEFT && vk <= VK_DOWN)) {
    int code = static_cast<int>(c->Perform(WM_GETDLGCODE, static_cast<WPARAM>(vk), 0));
    bool wants = (code & DLGC_WANTALLKEYS) || (vk == VK_TAB && (code & DLGC_WANTTAB)) ||
                 (vk >= VK_LEFT && vk <= VK_DOWN && (code & DLGC_WANTARROWS));
    if (!wants && form && form->Perform(CM_DIALOGKEY, static_cast<WPARAM>(vk), static_cast<LPARAM>(shift)) != 0)
      return true;
    if (!guard) return true;
  }
  // Accelerators: Alt + character.
  if ((shift & ssAlt) && !e->text().isEmpty() && form) {
    if (form->Perform(CM_DIALOGCHAR, static_cast<WPARAM>(e->text().at(0).unicode()), 0) != 0) return true;
  }
  passToNative_ = false;
  c->Perform((shift & ssAlt) ? WM_SYSKEYDOWN : WM_KEYDOWN, static_cast<WPARAM>(vk), static_cast<LPARAM>(shift));
  if (!guard) return true;
  bool keyPass = passToNative_;
  if (!keyPass && native_) return true;  // the key handler swallowed it
  QString text = e->text();
  if (text.isEmpty() || (shift & (ssCtrl | ssAlt)) || text.at(0).unicode() < 32) {
    // Keys without a character (and Return, Backspace) still get WM_CHAR for the control codes.
    if (!text.isEmpty() && text.at(0).unicode() < 32 && !(shift & ssAlt)) {
      char32_t ch = text.at(0).unicode();
      passToNative_ = false;
      c->Perform(WM_CHAR, ch, 0);
      if (!guard) return true;
      return !(native_ && passToNative_);
    }
    return !(native_ && keyPass);
  }
  // Character messages: a handler may swallow or replace each character.
  QString out;
  bool changed = false;
  for (char32_t ch : text.toUcs4()) {
    passToNative_ = false;
    TMessage m{WM_CHAR, ch, 0, 0};
    c->WindowProc(m);
    if (!guard) return true;
    if (m.Result != 0 || !passToNative_) { changed = true; continue; }
    if (static_cast<char32_t>(m.WParam) != ch) changed = true;
    out += QString::fromUcs4(reinterpret_cast<const char32_t*>(&m.WParam), 1);
  }
  if (!native_) return true;
  if (!changed) return false;
  if (!out.isEmpty()) {
    QKeyEvent replaced(QEvent::KeyPress, 0, e->modifiers(), out);
    current_ = nullptr;
    widget_->removeEventFilter(this);
    if (input_ != widget_) input_->removeEventFilter(this);
    QCoreApplication::sendEvent(input_, &replaced);
    if (guard) {
      widget_->installEventFilter(this);
      if (input_ != widget_) input_->installEventFilter(this);
    }
  }
  return true;
}

bool TWindowHandle::eventFilter(QObject* watched, QEvent* e) {
  if (!widget_) return false;
  bool result = false;
  switch (e->type()) {
    case QEvent::MouseMove: case QEvent::MouseButtonPress: case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
      if (watched != input_) return false;
      // A window disabled by a modal loop takes no input.
      if (!widget_->isEnabled()) return true;
      Application->HandleExceptions([&] { result = RouteMouse(static_cast<QMouseEvent*>(e)); });
      return result || !native_;
    case QEvent::KeyPress: case QEvent::KeyRelease: {
      // Keys are routed once, where they arrive (the input widget); the toolkit must not pass
      // them on to the parent widget as well.
      if (watched != input_) return false;
      auto* ke = static_cast<QKeyEvent*>(e);
      // A key handed to a toolkit widget that leaves it unaccepted climbs up to the parent
      // widgets: it was routed where it arrived and goes no further.
      static struct { const QEvent* event; QEvent::Type type; ulong time; int key; } handedOn{};
      if (handedOn.event == e && handedOn.type == e->type() && handedOn.time == ke->timestamp() && handedOn.key == ke->key()) {
        handedOn = {};
        return true;
      }
      if (!widget_->isEnabled()) return true;
      // Keys belong to the window's active control: when the toolkit's focus has fallen back on
      // the window itself (a click on its background, a window coming back), they are handed on.
      if (auto* f = dynamic_cast<TForm*>(control_); f && !f->Parent() && f->ActiveControl() &&
          f->ActiveControl()->Handle() && f->ActiveControl()->Handle() != this && f->ActiveControl()->Showing()) {
        QWidget* target = f->ActiveControl()->Handle()->InputWidget();
        target->setFocus(Qt::OtherFocusReason);
        QKeyEvent copy(ke->type(), ke->key(), ke->modifiers(), ke->nativeScanCode(), ke->nativeVirtualKey(),
                       ke->nativeModifiers(), ke->text(), ke->isAutoRepeat(), ke->count());
        QCoreApplication::sendEvent(target, &copy);
        return true;
      }
      result = true;
      Application->HandleExceptions([&] { result = RouteKey(ke, e->type() == QEvent::KeyPress); });
      if (result) {
        e->accept();
        return true;
      }
      handedOn = {e, e->type(), ke->timestamp(), ke->key()};
      return false;
    }
    case QEvent::ShortcutOverride:
      return false;
    case QEvent::Wheel: {
      if (watched != input_ && watched != widget_) return false;
      auto* we = static_cast<QWheelEvent*>(e);
      const QPoint g = we->globalPosition().toPoint();
      TMessage m{WM_MOUSEWHEEL, static_cast<WPARAM>(static_cast<uint32_t>(we->angleDelta().y()) << 16),
                 MakeLParam(g.x(), g.y()), 0};
      bool handled = false;
      Application->HandleExceptions([&] { handled = Application->PreviewMessage(m); });
      return handled;
    }
    case QEvent::Leave:
      if (watched == input_) {
        TControl* mc = Application->MouseControl();
        if (mc && (mc == control_ || (!mc->IsWindowed() && mc->Parent() == control_))) Application->SetMouseControl(nullptr);
        Application->HintMouseLeft(control_);
      }
      return false;
    case QEvent::FocusIn:
      if (TForm* f = control_->ParentForm(); f && f != control_ && f->ActiveControl() != control_)
        Application->HandleExceptions([&] { f->SetActiveControl(control_); });
      return false;
    case QEvent::Close:
      if (watched == widget_ && !control_->Parent()) {
        e->ignore();
        // A window disabled by a modal loop refuses the window manager's close request (its close
        // key, a task bar's close item): the modal window is the one to answer.
        if (!widget_->isEnabled()) {
          PostCall([] { HandActivationToModal(); });
          return true;
        }
        Application->HandleExceptions([&] { control_->Perform(WM_CLOSE, 0, 0); });
        return true;
      }
      return false;
    case QEvent::Show:
      // The window manager forgets a window's states when it is hidden; they are asked for again
      // each time it is shown (before it is mapped, or at once when the window manager maps it).
      if (auto* f = dynamic_cast<TForm*>(control_); f && watched == widget_ && !f->Parent()) {
        if (widget_->windowHandle() && widget_->windowHandle()->transientParent()) SkipTaskBar(widget_);
        if (f->IsModal()) SetModalState(widget_, true);
      }
      return false;
    case QEvent::Move:
      if (watched == widget_ && !control_->Parent() && !settingGeometry) {
        QPoint p = widget_->pos();
        // The window system confirms each of our moves, but not always in turn: the window
        // manager's confirmations come in the order we asked, while the toolkit reads the place
        // of a window whose size changed from the server when it gets to the event, which under
        // load is already the latest place. So the latest place can be confirmed before older
        // ones: every place we asked for stays known, and a confirmation of one that is not the
        // latest is out of date (a drag asks many times). A place we never asked for is the
        // window manager's and is taken; the older places are then forgotten.
        if (!placed_.empty() && p != placed_.back() &&
            std::find(placed_.begin(), placed_.end(), p) != placed_.end())
          return false;
        if (placed_.empty() || p != placed_.back()) placed_.clear();
        control_->left_ = p.x();
        control_->top_ = p.y();
      }
      return false;
    case QEvent::WindowStateChange:
      if (watched == widget_ && !control_->Parent() && Application->Minimized() && !widget_->isMinimized() &&
          control_ == Application->MainForm())
        PostCall([] { Application->Restore(); });
      return false;
    case QEvent::WindowActivate:
      if (auto* f = dynamic_cast<TForm*>(control_); f && !f->Parent() && !widget_->isEnabled()) {
        // Disabled by a modal loop: the activation goes on to the modal window at once, so the
        // keys go there (a click on the visible part of this window, a restore from the task bar).
        PostCall([] { HandActivationToModal(); });
        return false;
      }
      if (auto* f = dynamic_cast<TForm*>(control_); f && !f->Parent()) {
        Screen->Raise(f);
        // The keyboard goes back to the control the window recorded as active (after a modal
        // window or a message box closed, after a restore).
        if (TWinControl* a = f->ActiveControl(); a && a->Handle() && a->Showing())
          a->Handle()->InputWidget()->setFocus(Qt::ActiveWindowFocusReason);
        Application->HandleExceptions([&] {
          f->Perform(WM_NCACTIVATE, 1, 0);
          f->Perform(WM_ACTIVATE, 1, 0);
        });
      }
      return false;
    case QEvent::WindowDeactivate:
      if (auto* f = dynamic_cast<TForm*>(control_); f && !f->Parent())
        Application->HandleExceptions([&] {
          f->Perform(WM_NCACTIVATE, 0, 0);
          f->Perform(WM_ACTIVATE, 0, 0);
        });
      return false;
    default:
      return false;
  }
}

}  // namespace corvane
