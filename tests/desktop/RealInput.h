// Real input for window tests: key presses, clicks and pointer moves sent through the X server
// (XTest), so they reach the program exactly as a user's do, through the toolkit's focus handling,
// implicit pointer grabs and the window manager. Also what the X server knows: which window is
// on top at a point, where a window is, what the screen shows.
//
// Steps run a test as a user's session: actions and the conditions to wait for between them.
// They are driven by a timer, so they go on inside the modal loops the program's windows run.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/Conventions.h"
#include "platform/windows/Forms.h"

typedef struct _XDisplay Display;

namespace corvane::test {

// The active modal window of class T, shown, or null.
template <class T>
T* Modal() {
  auto* f = dynamic_cast<T*>(Screen->ActiveForm());
  return f && f->IsModal() && f->Showing() ? f : nullptr;
}

// A point of a form's named control (in its client coordinates) on the screen.
inline TPoint In(TForm* form, const std::string& name, int x, int y) {
  return Find<TControl>(form, name)->ClientToScreen({x, y});
}

// The program's windows made as at start-up, in a working folder of their own with a copy of dat/
// (the notes editor and the journal write there), for the sessions of one test suite.
struct ProgramInFolder {
  std::filesystem::path dir;
  std::vector<TForm*> startup;
  // Makes the folder (named `name` and the process id, under the temporary folder), goes there
  // and makes the windows.
  void Start(const std::string& name);
  // Frees the windows, goes back to the source folder and removes the folder.
  void Stop();
};

class RealInput {
 public:
  RealInput();
  ~RealInput();
  RealInput(const RealInput&) = delete;
  RealInput& operator=(const RealInput&) = delete;

  // Pointer, in screen coordinates. Buttons: 1 left, 2 middle, 3 right.
  void MoveTo(TPoint p);
  void Press(int button = 1);
  void Release(int button = 1);
  void Click(TPoint p, int button = 1);
  // Two clicks at once (a press the program or the window manager may hold, on a caption or the
  // panel, needs Steps::DoubleClick).
  void DoubleClick(TPoint p);
  // Press at `from`, move there in `steps` pointer moves, release at `to`.
  void Drag(TPoint from, TPoint to, int steps = 8);

  // A key by its X name ("Return", "Escape", "F4", "a"), with modifiers "ctrl", "shift", "alt"
  // joined by "+": Key("ctrl+c"), Key("alt+F4").
  void Key(const std::string& combination);
  // Types the text character by character; characters the keyboard has no key for get a spare
  // key code of their own for the life of this object.
  void Type(const std::string& utf8);
  // Sends everything queued to the server and waits until it has taken it.
  void Sync();

  // The top-level client window (not the window manager's frame) shown at a screen point.
  uint64_t TopWindowAt(TPoint p);
  // The window's outer rectangle on the screen (without the window manager's frame).
  TRect WindowRectOf(uint64_t window);
  std::string WindowNameOf(uint64_t window);
  uint64_t WindowManagerActive();  // _NET_ACTIVE_WINDOW
  // Whether the window manager has made the form's window the active one (the keyboard's).
  bool IsActive(TWinControl* form);
  // Client windows the window manager manages, bottom to top.
  std::vector<uint64_t> ClientStacking();
  uint64_t TransientFor(uint64_t window);
  bool HasState(uint64_t window, const char* state);  // e.g. "_NET_WM_STATE_SKIP_TASKBAR"
  // What the window manager lets the user do with the window (_NET_WM_ALLOWED_ACTIONS), e.g.
  // "_NET_WM_ACTION_MINIMIZE": its frame offers a button or a menu item only for these.
  bool Allows(uint64_t window, const char* action);
  // The frame decorations the window asks the window manager for (_MOTIF_WM_HINTS): the bits of
  // the title's buttons, minimise 0x20 and maximise 0x40, or 0x1 for all; -1 when it asks nothing.
  long DecorationsAskedFor(uint64_t window);
  // Asks the window manager to close the window (_NET_CLOSE_WINDOW), as a task bar's close item
  // or a window manager's close key does: the window gets the window manager's delete request.
  void RequestClose(uint64_t window);
  // Whether the window is mapped and viewable: the screen can show it.
  bool Viewable(uint64_t window);
  // Whether the window's shape (its region, in window coordinates) holds the point: the pointer
  // and the screen see the window only there.
  bool ShapeContains(uint64_t window, TPoint p);
  // The screen's pixel (0xRRGGBB).
  uint32_t ScreenPixel(TPoint p);
  // Viewable windows of the process `pid` (_NET_WM_PID) that the panel (the top-level window
  // named `panelName`) has taken into its own windows, as a notification area embeds its icons.
  std::vector<uint64_t> WindowsEmbeddedIn(const std::string& panelName, long pid);
  // The process (_NET_WM_PID) of the first window named `name`, 0 when there is none.
  long ProcessOfWindowNamed(const std::string& name);

