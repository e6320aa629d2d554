#include "desktop/RealInput.h"

// The program's headers come before the X headers, whose macros (None, Status ...) they would meet.
#include "app/AboutWindow.h"
#include "app/MainWindow.h"
#include "app/NotesEditor.h"
#include "app/Program.h"
#include "app/ReadingWindow.h"
#include "app/ReferenceWindow.h"
#include "support/TestSupport.h"

#include <unistd.h>
#include <X11/Xatom.h>
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/shape.h>

#include <chrono>
#include <functional>
#include <memory>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <stdexcept>


namespace corvane::test {

namespace {

// The code points of UTF-8 text (invalid bytes are skipped).
std::vector<char32_t> CodePoints(const std::string& utf8) {
  std::vector<char32_t> out;
  for (size_t i = 0; i < utf8.size();) {
    auto b = static_cast<unsigned char>(utf8[i]);
    int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
    if (extra < 0 || i + static_cast<size_t>(extra) >= utf8.size()) { ++i; continue; }
    char32_t ch = extra == 0 ? b : b & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) ch = (ch << 6) | (static_cast<unsigned char>(utf8[i + static_cast<size_t>(k)]) & 0x3F);
    out.push_back(ch);
    i += static_cast<size_t>(extra) + 1;
  }
  return out;
}

Atom AtomOf(Display* d, const char* name) { return XInternAtom(d, name, False); }

// The 32-bit items of a window property (window ids, cardinals, atoms).
std::vector<unsigned long> Property(Display* d, Window w, const char* name) {
  Atom type;
  int format;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::vector<unsigned long> out;
  if (XGetWindowProperty(d, w, AtomOf(d, name), 0, 4096, False, AnyPropertyType, &type, &format, &count, &after,
                         &data) == Success && data) {
    if (format == 32) {
      auto* items = reinterpret_cast<unsigned long*>(data);
      out.assign(items, items + count);
    }
    XFree(data);
  }
  return out;
}

bool HasWmState(Display* d, Window w) {
  Atom type;
  int format;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  XGetWindowProperty(d, w, AtomOf(d, "WM_STATE"), 0, 0, False, AnyPropertyType, &type, &format, &count, &after, &data);
  if (data) XFree(data);
  return type != None;
}

// The client window inside a window manager's frame.
Window ClientIn(Display* d, Window w) {
  if (HasWmState(d, w)) return w;
  Window root, parent, *children = nullptr;
  unsigned n = 0;
  Window found = 0;
  if (XQueryTree(d, w, &root, &parent, &children, &n)) {
    for (unsigned i = n; i-- > 0 && !found;) found = ClientIn(d, children[i]);
    if (children) XFree(children);
  }
  return found;
}

}  // namespace

RealInput::RealInput() : d_(XOpenDisplay(nullptr)) {
  if (!d_) throw std::runtime_error("RealInput: no X display");
  int event, error, major, minor;
  if (!XTestQueryExtension(d_, &event, &error, &major, &minor)) throw std::runtime_error("RealInput: no XTest");
  // Key codes without any symbol can be given to characters the keyboard lacks.
  int minCode, maxCode, perCode;
  XDisplayKeycodes(d_, &minCode, &maxCode);
  KeySym* map = XGetKeyboardMapping(d_, static_cast<KeyCode>(minCode), maxCode - minCode + 1, &perCode);
  for (int code = maxCode; code >= minCode; --code) {
    bool empty = true;
    for (int i = 0; i < perCode; ++i) empty = empty && map[(code - minCode) * perCode + i] == NoSymbol;
    if (empty) freeCodes_.push_back(static_cast<unsigned>(code));
  }
  XFree(map);
}

