// Forms (top-level windows), the application object, the screen and timers.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "platform/windows/Controls.h"
#include "platform/windows/Hints.h"

namespace corvane {

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum class TPosition { poDesigned, poDefault, poScreenCenter, poDesktopCenter, poMainFormCenter };
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };
enum class TFormStyle { fsNormal, fsStayOnTop };
enum class TCloseAction { caNone, caHide, caFree, caMinimize };

using TModalResult = int;
constexpr TModalResult mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6,
                       mrNo = 7;

using TCloseEvent = std::function<void(TObject* sender, TCloseAction& action)>;
using TCloseQueryEvent = std::function<void(TObject* sender, bool& canClose)>;

// An event handler a form publishes by name for its layout to bind.
using THandler = std::variant<TNotifyEvent, TMouseEvent, TMouseMoveEvent, TKeyEvent, TKeyPressEvent,
                              TCloseEvent, TCloseQueryEvent, TShowHintEvent>;

class TForm : public TWinControl {
 public:
  explicit TForm(TComponent* owner);
  ~TForm() override;
  std::string ClassName() const override { return "TForm"; }

  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle s);
  TPosition Position = TPosition::poDesigned;
  TFormStyle FormStyle = TFormStyle::fsNormal;
  bool KeyPreview = false;
  bool Scaled = true;
  int PixelsPerInch = 96;  // the resolution the layout was designed at

  void Show();
  void Close();
  // Shows the form modally: every other window of the program is disabled and a nested event
  // loop runs until ModalResult becomes non-zero; returns the result. A disabled window hands the
  // activation on to the modal window and refuses the window manager's close request; Escape
  // that no control of the modal window takes closes it.
  TModalResult ShowModal();
  bool IsModal() const { return modal_; }
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult r);
  bool Active() const;
  // Whether the window system has made this window the active one (the one with the keyboard).
  bool WindowActive() const;
  TWinControl* ActiveControl() const { return activeControl_; }
  void SetActiveControl(TWinControl* c);
  // Called by controls as they receive the focus.
  void FocusChanged(TWinControl* c) { activeControl_ = c; }
  TWindowState WindowState() const;
  void SetWindowState(TWindowState s);
  void BringWindowToFront();
  void CenterOnScreen();
  TRect ClientRect() const override;

  TNotifyEvent OnCreate, OnDestroy, OnShow, OnHide, OnActivate, OnDeactivate, OnPaint;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;

  // Handlers published to layouts.
  const THandler* FindHandler(const std::string& name) const;
  void PublishHandler(const std::string& name, THandler h) { handlers_[name] = std::move(h); }

  // Runs after the layout has been loaded: OnCreate.
  void DoCreate();
  void Loaded() override;

  void SetVisible(bool v) override;
  bool Showing() const override;
  // The caption is also the window's title; the window gets WM_SETTEXT after the change.
  void SetText(const std::string& v) override;

 protected:
  void WndProc(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;
  void PaintWindow(TCanvas& canvas) override;
  virtual bool CloseQuery();
  // The platform's move loop (the system command SC_MOVE | HTCAPTION).
  void MoveLoop();
  // The platform's size loop (the system command SC_SIZE + one of the WMSZ_ edges): the edge
  // follows the pointer within the window's WM_GETMINMAXINFO tracking sizes until the release.
  void SizeLoop(int edge);

 private:
  friend class TApplication;
  TFormBorderStyle borderStyle_ = TFormBorderStyle::bsSizeable;
  bool modal_ = false;
  TModalResult modalResult_ = mrNone;
  TWinControl* activeControl_ = nullptr;
  std::map<std::string, THandler> handlers_;
  bool created_ = false;
};

// A timer component: OnTimer every Interval milliseconds while Enabled.
class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* owner);
  ~TTimer() override;
  std::string ClassName() const override { return "TTimer"; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  int Interval() const { return interval_; }
  void SetInterval(int ms);
  TNotifyEvent OnTimer;
 private:
  void Update();
  struct Impl;
  std::unique_ptr<Impl> impl_;
  bool enabled_ = true;
  int interval_ = 1000;
};

// A top-most tool window for pop-ups such as menus: placed exactly where asked, never activated
// and never given the keyboard, so the window that opened it stays the active one. It takes the
// mouse like any window (the routing finds shown pop-ups above every form). Subclasses paint it.
class TPopupWindow : public TCustomControl {
 public:
  explicit TPopupWindow(TComponent* owner);
  ~TPopupWindow() override;
  std::string ClassName() const override { return "TPopupWindow"; }
  // Shows the window with its top-left corner at the point and its current size, above every
  // other window, without activating it.
  void ShowAt(TPoint topLeft);
  void SetVisible(bool v) override;
  bool Showing() const override;
  // Takes the keyboard and the pointer for the program while the pop-up is on screen, for a
  // pop-up opened when none of the program's windows is active (a menu from the tray icon):
  // keys then come to this window, and a press outside every window of the program arrives here,
  // outside its client area. Presses on the program's own windows still go to them. Given back
  // when the pop-up hides or goes. False when the window system refused (another program holds a
  // grab) or the pop-up is not on screen.
  bool GrabInput();
  void ReleaseInput();
  bool InputGrabbed() const { return grabbed_; }
  // The pop-ups on screen, the most recently shown first.
  static std::vector<TPopupWindow*> ShownWindows();