 private:
  unsigned KeycodeFor(unsigned long keysym, bool& shift);
  void KeyWithModifiers(unsigned keycode, bool shift, bool ctrl, bool alt);
  Display* d_;
  std::map<unsigned long, unsigned> spare_;  // keysym -> key code given to it
  std::vector<unsigned> freeCodes_;
};

// What the window manager is told, in the order it is told: changes of the properties of some
// windows and the unmapping of others, read on an X connection of its own.
class WindowEventLog {
 public:
  WindowEventLog();
  ~WindowEventLog();
  WindowEventLog(const WindowEventLog&) = delete;
  WindowEventLog& operator=(const WindowEventLog&) = delete;
  void WatchProperties(uint64_t window);
  void WatchMapping(uint64_t window);
  // What happened since the last call: "WM_HINTS 0x800006" (a property changed), "unmap 0x800014".
  std::vector<std::string> Take();

 private:
  Display* d_;
};

// The native window of a form.
uint64_t WindowOf(TWinControl* form);

// A user's session as a list of steps: actions and conditions to wait for.
class Steps {
 public:
  Steps& Do(std::function<void()> action);
  // Waits until `condition` holds; a wait longer than `timeoutMs` fails the run with `what`.
  // (The default is generous: a loaded machine may take seconds; a run that passes never waits it.)
  Steps& Until(const std::string& what, std::function<bool()> condition, int timeoutMs = 20000);
  // Watches `condition` for `ms` milliseconds; the run fails with `what` if it ever stops holding
  // (what a user would see go wrong a moment after an action: a window covered, a timer firing).
  Steps& Holds(const std::string& what, std::function<bool()> condition, int ms);
  // Clicks at a screen point once the X server shows there the window the program has there,
  // and waits until the program has taken the release. The window
  // manager sees a click before the program does (it focuses and raises the window), so keys
  // sent right after a click can overtake it: a session waits for its clicks.
  Steps& Click(RealInput& input, std::function<TPoint()> where, int button = 1);
  // Clicks into the main window's lookup field and empties it with the keyboard: where a session
  // that types starts.
  Steps& EmptyLookupField(RealInput& input, TForm1* main);
  // Waits until the X server shows at the point the window the program has there (the first
  // half of Click, for a click whose release the program never sees).
  Steps& UntilShownAt(RealInput& input, std::function<TPoint()> where);
  // A double click at a point: the second click goes as soon as the program has taken the first,
  // that is, once `clicksTaken` (by default the releases the program's controls have had) grew.
  Steps& DoubleClick(RealInput& input, std::function<TPoint()> where, std::function<int()> clicksTaken = nullptr);
  // Runs the steps, processing events, until all are done or one fails. On failure every modal
  // window still open is cancelled so the test can end, and the failure is returned.
  std::string Run();

 private:
  struct Step {
    std::function<void()> action;
    std::function<bool()> condition;
    std::string what;
    int timeoutMs = 0;
    bool holds = false;
  };
  std::vector<Step> steps_;
};

// Mouse button releases the program's controls have received so far (a press that moved a
// window counts when the move ends).
int ReleasesSeen();

// A modal window or a message box is open.
bool AnyModalOpen();

// Processes events until `condition` holds or `timeoutMs` passes.
bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 5000);

}  // namespace corvane::test