RealInput::~RealInput() {
  // Give the borrowed key codes back (and let go of anything still held).
  for (auto& [sym, code] : spare_) {
    KeySym none = NoSymbol;
    XChangeKeyboardMapping(d_, static_cast<int>(code), 1, &none, 1);
  }
  for (int b = 1; b <= 3; ++b) XTestFakeButtonEvent(d_, static_cast<unsigned>(b), False, CurrentTime);
  // The pointer goes back to rest in the corner where the desktop put it (see scripts/desktop).
  XTestFakeMotionEvent(d_, DefaultScreen(d_), DisplayWidth(d_, DefaultScreen(d_)) - 1,
                       DisplayHeight(d_, DefaultScreen(d_)) - 1, CurrentTime);
  XSync(d_, False);
  XCloseDisplay(d_);
}

void RealInput::Sync() { XSync(d_, False); }

void RealInput::MoveTo(TPoint p) {
  XTestFakeMotionEvent(d_, DefaultScreen(d_), p.X, p.Y, CurrentTime);
  Sync();
}

void RealInput::Press(int button) {
  XTestFakeButtonEvent(d_, static_cast<unsigned>(button), True, CurrentTime);
  Sync();
}

void RealInput::Release(int button) {
  XTestFakeButtonEvent(d_, static_cast<unsigned>(button), False, CurrentTime);
  Sync();
}

void RealInput::Click(TPoint p, int button) {
  MoveTo(p);
  Press(button);
  Release(button);
}

void RealInput::DoubleClick(TPoint p) {
  Click(p);
  Click(p);
}

void RealInput::Drag(TPoint from, TPoint to, int steps) {
  MoveTo(from);
  Press();
  for (int i = 1; i <= steps; ++i)
    MoveTo({from.X + (to.X - from.X) * i / steps, from.Y + (to.Y - from.Y) * i / steps});
  Release();
}

unsigned RealInput::KeycodeFor(unsigned long keysym, bool& shift) {
  shift = false;
  if (auto it = spare_.find(keysym); it != spare_.end()) return it->second;
  KeyCode code = XKeysymToKeycode(d_, keysym);
  if (code) {
    if (XkbKeycodeToKeysym(d_, code, 0, 0) == keysym) return code;
    if (XkbKeycodeToKeysym(d_, code, 0, 1) == keysym) {
      shift = true;
      return code;
    }
  }
  if (freeCodes_.empty()) throw std::runtime_error("RealInput: no spare key code left");
  unsigned spare = freeCodes_.back();
  freeCodes_.pop_back();
  KeySym syms[2] = {keysym, keysym};
  XChangeKeyboardMapping(d_, static_cast<int>(spare), 2, syms, 1);
  Sync();
  spare_[keysym] = spare;
  return spare;
}

void RealInput::KeyWithModifiers(unsigned keycode, bool shift, bool ctrl, bool alt) {
  std::vector<KeyCode> mods;
  if (ctrl) mods.push_back(XKeysymToKeycode(d_, XStringToKeysym("Control_L")));
  if (alt) mods.push_back(XKeysymToKeycode(d_, XStringToKeysym("Alt_L")));
  if (shift) mods.push_back(XKeysymToKeycode(d_, XStringToKeysym("Shift_L")));
  for (KeyCode m : mods) XTestFakeKeyEvent(d_, m, True, CurrentTime);
  XTestFakeKeyEvent(d_, keycode, True, CurrentTime);
  XTestFakeKeyEvent(d_, keycode, False, CurrentTime);
  for (auto it = mods.rbegin(); it != mods.rend(); ++it) XTestFakeKeyEvent(d_, *it, False, CurrentTime);
  Sync();
}

void RealInput::Key(const std::string& combination) {
  bool ctrl = false, alt = false, shift = false;
  std::string rest = combination;
  for (size_t plus; (plus = rest.find('+')) != std::string::npos && plus + 1 < rest.size();) {
    std::string mod = rest.substr(0, plus);
    rest = rest.substr(plus + 1);
    if (mod == "ctrl") ctrl = true;
    else if (mod == "alt") alt = true;
    else if (mod == "shift") shift = true;
    else throw std::runtime_error("RealInput: unknown modifier " + mod);
  }
  KeySym sym = XStringToKeysym(rest.c_str());
  if (sym == NoSymbol) throw std::runtime_error("RealInput: unknown key " + rest);
  bool needsShift = false;
  unsigned code = KeycodeFor(sym, needsShift);
  KeyWithModifiers(code, shift || needsShift, ctrl, alt);
}