 private:
  bool grabbed_ = false;
};

// Message boxes.
enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
constexpr unsigned MB_OK = 0x0, MB_OKCANCEL = 0x1, MB_YESNO = 0x4, MB_ICONSTOP = 0x10, MB_ICONQUESTION = 0x20,
                   MB_ICONWARNING = 0x30, MB_ICONINFORMATION = 0x40;
constexpr int IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7;
// MessageDlg answers a button of another label than OK, Cancel, Yes or No with this plus the
// button's index.
constexpr int IDFIRSTBUTTON = 100;

// What a message box showed; tests read these through the dialog seam.
struct TMessageBoxRecord {
  std::string text;
  std::string caption;
  unsigned flags = 0;          // MB_ flags (icon and buttons)
  TMsgDlgType type = TMsgDlgType::mtCustom;
  std::vector<std::string> buttons;
};

class TScreen : public TComponent {
 public:
  explicit TScreen(TComponent* owner);
  std::string ClassName() const override { return "TScreen"; }
  int Width() const;
  int Height() const;
  int PixelsPerInch() const;
  TRect WorkAreaRect() const;
  TRect WorkAreaAt(TPoint p) const;
  // The monitor nearest to a window rectangle (the one it overlaps most, else the closest one):
  // its work area as the window manager gives it (what panels leave free), or its whole area.
  TRect MonitorRectNear(const TRect& window, bool workArea) const;
  int FormCount() const { return static_cast<int>(forms_.size()); }
  TForm* Forms(int i) const { return forms_.at(i); }
  const std::vector<TForm*>& FormList() const { return forms_; }
  TForm* ActiveForm() const;
  TCursor Cursor = crDefault;
  int HintPause() const;
  void AddForm(TForm* f);
  void RemoveForm(TForm* f);
  // Forms on screen from topmost to lowest.
  std::vector<TForm*> ZOrder() const;
  void Raise(TForm* f);
 private:
  std::vector<TForm*> forms_;
  std::vector<TForm*> zorder_;  // lowest first
};

class TApplication : public TComponent {
 public:
  TApplication();
  ~TApplication() override;
  std::string ClassName() const override { return "TApplication"; }

  // Creates the toolkit application and loads the toolkit's own translations for the user's
  // locale (LoadToolkitTranslations); call once before anything else.
  static void Initialize(int& argc, char** argv);

  std::string Title;
  TForm* MainForm() const { return mainForm_; }
  // Creates a form owned by the application; the first one becomes the main form.
  template <class T>
  T* CreateForm() {
    T* f = new T(this);
    RegisterForm(f);
    return f;
  }
  void RegisterForm(TForm* f) { if (!mainForm_) mainForm_ = f; }
  // Shows the main form and runs the event loop until it closes.
  void Run();
  bool Running() const { return running_; }
  bool Terminated() const { return terminated_; }
  void Terminate();
  // Forgets a finished run so that another Run can start (tests run several in one process).
  void ResetRun() { terminated_ = false; }
  // Handles every event already waiting, then returns.
  void ProcessMessages();
  // Runs the event loop until pred() holds or the timeout passes; returns pred().
  bool ProcessUntil(const std::function<bool()>& pred, int timeoutMs = 5000);

  // Minimises every window of the program together and restores them as they were. Once the
  // windows are down, the hooks see WM_SIZE with SIZE_MINIMIZED (target: the main window).
  void Minimize();
  void Restore();
  bool Minimized() const { return minimized_; }
  // Minimises the program (when it is not) and hides the main window too, so nothing of it stays
  // in the task bar; Restore brings every window back. While the windows are hidden so (the
  // program is in the tray), a window the program hides brings the others back first: the
  // program never runs on with nothing on the screen.
  void HideWindows();
  bool WindowsHidden() const { return minimized_ && windowsHidden_; }

  // The error box: stop icon, OK, caption = Title, the text with a full stop appended when its
  // last character sorts after ".".
  void ShowException(const std::exception& e);
  // Runs fn, showing any exception in the error box (what the event loop does for handlers).
  void HandleExceptions(const std::function<void()>& fn);

  int MessageBox(const std::string& text, const std::string& caption, unsigned flags);

