#include "platform/windows/Forms.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QMessageBox>
#include <QPushButton>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>

#include <algorithm>
#include <memory>

#include "platform/graphics/GraphicsPrivate.h"
#include "platform/windows/OnScreen.h"
#include "platform/windows/WindowHandle.h"
#include "platform/windows/X11Hints.h"

namespace corvane {

TApplication* Application = nullptr;
TScreen* Screen = nullptr;
std::function<int(const TMessageBoxRecord&)> gMessageBoxSeam;

// ---------------------------------------------------------------------------------------------
// Owners

namespace {
// Ties a window the program opens over others to the window it opens over (the topmost of the
// program's windows on screen, else the main window): the window manager keeps it above that
// window, moves it along on a restore and gives the program a single task-bar entry.
void TieToOwner(QWidget* w, const TForm* self) {
  if (!Screen || !Application) return;
  QWidget* owner = nullptr;
  for (TForm* f : Screen->ZOrder()) {
    if (f == self || !f->Showing() || (f->GetWindowLong(GWL_EXSTYLE) & (WS_EX_TOOLWINDOW | WS_EX_TOPMOST))) continue;
    owner = f->Handle()->Widget();
    break;
  }
  if (!owner && Application->MainForm() && Application->MainForm() != self && Application->MainForm()->Handle())
    owner = Application->MainForm()->Handle()->Widget();
  if (!owner || owner == w) return;
  // The window system records an owner for dialog windows only.
  if (w->windowType() == Qt::Window) {
    bool shown = w->isVisible();
    w->setWindowFlags((w->windowFlags() & ~Qt::WindowType_Mask) | Qt::Dialog);
    if (shown) w->show();
  }
  w->winId();
  owner->winId();
  if (w->windowHandle() && owner->windowHandle()) w->windowHandle()->setTransientParent(owner->windowHandle());
  SkipTaskBar(w);
}

// A window disabled by a modal loop takes no input and asks for no keyboard: neither the toolkit
// (which asks for the activation of a window clicked while another has it) nor the window manager
// gives it the activation, which stays with the modal window.
void SetBlocked(QWidget* w, bool blocked) {
  w->setEnabled(!blocked);
  if (QWindow* window = w->windowHandle())
    window->setFlags(blocked ? window->flags() | Qt::WindowDoesNotAcceptFocus : window->flags() & ~Qt::WindowDoesNotAcceptFocus);
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// TForm

TForm::TForm(TComponent* owner) : TWinControl(owner) {
  style_ = WS_POPUP | WS_CLIPCHILDREN;
  visible_ = false;
  parentFont_ = false;
  InitHandle();
  QWidget* w = handle_->Widget();
  w->setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
  w->setAttribute(Qt::WA_DeleteOnClose, false);
  // A click on the window's background never takes the keyboard from its active control; keys
  // reach the window itself only while it has no focusable control.
  w->setFocusPolicy(Qt::NoFocus);
  if (Screen) Screen->AddForm(this);
}

TForm::~TForm() {
  Destroying();
  if (modal_) SetModalResult(mrCancel);
  if (OnDestroy) {
    auto handler = OnDestroy;
    Application->HandleExceptions([&] { handler(this); });
  }
  if (Screen) Screen->RemoveForm(this);
  // Owned components (controls included) go before the handle.
  DestroyComponents();
}

void TForm::SetBorderStyle(TFormBorderStyle s) {
  borderStyle_ = s;
  if (s == TFormBorderStyle::bsNone) style_ &= ~(WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
  else style_ |= WS_CAPTION | WS_SYSMENU;
}

TRect TForm::ClientRect() const { return TWinControl::ClientRect(); }

const THandler* TForm::FindHandler(const std::string& name) const {
  auto it = handlers_.find(name);
  return it == handlers_.end() ? nullptr : &it->second;
}

void TForm::Loaded() {
  TWinControl::Loaded();
  // Layouts designed at another resolution follow the screen's, when they ask to.
  int ppi = Screen ? Screen->PixelsPerInch() : 96;
  if (Scaled && PixelsPerInch > 0 && ppi > 0 && ppi != PixelsPerInch) {
    int m = ppi, d = PixelsPerInch;
    TRect c = ClientRect();
    SetClientSize(MulDiv(c.Width(), m, d), MulDiv(c.Height(), m, d));
    font_.SetHeight(MulDiv(font_.Height(), m, d));
    ScaleChildren(m, d);
    PixelsPerInch = ppi;
  }
  if (Position == TPosition::poScreenCenter || Position == TPosition::poDesktopCenter) CenterOnScreen();
}

void TForm::DoCreate() {
  if (created_) return;
  created_ = true;
  if (OnCreate) OnCreate(this);
}

void TForm::CenterOnScreen() {
  const TRect work = Screen ? Screen->WorkAreaRect() : TRect(0, 0, 1024, 768);
  const TRect screen(0, 0, Screen ? Screen->Width() : 1024, Screen ? Screen->Height() : 768);
  // On a screen smaller than the window the centred corner would lie off the screen, with the
  // window's picture buttons and its drag surface out of reach: the corner stays in the work area.
  const int left = std::max(work.Left, screen.Left + (screen.Width() - width_) / 2);
  const int top = std::max(work.Top, screen.Top + (screen.Height() - height_) / 2);
  SetBounds(left, top, width_, height_);
}

void TForm::SetVisible(bool v) {
  if (v == visible_) return;
  if (v && Application && Application->Minimized()) {
    // Shown while the program is minimised: it appears with the others on restore.
    visible_ = true;
    return;
  }
  TControl::SetVisible(v);
  QWidget* w = handle_->Widget();
  if (v) {
    handle_->settingGeometry = true;
    handle_->PlacedAt(left_, top_);
    w->setGeometry(left_, top_, width_, height_);
    handle_->settingGeometry = false;
    w->setWindowTitle(QString::fromStdString(text_));
    bool ownWindow = !(GetWindowLong(GWL_EXSTYLE) & (WS_EX_TOOLWINDOW | WS_EX_TOPMOST));
    if (ownWindow && Application && Application->MainForm() && Application->MainForm() != this) TieToOwner(w, this);
    w->show();
    if (Screen) Screen->Raise(this);
    Perform(WM_SHOWWINDOW, 1, 0);
    if (OnShow) OnShow(this);
    if (!activeControl_) {
      if (TWinControl* first = FindNextControl(nullptr, true, true, false)) {
        if (first->CanFocus()) SetActiveControl(first);
      }
    } else if (activeControl_->Handle()) {
      activeControl_->Handle()->InputWidget()->setFocus(Qt::OtherFocusReason);
    }
  } else {
    Perform(WM_SHOWWINDOW, 0, 0);
    w->hide();
    if (OnHide) OnHide(this);
    // Closed while the program is in the tray (from the tray icon's menu): the program comes
    // back first, or nothing of it would be left to reach.
    if (Application && Application->WindowsHidden() && Application->MainForm() != this && !Application->Terminated())
      Application->Restore();
  }
}

bool TForm::Showing() const { return visible_ && handle_ && handle_->Widget() && handle_->Widget()->isVisible(); }

void TForm::Show() {
  SetVisible(true);
  BringWindowToFront();
}

void TForm::BringWindowToFront() {
  if (!handle_ || !handle_->Widget()) return;
  handle_->Widget()->raise();
  handle_->Widget()->activateWindow();
  if (Screen) Screen->Raise(this);
  // The keyboard goes back to the recorded control as soon as the window is active again.
  if (activeControl_ && activeControl_->Handle() && activeControl_->Showing())
    activeControl_->Handle()->InputWidget()->setFocus(Qt::OtherFocusReason);
  // A window blocked by a modal one stays below it: the window manager keeps the modal window
  // above its owner and gives it the activation, and the program's own record of the stacking
  // (which window a point is on) must say the same (a window brought back from the tray while
  // the about window is up).
  if (!handle_->Widget()->isEnabled()) HandActivationToModal();
}

bool TForm::Active() const { return Screen && Screen->ActiveForm() == this; }

bool TForm::WindowActive() const { return handle_ && handle_->Widget() && handle_->Widget()->isActiveWindow(); }

void TForm::SetText(const std::string& v) {
  if (v == text_) return;
  TWinControl::SetText(v);
  if (handle_ && handle_->Widget()) handle_->Widget()->setWindowTitle(QString::fromStdString(text_));
  Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text_.c_str()));
}

void TForm::SetActiveControl(TWinControl* c) {
  if (c == activeControl_) {
    if (c && c->Handle()) c->Handle()->InputWidget()->setFocus(Qt::OtherFocusReason);
    return;
  }
  TWinControl* old = activeControl_;
  activeControl_ = c;
  if (old) {
    old->Perform(CM_EXIT, 0, 0);
    old->Perform(WM_KILLFOCUS, 0, 0);
    old->Invalidate();
  }
  if (c) {
    if (c->Handle()) c->Handle()->InputWidget()->setFocus(Qt::OtherFocusReason);
    c->Perform(WM_SETFOCUS, 0, 0);
    c->Perform(CM_ENTER, 0, 0);
    c->Invalidate();
  }
}

TWindowState TForm::WindowState() const {
  if (!handle_ || !handle_->Widget()) return TWindowState::wsNormal;
  if (handle_->Widget()->isMinimized()) return TWindowState::wsMinimized;
  if (handle_->Widget()->isMaximized()) return TWindowState::wsMaximized;
  return TWindowState::wsNormal;
}

bool ShownOnScreen(const TForm* form) {
  QWidget* w = form && form->Handle() ? form->Handle()->Widget() : nullptr;
  // Exposure comes from the window system's own reports (the window mapped or unmapped by the
  // window manager), not from the program's requests: the toolkit's minimised state changes at
  // once when the program asks.
  return w && w->isVisible() && w->windowHandle() && w->windowHandle()->isExposed();
}

void TForm::SetWindowState(TWindowState s) {
  QWidget* w = handle_->Widget();
  switch (s) {
    case TWindowState::wsMinimized: w->showMinimized(); break;
    case TWindowState::wsMaximized: w->showMaximized(); break;
    default: w->showNormal(); break;
  }
}

void TForm::SetModalResult(TModalResult r) { modalResult_ = r; }

bool TForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TForm::Close() {
  if (modal_) {
    SetModalResult(mrCancel);
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = TCloseAction::caHide;
  if (OnClose) OnClose(this, action);
  if (action == TCloseAction::caNone) return;
  if (Application && Application->MainForm() == this) {
    Hide();
    Application->Terminate();
    return;
  }
  if (action == TCloseAction::caMinimize) SetWindowState(TWindowState::wsMinimized);
  else Hide();
}

TModalResult TForm::ShowModal() {
  if (visible_ || modal_) throw EInvalidOperation("Cannot make a visible window modal");
  // Every other window of the program is disabled while this one is up.
  std::vector<QPointer<QWidget>> disabled;
  for (TForm* f : Screen->FormList()) {
    if (f == this || !f->handle_ || !f->handle_->Widget()) continue;
    QWidget* w = f->handle_->Widget();
    if (w->isEnabled()) {
      SetBlocked(w, true);
      disabled.emplace_back(w);
    }
  }
  if (Application && Application->MouseControl() && Application->MouseControl()->ParentForm() != this)
    Application->SetMouseControl(nullptr);
  ReleaseCapture();
  modal_ = true;
  modalResult_ = mrNone;
  QPointer<QWidget> self = handle_->Widget();
  auto restore = [&] {
    for (auto& w : disabled)
      if (w) SetBlocked(w, false);
  };
  try {
    Show();
    while (self) {
      QApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents);
      if (!self) break;
      if (Application && Application->Terminated() && modalResult_ == mrNone) modalResult_ = mrCancel;
      if (modalResult_ != mrNone) {
        // The close handlers run just before the loop ends; a failing one keeps the window up.
        try {
          if (!CloseQuery()) { modalResult_ = mrNone; continue; }
          TCloseAction action = TCloseAction::caHide;
          if (OnClose) OnClose(this, action);
          if (action == TCloseAction::caNone) { modalResult_ = mrNone; continue; }
          break;
        } catch (const EAbort&) {
          modalResult_ = mrNone;
        } catch (const std::exception& e) {
          modalResult_ = mrNone;
          Application->ShowException(e);
        }
      }
    }
  } catch (...) {
    modal_ = false;
    restore();
    throw;
  }
  modal_ = false;
  restore();
  TModalResult result = modalResult_;
  if (self) {
    Hide();
    SetModalState(handle_->Widget(), false);
  }
  // Give the window below the pointer and the focus back.
  if (Screen) {
    auto z = Screen->ZOrder();
    for (TForm* f : z)
      if (f != this && f->Showing()) { f->BringWindowToFront(); break; }
  }
  return result;
}

void TForm::PaintWindow(TCanvas& canvas) {
  // The background is the erase's (WM_ERASEBKGND), which a frame may paint instead.
  (void)canvas;
  if (OnPaint) OnPaint(this);
}

void TForm::WndProc(TMessage& m) {
  TWinControl::WndProc(m);
}

void TForm::DefaultHandler(TMessage& m) {
  switch (m.Msg) {
    case WM_SYSCOMMAND:
      switch (m.WParam & 0xFFF0) {
        case SC_MOVE: MoveLoop(); return;
        case SC_SIZE: SizeLoop(static_cast<int>(m.WParam & 0xF)); return;
        case SC_MINIMIZE: Application->Minimize(); return;
        case SC_RESTORE: Application->Restore(); return;
        case SC_CLOSE: Close(); return;
        default: return;
      }
    case WM_CLOSE: Close(); return;
    case WM_ERASEBKGND:
      if (auto* canvas = reinterpret_cast<TCanvas*>(m.WParam)) {
        // The background is not filled under pictures that cover their whole place (a window's
        // background picture usually covers all of it): they paint over it right after.
        canvas->SaveState();
        for (TControl* c : controls_)
          if (auto* g = dynamic_cast<TGraphicControl*>(c); g && g->Visible() && g->PaintsWholeBounds())
            canvas->ExcludeClipRect(g->BoundsRect());
        TWinControl::PaintWindow(*canvas);
        canvas->RestoreState();
      }
      m.Result = 1;
      return;
    // A press on a caption drags the window; one on a sizing border or corner sizes it.
    case WM_NCLBUTTONDOWN: {
      const int hit = static_cast<int>(m.WParam);
      if (hit == HTCAPTION) Perform(WM_SYSCOMMAND, SC_MOVE | HTCAPTION, m.LParam);
      else if (hit >= HTLEFT && hit <= HTBOTTOMRIGHT) Perform(WM_SYSCOMMAND, SC_SIZE + SizingEdgeOf(hit), m.LParam);
      return;
    }
    case WM_NEXTDLGCTL:
      if (m.LParam != 0) {
        if (auto* c = reinterpret_cast<TWinControl*>(m.WParam)) c->SetFocus();
      } else {
        SelectNext(activeControl_, m.WParam == 0, true);
      }
      return;
    case CM_DIALOGKEY: {
      int vk = static_cast<int>(m.WParam);
      if (vk == VK_TAB) {
        SelectNext(activeControl_, !(static_cast<TShiftState>(m.LParam) & ssShift), true);
        m.Result = 1;
        return;
      }
      if (vk >= VK_LEFT && vk <= VK_DOWN) {
        if (activeControl_ && activeControl_->Parent()) {
          activeControl_->Parent()->SelectNext(activeControl_, vk == VK_RIGHT || vk == VK_DOWN, false);
          m.Result = 1;
        }
        return;
      }
      BroadcastDialogKey(m);
      // Escape that no control takes closes a modal window, as its close button does.
      if (m.Result == 0 && vk == VK_ESCAPE && modal_ && !(static_cast<TShiftState>(m.LParam) & (ssShift | ssCtrl | ssAlt))) {
        Close();
        m.Result = 1;
      }
      return;
    }
    default: break;
  }
  TWinControl::DefaultHandler(m);
}

namespace {
// Takes every mouse event while a window is being moved or sized. A pointer event from the window
// system reaches the toolkit's window first and is then handed to a widget: the loop acts on it at
// the first sight and keeps it from the widgets (so no control sees a press, a move or the
// release), but lets the window see it, so the toolkit's own record of the buttons and of the
// widget under the pointer stays true and hovering works at once after the release. Synthetic
// events sent straight to a widget are acted on there.
class TrackLoopFilter : public QObject {
 public:
  TrackLoopFilter(QEventLoop* loop, std::function<void(QPoint)> moved, std::function<void()> cancelled)
      : loop_(loop), moved_(std::move(moved)), cancelled_(std::move(cancelled)) {}
  bool eventFilter(QObject* receiver, QEvent* e) override {
    bool mouse = e->type() == QEvent::MouseMove || e->type() == QEvent::MouseButtonPress ||
                 e->type() == QEvent::MouseButtonRelease || e->type() == QEvent::MouseButtonDblClick;
    if (mouse) {
      if (receiver->isWindowType()) {
        Act(e);
        return false;
      }
      if (e->spontaneous()) return true;  // seen at its window already
    }
    return Act(e);
  }
 private:
  bool Act(QEvent* e) {
    switch (e->type()) {
      case QEvent::MouseMove: {
        QPoint g = static_cast<QMouseEvent*>(e)->globalPosition().toPoint();
        if (!started_) start_ = g, started_ = true;
        if (g != start_) stirred_ = true;
        gLastPointer = {g.x(), g.y()};
        Application->HandleExceptions([&] { moved_(g); });
        return true;
      }
      case QEvent::MouseButtonRelease:
        gButtonsDown &= ~static_cast<QMouseEvent*>(e)->button();
        loop_->quit();  // the loop ends with the release of a button
        return true;
      case QEvent::MouseButtonPress:
        return true;
      case QEvent::MouseButtonDblClick:
        // The second press of a double click on a caption: it starts no move, and the double
        // click goes to the window once the loop has ended.
        if (!stirred_ && !doubleClick_) {
          auto* me = static_cast<QMouseEvent*>(e);
          doubleClick_.reset(new QMouseEvent(QEvent::MouseButtonDblClick, me->position(), me->scenePosition(),
                                             me->globalPosition(), me->button(), me->buttons(), me->modifiers()));
          loop_->quit();
        }
        return true;
      case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape) {
          Application->HandleExceptions([&] { cancelled_(); });
          loop_->quit();
          return true;
        }
        return false;
      default:
        return false;
    }
  }
  QEventLoop* loop_;
  std::function<void(QPoint)> moved_;
  std::function<void()> cancelled_;
  QPoint start_;
  bool started_ = false, stirred_ = false;