void RealInput::Type(const std::string& utf8) {
  for (char32_t ch : CodePoints(utf8)) {
    unsigned long sym = ch == '\n' ? XStringToKeysym("Return") : ch < 0x100 ? ch : (0x01000000UL | ch);
    bool shift = false;
    unsigned code = KeycodeFor(sym, shift);
    KeyWithModifiers(code, shift, false, false);
  }
}

uint64_t RealInput::TopWindowAt(TPoint p) {
  Window root = DefaultRootWindow(d_), parent, *children = nullptr;
  unsigned n = 0;
  uint64_t found = 0;
  if (!XQueryTree(d_, root, &root, &parent, &children, &n)) return 0;
  for (unsigned i = n; i-- > 0 && !found;) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(d_, children[i], &a) || a.map_state != IsViewable) continue;
    if (p.X < a.x || p.Y < a.y || p.X >= a.x + a.width + 2 * a.border_width || p.Y >= a.y + a.height + 2 * a.border_width)
      continue;
    Window client = ClientIn(d_, children[i]);
    found = client ? client : children[i];
  }
  if (children) XFree(children);
  return found;
}

TRect RealInput::WindowRectOf(uint64_t window) {
  XWindowAttributes a;
  if (!XGetWindowAttributes(d_, window, &a)) return {};
  int x = 0, y = 0;
  Window child;
  XTranslateCoordinates(d_, window, DefaultRootWindow(d_), 0, 0, &x, &y, &child);
  return Bounds(x, y, a.width, a.height);
}

std::string RealInput::WindowNameOf(uint64_t window) {
  Atom type;
  int format;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::string name;
  if (XGetWindowProperty(d_, window, AtomOf(d_, "_NET_WM_NAME"), 0, 1024, False, AtomOf(d_, "UTF8_STRING"), &type,
                         &format, &count, &after, &data) == Success && data) {
    name.assign(reinterpret_cast<char*>(data), count);
    XFree(data);
  }
  return name;
}

uint64_t RealInput::WindowManagerActive() {
  auto v = Property(d_, DefaultRootWindow(d_), "_NET_ACTIVE_WINDOW");
  return v.empty() ? 0 : v[0];
}

std::vector<uint64_t> RealInput::ClientStacking() {
  auto v = Property(d_, DefaultRootWindow(d_), "_NET_CLIENT_LIST_STACKING");
  return {v.begin(), v.end()};
}

uint64_t RealInput::TransientFor(uint64_t window) {
  Window owner = 0;
  return XGetTransientForHint(d_, window, &owner) ? owner : 0;
}

bool RealInput::HasState(uint64_t window, const char* state) {
  Atom wanted = AtomOf(d_, state);
  for (unsigned long a : Property(d_, window, "_NET_WM_STATE"))
    if (a == wanted) return true;
  return false;
}

bool RealInput::Allows(uint64_t window, const char* action) {
  Atom wanted = AtomOf(d_, action);
  for (unsigned long a : Property(d_, window, "_NET_WM_ALLOWED_ACTIONS"))
    if (a == wanted) return true;
  return false;
}

long RealInput::DecorationsAskedFor(uint64_t window) {
  // flags, functions, decorations, input mode, status; decorations count where flags has bit 2.
  auto hints = Property(d_, window, "_MOTIF_WM_HINTS");
  if (hints.size() < 3 || !(hints[0] & 2)) return -1;
  return static_cast<long>(hints[2]);
}