  // Pop-up hints (Hints.h). The show-hint switch: turning it off destroys the hint window, turning
  // it on makes one of the installed hint window class; a hint component flips it twice so that
  // the window object becomes one of its class.
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool on);
  int HintPause = 500;       // milliseconds the pointer rests before the first hint
  int HintShortPause = 50;   // ... before the next one while a hint is showing
  int HintHidePause = 2500;  // how long a hint stays
  TColor HintColor = clInfoBk;
  THintWindowClass HintWindowClass() const;
  void SetHintWindowClass(THintWindowClass windowClass);
  // The hint window object; none until the first hint or until the switch turns on.
  THintWindow* HintWindow() const;
  // The show-hint notification. Given a `source`, it is withdrawn as that component is
  // destroyed, so a destroyed component is never called.
  void SetOnShowHint(TShowHintEvent handler, TComponent* source = nullptr);
  bool HasOnShowHint() const;
  // Shows the hint of the control at the screen point now, without waiting for the pause.
  void ActivateHint(TPoint cursorPos);
  // Hides the hint and forgets its control; the next rest of the pointer starts a new one.
  void CancelHint();
  // From the mouse routing: the pointer moved over `control` (client area) or left `window`.
  void HintMouseMessage(TControl* control, TPoint screen);
  void HintMouseLeft(TWinControl* window);

  // The application's message handler: sees every key press (WM_KEYDOWN, or WM_SYSKEYDOWN with
  // Alt held; WParam the virtual key, LParam the shift state) and every turn of the mouse wheel
  // (WM_MOUSEWHEEL, WParam the turn in steps of 120) before anything of the window does. Setting
  // `handled` swallows the message. Whoever replaces it keeps the previous one to put it back.
  using TMessageEvent = std::function<void(TMessage& msg, bool& handled)>;
  TMessageEvent OnMessage;
  // Offers a message to OnMessage; true when it was handled there.
  bool PreviewMessage(TMessage& msg);

  // An application-wide message hook: sees every message before its control; returning true
  // swallows it.
  using THook = std::function<bool(TControl* target, TMessage& msg)>;
  int HookMainWindow(THook hook);
  void UnhookMainWindow(int id);
  bool RunHooks(TControl* target, TMessage& msg);

  // The control under the mouse (for enter/leave) and the one that holds the capture.
  TControl* MouseControl() const { return mouseControl_; }
  void SetMouseControl(TControl* c);
  TControl* CaptureControl() const { return captureControl_; }
  void SetCaptureControl(TControl* c) { captureControl_ = c; }
  // Forgets a control that is being destroyed.
  void ControlDestroyed(TControl* c);
  TNotifyEvent OnIdle;

 protected:
  void Notification(TComponent* c, TOperation op) override;

 private:
  TForm* mainForm_ = nullptr;
  bool running_ = false, terminated_ = false, minimized_ = false, windowsHidden_ = false;
  std::vector<TForm*> minimizedForms_;
  std::map<int, THook> hooks_;
  int nextHook_ = 1;
  TControl* mouseControl_ = nullptr;
  TControl* captureControl_ = nullptr;
  bool showHint_ = true;
  struct HintState;  // Hints.cpp
  struct HintStateDeleter { void operator()(HintState* h) const; };
  mutable std::unique_ptr<HintState, HintStateDeleter> hint_;
  HintState& Hints() const;  // made on first use
  // Drops every reference the hint cycle holds to a component that goes away.
  void ForgetHintComponent(TComponent* c);
};

extern TApplication* Application;
extern TScreen* Screen;

// Message dialogs. Both go through the dialog seam when one is installed (tests answer them);
// otherwise they show a modal box.
int MessageDlg(const std::string& text, TMsgDlgType type, const std::vector<std::string>& buttons,
               const std::string& caption);
// A message with no icon, one "OK" button and the application title as caption.
void ShowMessage(const std::string& text);

// Message boxes on screen now (nested boxes count each), and a way to cancel them all (as
// Escape would), for tools and tests that drive the program from outside.
int OpenMessageBoxes();
void CloseMessageBoxes();
// The text of the message box opened last of those on screen (empty when there is none).
std::string NewestMessageBoxText();

// Test seam: when set, every message box calls it instead of showing a window and returns its
// answer (an ID value).
extern std::function<int(const TMessageBoxRecord&)> gMessageBoxSeam;

// Synthetic input that travels the same routing as real input (tests and tools).
namespace Input {
void MouseMove(TPoint screen);
void MouseDown(TPoint screen, TMouseButton button = TMouseButton::mbLeft);
void MouseUp(TPoint screen, TMouseButton button = TMouseButton::mbLeft);
void Click(TPoint screen, TMouseButton button = TMouseButton::mbLeft);
void DoubleClick(TPoint screen);
// Moves over a control's client point (converted to screen coordinates).
void MoveOver(TControl* c, int x = 1, int y = 1);
void ClickOn(TControl* c, int x = 1, int y = 1);
void KeyDown(int vk, TShiftState shift = 0);
void KeyUp(int vk, TShiftState shift = 0);
void Key(int vk, TShiftState shift = 0);
void Type(const std::string& utf8);
// Turns the wheel over the window at the screen point (`delta` in steps of 120, away from the
// user positive).
void Wheel(TPoint screen, int delta);
}  // namespace Input

// The toolkit's own texts (its font and colour dialogs, the text fields' right-click menus, the
// message box's buttons) in the language of `locale` ("zh_CN"; empty: the user's, from the
// environment), from the translations the system installs for it. The program's own texts are not
// touched. Replaces the translations loaded before; false, with none loaded, when there are none
// for that locale ("C", "en").
bool LoadToolkitTranslations(const std::string& locale = {});
// What the toolkit shows for one of its own texts (`context` as the toolkit names it) under the
// translations loaded.
std::string ToolkitText(const char* context, const char* text);

}  // namespace corvane