 public:
  std::unique_ptr<QMouseEvent> doubleClick_;  // a double click that ended the loop unmoved
};

// Runs a move or size loop on the form's window with the pointer grabbed in the given shape.
void RunTrackLoop(TForm* form, QWidget* w, Qt::CursorShape shape, std::function<void(QPoint)> moved,
                  std::function<void()> cancelled) {
  form->Perform(WM_ENTERSIZEMOVE, 0, 0);
  QEventLoop loop;
  TrackLoopFilter filter(&loop, std::move(moved), std::move(cancelled));
  qApp->installEventFilter(&filter);
  if (QGuiApplication::platformName() != "offscreen") w->grabMouse(shape);
  loop.exec();
  w->releaseMouse();
  qApp->removeEventFilter(&filter);
  form->Perform(WM_EXITSIZEMOVE, 0, 0);
  if (filter.doubleClick_) {
    QPointer<QWidget> guard = w;
    QMouseEvent& dbl = *filter.doubleClick_;
    if (guard) QCoreApplication::sendEvent(w, &dbl);
  }
}

Qt::CursorShape SizingCursorOf(int edge) {
  switch (edge) {
    case WMSZ_LEFT: case WMSZ_RIGHT: return Qt::SizeHorCursor;
    case WMSZ_TOP: case WMSZ_BOTTOM: return Qt::SizeVerCursor;
    case WMSZ_TOPLEFT: case WMSZ_BOTTOMRIGHT: return Qt::SizeFDiagCursor;
    default: return Qt::SizeBDiagCursor;
  }
}
}  // namespace

void TForm::MoveLoop() {
  // Nothing to drag when no button is down (the press was already released).
  if (gButtonsDown == Qt::NoButton) return;
  const TPoint start = GetCursorPos();
  const TRect rect = Bounds(left_, top_, width_, height_);
  RunTrackLoop(this, handle_->Widget(), Qt::SizeAllCursor,
      [=, this](QPoint g) {
        TRect proposed = rect.Offset(g.x() - start.X, g.y() - start.Y);
        Perform(WM_MOVING, 0, reinterpret_cast<LPARAM>(&proposed));
        SetBounds(proposed.Left, proposed.Top, width_, height_);
      },
      [=, this] { SetBounds(rect.Left, rect.Top, width_, height_); });
}

void TForm::SizeLoop(int edge) {
  if (gButtonsDown == Qt::NoButton || edge < WMSZ_LEFT || edge > WMSZ_BOTTOMRIGHT) return;
  const TPoint start = GetCursorPos();
  const TRect rect = Bounds(left_, top_, width_, height_);
  const bool left = edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT;
  const bool right = edge == WMSZ_RIGHT || edge == WMSZ_TOPRIGHT || edge == WMSZ_BOTTOMRIGHT;
  const bool top = edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT;
  const bool bottom = edge == WMSZ_BOTTOM || edge == WMSZ_BOTTOMLEFT || edge == WMSZ_BOTTOMRIGHT;
  RunTrackLoop(this, handle_->Widget(), SizingCursorOf(edge),
      [=, this](QPoint g) {
        // The tracking sizes are asked for on every step: the frame's limits may follow its state.
        TMinMaxInfo info;
        info.MinTrackSizeX = info.MinTrackSizeY = 1;
        info.MaxTrackSizeX = info.MaxTrackSizeY = 1 << 15;
        Perform(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
        const int dx = g.x() - start.X, dy = g.y() - start.Y;
        TRect r = rect;
        auto limit = [](int v, int lo, int hi) { return std::max(lo, std::min(hi, v)); };
        if (left) r.Left = r.Right - limit(rect.Width() - dx, info.MinTrackSizeX, info.MaxTrackSizeX);
        if (right) r.Right = r.Left + limit(rect.Width() + dx, info.MinTrackSizeX, info.MaxTrackSizeX);
        if (top) r.Top = r.Bottom - limit(rect.Height() - dy, info.MinTrackSizeY, info.MaxTrackSizeY);
        if (bottom) r.Bottom = r.Top + limit(rect.Height() + dy, info.MinTrackSizeY, info.MaxTrackSizeY);
        Perform(WM_SIZING, static_cast<WPARAM>(edge), reinterpret_cast<LPARAM>(&r));
        SetBounds(r.Left, r.Top, r.Width(), r.Height());
      },
      [=, this] { SetBounds(rect.Left, rect.Top, rect.Width(), rect.Height()); });
}

// ---------------------------------------------------------------------------------------------
// TTimer

struct TTimer::Impl {
  QTimer timer;
};

TTimer::TTimer(TComponent* owner) : TComponent(owner), impl_(std::make_unique<Impl>()) {
  QObject::connect(&impl_->timer, &QTimer::timeout, [this] {
    if (OnTimer) Application->HandleExceptions([&] { OnTimer(this); });
  });
  Update();
}

TTimer::~TTimer() { Destroying(); }

void TTimer::SetEnabled(bool v) { enabled_ = v; Update(); }
void TTimer::SetInterval(int ms) { interval_ = ms; Update(); }

void TTimer::Update() {
  impl_->timer.stop();
  if (enabled_ && interval_ > 0) impl_->timer.start(interval_);
}

// ---------------------------------------------------------------------------------------------
// TPopupWindow

namespace {
std::vector<TPopupWindow*> gShownPopups;  // oldest first
}

TPopupWindow::TPopupWindow(TComponent* owner) : TCustomControl(owner) {
  visible_ = false;
  style_ = WS_POPUP;
  exStyle_ = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
  parentFont_ = false;
  InitHandle();
  // Placed by the program rather than the window manager, above the others, never focused.
  QWidget* w = handle_->Widget();
  w->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
  w->setAttribute(Qt::WA_ShowWithoutActivating);
  w->setFocusPolicy(Qt::NoFocus);
  RecalcNonClient();
}

TPopupWindow::~TPopupWindow() {
  ReleaseInput();
  Destroying();
  gShownPopups.erase(std::remove(gShownPopups.begin(), gShownPopups.end(), this), gShownPopups.end());
}

void TPopupWindow::SetVisible(bool v) {
  if (v == visible_) return;
  TControl::SetVisible(v);
  QWidget* w = handle_->Widget();
  gShownPopups.erase(std::remove(gShownPopups.begin(), gShownPopups.end(), this), gShownPopups.end());
  if (!v) {
    ReleaseInput();
    w->hide();
    return;
  }
  gShownPopups.push_back(this);
  handle_->ShowOnTop();
}

bool TPopupWindow::GrabInput() {
  QWidget* w = handle_->Widget();
  QWindow* window = w->windowHandle();
  if (!Showing() || !window) return false;
  if (grabbed_) return true;
  // The keyboard first: without it the pop-up could not be closed by Escape, so a refused keyboard
  // leaves the pointer alone too.
  if (!window->setKeyboardGrabEnabled(true)) return false;
  if (!window->setMouseGrabEnabled(true)) {
    window->setKeyboardGrabEnabled(false);
    return false;
  }
  grabbed_ = true;
  return true;
}

void TPopupWindow::ReleaseInput() {
  if (!grabbed_) return;
  grabbed_ = false;
  if (QWindow* window = handle_->Widget()->windowHandle()) {
    window->setMouseGrabEnabled(false);
    window->setKeyboardGrabEnabled(false);
  }
}

bool TPopupWindow::Showing() const { return visible_ && handle_->Widget()->isVisible(); }

void TPopupWindow::ShowAt(TPoint topLeft) {
  SetBounds(topLeft.X, topLeft.Y, width_, height_);
  if (visible_) handle_->Widget()->raise();
  SetVisible(true);
  Invalidate();
}

std::vector<TPopupWindow*> TPopupWindow::ShownWindows() { return {gShownPopups.rbegin(), gShownPopups.rend()}; }

// ---------------------------------------------------------------------------------------------
// TScreen

TScreen::TScreen(TComponent* owner) : TComponent(owner) {}

int TScreen::Width() const { return QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry().width() : 1024; }
int TScreen::Height() const { return QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry().height() : 768; }
int TScreen::PixelsPerInch() const {
  return QGuiApplication::primaryScreen() ? static_cast<int>(QGuiApplication::primaryScreen()->logicalDotsPerInch()) : 96;
}

TRect TScreen::WorkAreaRect() const {
  if (!QGuiApplication::primaryScreen()) return {0, 0, 1024, 768};
  QRect r = QGuiApplication::primaryScreen()->availableGeometry();
  return Bounds(r.x(), r.y(), r.width(), r.height());
}

TRect TScreen::WorkAreaAt(TPoint p) const {
  if (QScreen* s = QGuiApplication::screenAt(QPoint(p.X, p.Y))) {
    QRect r = s->availableGeometry();
    return Bounds(r.x(), r.y(), r.width(), r.height());
  }
  return WorkAreaRect();
}

TRect TScreen::MonitorRectNear(const TRect& window, bool workArea) const {
  const QList<QScreen*> screens = QGuiApplication::screens();
  if (screens.isEmpty()) return workArea ? WorkAreaRect() : TRect(0, 0, Width(), Height());
  const QRect w(window.Left, window.Top, std::max(0, window.Width()), std::max(0, window.Height()));
  QScreen* best = nullptr;
  long long bestArea = -1, bestDistance = 0;
  for (QScreen* s : screens) {
    const QRect g = s->geometry();
    const QRect common = g.intersected(w);
    const long long area = common.isEmpty() ? 0 : (long long)common.width() * common.height();
    // Distance from the window to the screen along each axis (0 where they overlap).
    const long long dx = std::max({0, g.left() - w.right(), w.left() - g.right()});
    const long long dy = std::max({0, g.top() - w.bottom(), w.top() - g.bottom()});
    const long long distance = dx * dx + dy * dy;
    if (!best || area > bestArea || (area == 0 && bestArea == 0 && distance < bestDistance)) {
      best = s;
      bestArea = area;
      bestDistance = distance;
    }
  }
  const QRect r = workArea ? best->availableGeometry() : best->geometry();
  return Bounds(r.x(), r.y(), r.width(), r.height());
}

TForm* TScreen::ActiveForm() const {
  auto z = ZOrder();
  for (TForm* f : z)
    if (f->Showing()) return f;
  return nullptr;
}

int TScreen::HintPause() const { return Application ? Application->HintPause : 500; }

void TScreen::AddForm(TForm* f) {
  forms_.push_back(f);
  zorder_.push_back(f);
}

void TScreen::RemoveForm(TForm* f) {
  forms_.erase(std::remove(forms_.begin(), forms_.end(), f), forms_.end());
  zorder_.erase(std::remove(zorder_.begin(), zorder_.end(), f), zorder_.end());
}

std::vector<TForm*> TScreen::ZOrder() const {
  std::vector<TForm*> v(zorder_.rbegin(), zorder_.rend());
  // Stay-on-top windows come first.
  std::stable_partition(v.begin(), v.end(), [](TForm* f) { return (f->GetWindowLong(GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; });
  return v;
}

void TScreen::Raise(TForm* f) {
  auto it = std::find(zorder_.begin(), zorder_.end(), f);
  if (it == zorder_.end()) return;
  zorder_.erase(it);
  zorder_.push_back(f);
}

// ---------------------------------------------------------------------------------------------
// TApplication

TApplication::TApplication() : TComponent(nullptr) {
  Application = this;
  Screen = new TScreen(nullptr);
}

TApplication::~TApplication() {
  Destroying();
  DestroyComponents();
  delete Screen;
  Screen = nullptr;
  Application = nullptr;
}

void TApplication::Initialize(int& argc, char** argv) {
  if (!QApplication::instance()) {
    new QApplication(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    LoadToolkitTranslations();
  }
}

namespace {
QTranslator* gToolkitTranslator = nullptr;
}

bool LoadToolkitTranslations(const std::string& locale) {
  if (gToolkitTranslator) {
    QCoreApplication::removeTranslator(gToolkitTranslator);
    delete gToolkitTranslator;
    gToolkitTranslator = nullptr;
  }
  if (!QCoreApplication::instance()) return false;
  const QLocale wanted = locale.empty() ? QLocale::system() : QLocale(QString::fromStdString(locale));
  auto translator = std::make_unique<QTranslator>();
  if (!translator->load(wanted, QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    return false;
  gToolkitTranslator = translator.release();
  QCoreApplication::installTranslator(gToolkitTranslator);
  return true;
}

std::string ToolkitText(const char* context, const char* text) {
  return QCoreApplication::translate(context, text).toStdString();
}

void TApplication::Run() {
  running_ = true;
  if (mainForm_ && !terminated_) {
    HandleExceptions([&] { mainForm_->Show(); });
    while (!terminated_) {
      QApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents);
      if (mainForm_ && !mainForm_->Visible() && !minimized_) terminated_ = true;
    }
  }
  running_ = false;
}

void TApplication::Terminate() {
  terminated_ = true;
  if (QAbstractEventDispatcher* d = QAbstractEventDispatcher::instance()) d->wakeUp();
}

void TApplication::ProcessMessages() {
  QApplication::sendPostedEvents();
  QApplication::processEvents(QEventLoop::AllEvents);
}

bool TApplication::ProcessUntil(const std::function<bool()>& pred, int timeoutMs) {
  QElapsedTimer t;
  t.start();
  while (!pred()) {
    if (t.elapsed() > timeoutMs) return false;
    QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
  }
  return true;
}

void TApplication::Minimize() {
  if (minimized_) return;
  minimized_ = true;
  minimizedForms_.clear();
  // Remember the windows lowest first so they come back stacked as they were.
  auto z = Screen->ZOrder();
  for (auto it = z.rbegin(); it != z.rend(); ++it) {
    TForm* f = *it;
    if (!f->Showing()) continue;
    minimizedForms_.push_back(f);
    if (f == mainForm_) f->Handle()->Widget()->showMinimized();
    else f->Handle()->Widget()->hide();
  }
  SetMouseControl(nullptr);
  if (mainForm_) {
    TMessage m{WM_SIZE, SIZE_MINIMIZED, 0, 0};
    RunHooks(mainForm_, m);
  }
}

void TApplication::HideWindows() {
  if (!minimized_) Minimize();
  if (minimized_ && mainForm_ && mainForm_->Handle()) {
    mainForm_->Handle()->Widget()->hide();
    windowsHidden_ = true;
  }
}

void TApplication::Restore() {
  if (!minimized_) return;
  minimized_ = false;
  windowsHidden_ = false;
  auto forms = minimizedForms_;
  minimizedForms_.clear();
  for (TForm* f : forms) {
    bool alive = std::find(Screen->FormList().begin(), Screen->FormList().end(), f) != Screen->FormList().end();
    if (!alive || !f->Visible()) continue;
    QWidget* w = f->Handle()->Widget();
    if (w->isMinimized()) w->showNormal();
    w->show();
    f->BringWindowToFront();
  }
  // Windows shown while minimised appear now too.
  for (TForm* f : Screen->FormList())
    if (f->Visible() && !f->Handle()->Widget()->isVisible()) { f->Handle()->Widget()->show(); f->BringWindowToFront(); }
}

void TApplication::ShowException(const std::exception& e) {
  std::string text = e.what();
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
  MessageBox(text, Title, MB_OK | MB_ICONSTOP);
}

void TApplication::HandleExceptions(const std::function<void()>& fn) {
  try {
    fn();
  } catch (const EAbort&) {
  } catch (const std::exception& e) {
    ShowException(e);
  }
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
  TMessageBoxRecord rec;
  rec.text = text;
  rec.caption = caption;
  rec.flags = flags;
  rec.type = (flags & 0xF0) == MB_ICONSTOP ? TMsgDlgType::mtError
           : (flags & 0xF0) == MB_ICONWARNING ? TMsgDlgType::mtWarning
           : (flags & 0xF0) == MB_ICONINFORMATION ? TMsgDlgType::mtInformation
           : (flags & 0xF0) == MB_ICONQUESTION ? TMsgDlgType::mtConfirmation : TMsgDlgType::mtCustom;
  rec.buttons = (flags & 0xF) == MB_OKCANCEL ? std::vector<std::string>{"OK", "Cancel"}
              : (flags & 0xF) == MB_YESNO ? std::vector<std::string>{"Yes", "No"} : std::vector<std::string>{"OK"};
  return MessageDlg(text, rec.type, rec.buttons, caption);
}

namespace {
std::vector<QPointer<QMessageBox>> gOpenBoxes;

// A message box centred on the screen by the size it finally takes (the box lays itself out as
// it is shown). The windows it blocked take the keyboard again before it goes: the window manager
// hands the activation on as the box disappears, and a window that still refused the keyboard
// then would be passed over, leaving the program with no active window at all.
class TMessageBoxWindow : public QMessageBox {
 public:
  void Block() {
    if (Screen)
      for (TForm* f : Screen->FormList())
        if (f->Handle() && f->Handle()->Widget()->isEnabled()) {
          SetBlocked(f->Handle()->Widget(), true);
          blocked_.emplace_back(f->Handle()->Widget());
        }
  }
  void Unblock() {
    for (auto& w : blocked_)
      if (w) SetBlocked(w, false);
    blocked_.clear();
  }
  // A button (clicked, Enter, Escape) closes the box without passing through done().
  TMessageBoxWindow() { connect(this, &QMessageBox::buttonClicked, this, [this] { Unblock(); }); }
  void done(int result) override {
    Unblock();
    QMessageBox::done(result);
  }

 protected:
  void showEvent(QShowEvent* e) override {
    QMessageBox::showEvent(e);
    QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s) return;
    QRect area = s->geometry();
    QSize size = this->size();
    setGeometry(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2,
                size.width(), size.height());
  }

 private:
  std::vector<QPointer<QWidget>> blocked_;
};
}  // namespace

int OpenMessageBoxes() { return static_cast<int>(gOpenBoxes.size()); }

bool HandActivationToModal() {
  // A message box is above every window of the program; else the topmost modal form still
  // taking input.
  for (auto it = gOpenBoxes.rbegin(); it != gOpenBoxes.rend(); ++it)
    if (*it && (*it)->isVisible()) {
      (*it)->raise();
      (*it)->activateWindow();
      return true;
    }
  if (!Screen) return false;
  for (TForm* f : Screen->ZOrder())
    if (f->IsModal() && f->Showing() && f->Handle()->Widget()->isEnabled()) {
      f->BringWindowToFront();
      return true;
    }
  return false;
}

std::string NewestMessageBoxText() {
  for (auto it = gOpenBoxes.rbegin(); it != gOpenBoxes.rend(); ++it)
    if (*it) return (*it)->text().toStdString();
  return {};
}

void CloseMessageBoxes() {
  for (auto& box : std::vector<QPointer<QMessageBox>>(gOpenBoxes))
    if (box) box->reject();
}

int MessageDlg(const std::string& text, TMsgDlgType type, const std::vector<std::string>& buttons,
               const std::string& caption) {
  TMessageBoxRecord rec;
  rec.text = text;
  rec.caption = caption;
  rec.type = type;
  rec.buttons = buttons;
  rec.flags = type == TMsgDlgType::mtError ? MB_ICONSTOP : type == TMsgDlgType::mtWarning ? MB_ICONWARNING
            : type == TMsgDlgType::mtInformation ? MB_ICONINFORMATION
            : type == TMsgDlgType::mtConfirmation ? MB_ICONQUESTION : 0;
  if (gMessageBoxSeam) return gMessageBoxSeam(rec);
  TMessageBoxWindow box;
  // Every window of the program is disabled while the box is up.
  box.Block();
  // A box of a fixed size: the window manager offers neither minimise nor maximise for it.
  box.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  QPointer<QMessageBox> guard = &box;
  gOpenBoxes.push_back(guard);
  struct Forget {
    QPointer<QMessageBox> box;
    ~Forget() { gOpenBoxes.erase(std::remove(gOpenBoxes.begin(), gOpenBoxes.end(), box), gOpenBoxes.end()); }
  } forget{guard};
  TieToOwner(&box, nullptr);
  box.setWindowTitle(QString::fromStdString(caption));
  box.setText(QString::fromStdString(text));
  box.setIcon(type == TMsgDlgType::mtError ? QMessageBox::Critical : type == TMsgDlgType::mtWarning ? QMessageBox::Warning
              : type == TMsgDlgType::mtInformation ? QMessageBox::Information
              : type == TMsgDlgType::mtConfirmation ? QMessageBox::Question : QMessageBox::NoIcon);
  std::vector<QAbstractButton*> qbuttons;
  for (const std::string& b : buttons)
    qbuttons.push_back(box.addButton(QString::fromStdString(b), QMessageBox::AcceptRole));
  box.exec();
  box.Unblock();
  // The window under the box asks for the activation as well, in case the window manager gave
  // it elsewhere as the box went.
  if (Screen && !Application->Minimized())
    for (TForm* f : Screen->ZOrder())
      if (f->Showing() && f->Handle()->Widget()->isEnabled()) {
        f->BringWindowToFront();
        break;
      }
  auto it = std::find(qbuttons.begin(), qbuttons.end(), box.clickedButton());
  if (it == qbuttons.end()) return IDCANCEL;
  const std::string& label = buttons[it - qbuttons.begin()];
  return label == "OK" ? IDOK : label == "Yes" ? IDYES : label == "No" ? IDNO : label == "Cancel" ? IDCANCEL
       : IDFIRSTBUTTON + static_cast<int>(it - qbuttons.begin());
}

void ShowMessage(const std::string& text) {
  MessageDlg(text, TMsgDlgType::mtCustom, {"OK"}, Application ? Application->Title : std::string());
}

int TApplication::HookMainWindow(THook hook) {
  int id = nextHook_++;
  hooks_[id] = std::move(hook);
  return id;
}

void TApplication::UnhookMainWindow(int id) { hooks_.erase(id); }

bool TApplication::PreviewMessage(TMessage& msg) {
  if (!OnMessage) return false;
  TMessageEvent handler = OnMessage;  // the handler may replace itself
  bool handled = false;
  handler(msg, handled);
  return handled;
}

bool TApplication::RunHooks(TControl* target, TMessage& msg) {
  if (hooks_.empty()) return false;
  auto copy = hooks_;
  for (auto& [id, hook] : copy)
    if (hook(target, msg)) return true;
  return false;
}

void TApplication::SetMouseControl(TControl* c) {
  if (c == mouseControl_) return;
  TControl* old = mouseControl_;
  mouseControl_ = c;
  if (old) old->Perform(CM_MOUSELEAVE, 0, 0);
  if (c && mouseControl_ == c) c->Perform(CM_MOUSEENTER, 0, 0);
}

void TApplication::ControlDestroyed(TControl* c) {
  if (mouseControl_ == c) mouseControl_ = nullptr;
  if (captureControl_ == c) captureControl_ = nullptr;
  ForgetHintComponent(c);
}

void TApplication::Notification(TComponent* c, TOperation op) {
  TComponent::Notification(c, op);
  if (op != TOperation::opRemove) return;
  if (c == mainForm_) mainForm_ = nullptr;
  ForgetHintComponent(c);
}

// ---------------------------------------------------------------------------------------------
// Synthetic input

namespace Input {
namespace {
QPointer<QWidget> gPressTarget;
QPointer<QWidget> gHover;

QWidget* TargetAt(TPoint p) {
  if (gPressTarget && gButtonsDown != Qt::NoButton) return gPressTarget;
  if (QWidget* g = QWidget::mouseGrabber()) return g;
  TWinControl* top = FindWindowAtScreen(p);
  if (!top || !top->Handle()) return nullptr;
  QWidget* w = top->Handle()->Widget();
  QWidget* child = w->childAt(w->mapFromGlobal(QPoint(p.X, p.Y)));
  return child ? child : w;
}

void Send(QEvent::Type type, TPoint p, Qt::MouseButton button) {
  gLastPointer = p;
  QWidget* target = TargetAt(p);
  if (gHover != target && type == QEvent::MouseMove) {
    if (gHover) {
      QEvent leave(QEvent::Leave);
      QCoreApplication::sendEvent(gHover, &leave);
    }
    gHover = target;
  }
  if (!target) return;
  Qt::MouseButtons buttons = gButtonsDown;
  if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
    buttons |= button;
    gPressTarget = target;
  } else if (type == QEvent::MouseButtonRelease) {
    buttons &= ~button;
  }
  QPoint g(p.X, p.Y);
  QMouseEvent e(type, QPointF(target->mapFromGlobal(g)), QPointF(g), QPointF(g), button, buttons, Qt::NoModifier);
  QPointer<QWidget> guard = target;
  QCoreApplication::sendEvent(target, &e);
  if (type == QEvent::MouseButtonRelease && gButtonsDown == Qt::NoButton) gPressTarget = nullptr;
}

Qt::MouseButton QtButton(TMouseButton b) {
  return b == TMouseButton::mbRight ? Qt::RightButton : b == TMouseButton::mbMiddle ? Qt::MiddleButton : Qt::LeftButton;
}

QWidget* KeyTarget() {
  TForm* f = Screen ? Screen->ActiveForm() : nullptr;
  if (!f) return nullptr;
  if (f->ActiveControl() && f->ActiveControl()->Handle()) return f->ActiveControl()->Handle()->InputWidget();
  return f->Handle()->Widget();
}

Qt::KeyboardModifiers Mods(TShiftState s) {
  Qt::KeyboardModifiers m;
  if (s & ssShift) m |= Qt::ShiftModifier;
  if (s & ssCtrl) m |= Qt::ControlModifier;
  if (s & ssAlt) m |= Qt::AltModifier;
  return m;
}

QString TextOf(int vk, TShiftState s) {
  if (s & ssCtrl) {
    if (vk >= 'A' && vk <= 'Z') return QString(QChar(vk - 'A' + 1));
    return {};
  }
  if (s & ssAlt) {  // Alt+letter carries its character, for accelerators
    if (vk >= 'A' && vk <= 'Z') return QString(QChar((s & ssShift) ? vk : vk + 32));
    if (vk >= '0' && vk <= '9') return QString(QChar(vk));
    return {};
  }
  if (vk == VK_RETURN) return "\r";
  if (vk == VK_BACK) return "\b";
  if (vk == VK_TAB) return "\t";
  if (vk == VK_ESCAPE) return QString(QChar(27));
  if (vk == VK_SPACE) return " ";
  if (vk >= 'A' && vk <= 'Z') return QString(QChar((s & ssShift) ? vk : vk + 32));
  if (vk >= '0' && vk <= '9') return QString(QChar(vk));
  return {};
}
}  // namespace

void MouseMove(TPoint p) { Send(QEvent::MouseMove, p, Qt::NoButton); }
void MouseDown(TPoint p, TMouseButton b) { Send(QEvent::MouseButtonPress, p, QtButton(b)); }
void MouseUp(TPoint p, TMouseButton b) { Send(QEvent::MouseButtonRelease, p, QtButton(b)); }
void Click(TPoint p, TMouseButton b) {
  MouseMove(p);
  MouseDown(p, b);
  MouseUp(p, b);
}
void DoubleClick(TPoint p) {
  MouseMove(p);
  MouseDown(p);
  MouseUp(p);
  Send(QEvent::MouseButtonDblClick, p, Qt::LeftButton);
  MouseUp(p);
}
void Wheel(TPoint p, int delta) {
  gLastPointer = p;
  QWidget* target = TargetAt(p);
  if (!target) return;
  QPoint g(p.X, p.Y);
  QWheelEvent e(QPointF(target->mapFromGlobal(g)), QPointF(g), QPoint(), QPoint(0, delta), gButtonsDown,
                Qt::NoModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(target, &e);
}
void MoveOver(TControl* c, int x, int y) { MouseMove(c->ClientToScreen({x, y})); }
void ClickOn(TControl* c, int x, int y) { Click(c->ClientToScreen({x, y})); }

void KeyDown(int vk, TShiftState s) {
  QWidget* t = KeyTarget();
  if (!t) return;
  QKeyEvent e(QEvent::KeyPress, QtKeyOf(vk), Mods(s), TextOf(vk, s));
  QCoreApplication::sendEvent(t, &e);
}
void KeyUp(int vk, TShiftState s) {
  QWidget* t = KeyTarget();
  if (!t) return;
  QKeyEvent e(QEvent::KeyRelease, QtKeyOf(vk), Mods(s), TextOf(vk, s));
  QCoreApplication::sendEvent(t, &e);
}
void Key(int vk, TShiftState s) {
  KeyDown(vk, s);
  KeyUp(vk, s);
}
void Type(const std::string& utf8) {
  QString text = QString::fromStdString(utf8);
  for (char32_t ch : text.toUcs4()) {
    QWidget* t = KeyTarget();
    if (!t) return;
    QString one = QString::fromUcs4(&ch, 1);
    int key = (ch >= '0' && ch <= '9') ? Qt::Key_0 + (ch - '0') : (ch >= 'a' && ch <= 'z') ? Qt::Key_A + (ch - 'a') : 0;
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, one);
    QCoreApplication::sendEvent(t, &down);
    if ((t = KeyTarget())) {
      QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, one);
      QCoreApplication::sendEvent(t, &up);
    }
  }
}

}  // namespace Input

}  // namespace corvane