void RealInput::RequestClose(uint64_t window) {
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = static_cast<Window>(window);
  e.xclient.message_type = AtomOf(d_, "_NET_CLOSE_WINDOW");
  e.xclient.format = 32;
  e.xclient.data.l[0] = CurrentTime;
  e.xclient.data.l[1] = 2;  // from a pager or task bar: the user's request
  XSendEvent(d_, DefaultRootWindow(d_), False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
  XSync(d_, False);
}

WindowEventLog::WindowEventLog() : d_(XOpenDisplay(nullptr)) {
  if (!d_) throw std::runtime_error("WindowEventLog: no X display");
}

WindowEventLog::~WindowEventLog() { XCloseDisplay(d_); }

void WindowEventLog::WatchProperties(uint64_t window) {
  XSelectInput(d_, static_cast<Window>(window), PropertyChangeMask);
  XSync(d_, False);
}

void WindowEventLog::WatchMapping(uint64_t window) {
  XSelectInput(d_, static_cast<Window>(window), StructureNotifyMask);
  XSync(d_, False);
}

std::vector<std::string> WindowEventLog::Take() {
  XSync(d_, False);
  std::vector<std::string> seen;
  char id[32];
  while (XPending(d_)) {
    XEvent e;
    XNextEvent(d_, &e);
    if (e.type == PropertyNotify) {
      char* name = XGetAtomName(d_, e.xproperty.atom);
      std::snprintf(id, sizeof id, " 0x%lx", e.xproperty.window);
      seen.push_back(std::string(name ? name : "?") + id);
      if (name) XFree(name);
    } else if (e.type == UnmapNotify) {
      std::snprintf(id, sizeof id, "unmap 0x%lx", e.xunmap.window);
      seen.emplace_back(id);
    }
  }
  return seen;
}

bool RealInput::IsActive(TWinControl* form) { return form && WindowManagerActive() == WindowOf(form); }

bool RealInput::Viewable(uint64_t window) {
  XWindowAttributes a;
  return window && XGetWindowAttributes(d_, static_cast<Window>(window), &a) && a.map_state == IsViewable;
}

std::vector<uint64_t> RealInput::WindowsEmbeddedIn(const std::string& panelName, long pid) {
  std::vector<uint64_t> found;
  // Every window below `w`, depth first.
  std::function<void(Window, bool)> walk = [&](Window w, bool inPanel) {
    if (!inPanel && WindowNameOf(w) == panelName) inPanel = true;
    else if (inPanel) {
      XWindowAttributes a;
      auto owner = Property(d_, w, "_NET_WM_PID");
      if (!owner.empty() && static_cast<long>(owner[0]) == pid && XGetWindowAttributes(d_, w, &a) &&
          a.map_state == IsViewable)
        found.push_back(w);
    }
    Window root, parent, *children = nullptr;
    unsigned n = 0;
    if (!XQueryTree(d_, w, &root, &parent, &children, &n)) return;
    std::vector<Window> list(children, children + n);
    if (children) XFree(children);
    for (Window c : list) walk(c, inPanel);
  };
  walk(DefaultRootWindow(d_), false);
  return found;
}

long RealInput::ProcessOfWindowNamed(const std::string& name) {
  long pid = 0;
  std::function<void(Window)> walk = [&](Window w) {
    if (pid) return;
    if (WindowNameOf(w) == name) {
      auto v = Property(d_, w, "_NET_WM_PID");
      if (!v.empty()) pid = static_cast<long>(v[0]);
      return;
    }
    Window root, parent, *children = nullptr;
    unsigned n = 0;
    if (!XQueryTree(d_, w, &root, &parent, &children, &n)) return;
    std::vector<Window> list(children, children + n);
    if (children) XFree(children);
    for (Window c : list) walk(c);
  };
  walk(DefaultRootWindow(d_));
  return pid;
}

uint32_t RealInput::ScreenPixel(TPoint p) {
  XImage* img = XGetImage(d_, DefaultRootWindow(d_), p.X, p.Y, 1, 1, AllPlanes, ZPixmap);
  if (!img) return 0;
  uint32_t px = static_cast<uint32_t>(XGetPixel(img, 0, 0)) & 0xFFFFFF;
  XDestroyImage(img);
  return px;
}

bool RealInput::ShapeContains(uint64_t window, TPoint p) {
  int count = 0, ordering = 0;
  XRectangle* rects = XShapeGetRectangles(d_, static_cast<Window>(window), ShapeBounding, &count, &ordering);
  bool inside = false;
  for (int i = 0; i < count && !inside; ++i)
    inside = p.X >= rects[i].x && p.Y >= rects[i].y && p.X < rects[i].x + rects[i].width && p.Y < rects[i].y + rects[i].height;
  if (rects) XFree(rects);
  return inside;
}

uint64_t WindowOf(TWinControl* form) { return NativeWindowId(form); }

// ---------------------------------------------------------------------------------------------

Steps& Steps::Do(std::function<void()> action) {
  steps_.push_back({std::move(action), nullptr, {}, 0});
  return *this;
}

Steps& Steps::Until(const std::string& what, std::function<bool()> condition, int timeoutMs) {
  steps_.push_back({nullptr, std::move(condition), what, timeoutMs});
  return *this;
}

int ReleasesSeen() {
  static int seen = 0;
  static bool hooked = false;
  if (!hooked) {
    hooked = true;
    Application->HookMainWindow([](TControl*, TMessage& m) {
      // A press on a window's background starts a move, which takes the release itself.
      if (m.Msg == WM_LBUTTONUP || m.Msg == WM_RBUTTONUP || m.Msg == WM_MBUTTONUP || m.Msg == WM_NCLBUTTONUP ||
          m.Msg == WM_NCRBUTTONUP || m.Msg == WM_EXITSIZEMOVE)
        ++seen;
      return false;
    });
  }
  return seen;
}

Steps& Steps::Click(RealInput& input, std::function<TPoint()> where, int button) {
  auto before = std::make_shared<int>(0);
  UntilShownAt(input, where);
  Do([&input, where, button, before] {
    *before = ReleasesSeen();
    input.Click(where(), button);
  });
  return Until("the click arrived", [before] { return ReleasesSeen() > *before; });
}

Steps& Steps::DoubleClick(RealInput& input, std::function<TPoint()> where, std::function<int()> clicksTaken) {
  // A press can be held before the program gets it: on a caption it starts a move loop, which
  // grabs the pointer until the program takes the release; on the panel the window manager
  // holds it until it has looked at it. A second press that reaches the server while the first
  // is held, or while that grab is taken or given back, never reaches the program (the toolkit's
  // input log shows one press). So the second click goes as soon as the program has taken the
  // first, which is far within the double-click interval (the program answers in milliseconds),
  // as a person's double click is.
  if (!clicksTaken) clicksTaken = ReleasesSeen;
  auto before = std::make_shared<int>(0);
  UntilShownAt(input, where);
  Do([&input, where, before, clicksTaken] {
    *before = clicksTaken();
    input.Click(where());
  });
  Until("the program took the first click of the double click", [before, clicksTaken] { return clicksTaken() > *before; });
  return Do([&input, where] { input.Click(where()); });
}

Steps& Steps::EmptyLookupField(RealInput& input, TForm1* main) {
  auto* field = Find<TEdit>(main, "e1");
  return Click(input, [field] { return field->ClientToScreen({20, 8}); })
      .Until("the field has the focus", [main, field] { return main->ActiveControl() == field; })
      .Do([&input] { input.Key("ctrl+a"); input.Key("BackSpace"); })
      .Until("the field is empty", [field] { return field->Text().empty(); });
}

Steps& Steps::UntilShownAt(RealInput& input, std::function<TPoint()> where) {
  // The press goes where the X server has the windows, which is where the window manager has
  // put them so far: a window just opened, closed or restored may not be there yet. Wait until
  // the server shows the program's window at the point (a point outside the program's windows,
  // such as the panel, needs no wait).
  return Until("the window system shows the window the click is for", [&input, where] {
    const TPoint p = where();
    TWinControl* w = FindWindowAtScreen(p);
    if (!w) return true;
    const uint64_t top = input.TopWindowAt(p);
    if (top == WindowOf(w)) return true;
    // The rectangle of a shaped window may hold the point outside its shape, where the window
    // below it shows.
    if (!top) return false;
    const TRect r = input.WindowRectOf(top);
    return !input.ShapeContains(top, {p.X - r.Left, p.Y - r.Top});
  });
}

Steps& Steps::Holds(const std::string& what, std::function<bool()> condition, int ms) {
  steps_.push_back({nullptr, std::move(condition), what, ms, true});
  return *this;
}

std::string Steps::Run() {
  size_t next = 0;
  std::string failure;
  bool done = false;
  auto since = std::chrono::steady_clock::now();
  // CORVANE_STEPS=1 shows each wait as it ends.
  const bool verbose = std::getenv("CORVANE_STEPS") != nullptr;
  TTimer timer(nullptr);
  timer.SetInterval(5);
  timer.OnTimer = [&](TObject*) {
    if (done) {
      // The run unwinds: every modal window and message box still open is cancelled, from the
      // innermost loop outwards (the timer fires in each of them). A session should have closed
      // them itself.
      if (AnyModalOpen()) {
        if (failure.empty()) failure = "a modal window or message box was still open at the end";
        for (TForm* f : Screen->FormList())
          if (f->IsModal()) f->SetModalResult(mrCancel);
        CloseMessageBoxes();
      }
      return;
    }
    // Actions run straight on; a condition holds the run until it is met. The timer keeps
    // firing inside the modal loops the actions open, so the run goes on in there.
    try {
      while (next < steps_.size()) {
        Step& s = steps_[next];
        if (s.action) {
          ++next;
          since = std::chrono::steady_clock::now();
          s.action();
          continue;
        }
        bool met = s.condition();
        auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - since);
        if (s.holds) {
          if (!met) {
            failure = "stopped holding: " + s.what;
            done = true;
            return;
          }
          if (waited.count() < s.timeoutMs) return;
        } else if (!met) {
          if (waited.count() > s.timeoutMs) {
            failure = "timed out waiting for: " + s.what;
            done = true;
          }
          return;
        }
        if (verbose) std::fprintf(stderr, "  done waiting: %s\n", s.what.c_str());
        ++next;
        since = std::chrono::steady_clock::now();
        continue;
      }
    } catch (const std::exception& e) {
      failure = std::string("step failed: ") + e.what();
    }
    done = true;
  };
  timer.SetEnabled(true);
  bool finished = WaitFor([&] { return done; }, 120000);
  timer.SetEnabled(false);
  if (!finished && failure.empty()) return "the steps did not finish";
  return failure;
}

bool AnyModalOpen() {
  for (TForm* f : Screen->FormList())
    if (f->IsModal()) return true;
  return OpenMessageBoxes() > 0;
}

bool WaitFor(const std::function<bool()>& condition, int timeoutMs) {
  return Application->ProcessUntil(condition, timeoutMs);
}

void ProgramInFolder::Start(const std::string& name) {
  namespace fs = std::filesystem;
  dir = fs::temp_directory_path() / (name + "-" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  fs::copy(fs::path(SourceDir()) / "dat", dir / "dat", fs::copy_options::recursive);
  fs::current_path(dir);
  CreateStartupWindows(*Application);
  startup = {Form1, Form2, Form3, Form4, Form5};
}

void ProgramInFolder::Stop() {
  for (auto it = startup.rbegin(); it != startup.rend(); ++it) delete *it;
  startup.clear();
  Form1 = nullptr;
  std::filesystem::current_path(SourceDir());
  std::filesystem::remove_all(dir);
}

}  // namespace corvane::test
