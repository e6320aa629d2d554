// Start-up as a user meets it, seen from the X server: starts each program in a fresh process,
// alternately, and times from the exec to its first window being mapped and to that window's
// first complete paint; then reads the process's peak resident memory (VmHWM) and ends it.
//
// "Complete" means the window shows what it shows once it has settled: the first run of each
// program is a warm-up whose settled pictures become the references (a blinking text caret gives
// two), and from then on every damage report of the window (XDamage) is followed by a read-back of
// its pixels, compared with the references. The time of the damage report that completed the
// picture is the paint time.
//
//   startup_timer RUNS SETTLE_MS LABEL 'COMMAND ARGS' [LABEL 'COMMAND ARGS' ...]
//
// The first program is the floor: the others are reported as ratios of its medians.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

double Now() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec + ts.tv_nsec * 1e-9;
}

int IgnoreErrors(Display*, XErrorEvent*) { return 0; }  // windows come and go under us

struct Program {
  std::string label;
  std::vector<std::string> argv;
  std::vector<std::vector<char>> references;  // settled pixels of its window
  int refWidth = 0, refHeight = 0;
  std::vector<double> mapped, painted, hwmKb;
  int failures = 0;
};

struct RunResult {
  bool ok = false;
  double mapped = 0, painted = 0, hwmKb = 0;
  std::string why;
};

long WindowPid(Display* d, Window w) {
  static Atom pidAtom = XInternAtom(d, "_NET_WM_PID", False);
  Atom type;
  int format;
  unsigned long n, after;
  unsigned char* data = nullptr;
  long pid = -1;
  if (XGetWindowProperty(d, w, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &n, &after, &data) == Success &&
      data && n == 1 && format == 32)
    pid = static_cast<long>(*reinterpret_cast<unsigned long*>(data));
  if (data) XFree(data);
  return pid;
}

std::optional<std::vector<char>> Pixels(Display* d, Window w, int& width, int& height) {
  XWindowAttributes a;
  if (!XGetWindowAttributes(d, w, &a) || a.map_state != IsViewable) return std::nullopt;
  XImage* img = XGetImage(d, w, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
  if (!img) return std::nullopt;
  std::vector<char> px(img->data, img->data + static_cast<size_t>(img->bytes_per_line) * img->height);
  width = a.width;
  height = a.height;
  XDestroyImage(img);
  return px;
}

double VmHwmKb(pid_t pid) {
  std::ifstream f("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(f, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::atof(line.c_str() + 6);
  return 0;
}

pid_t Start(const std::vector<std::string>& args) {
  pid_t pid = fork();
  if (pid == 0) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  return pid;
}

void Stop(pid_t pid) {
  kill(pid, SIGTERM);
  int status;
  waitpid(pid, &status, 0);
}

// Waits for the next X event up to `until`; false at the deadline.
bool NextEvent(Display* d, XEvent& e, double until) {
  while (!XPending(d)) {
    double left = until - Now();
    if (left <= 0) return false;
    pollfd p{ConnectionNumber(d), POLLIN, 0};
    poll(&p, 1, static_cast<int>(left * 1000) + 1);
  }
  XNextEvent(d, &e);
  return true;
}

RunResult RunOnce(Display* d, int damageEvent, Program& prog, bool warmUp, int settleMs) {
  RunResult r;
  XSync(d, True);  // nothing left over from the previous run
  const double t0 = Now();
  const pid_t pid = Start(prog.argv);
  const double deadline = t0 + 20;
  Window target = 0;
  Damage damage = 0;
  double lastDamage = 0;
  bool complete = false;
  XEvent e;
  auto compare = [&] {
    int w = 0, h = 0;
    auto px = Pixels(d, target, w, h);
    return px && w == prog.refWidth && h == prog.refHeight &&
           std::find(prog.references.begin(), prog.references.end(), *px) != prog.references.end();
  };
  auto take = [&](Window w) {
    if (target || WindowPid(d, w) != pid) return;
    target = w;
    r.mapped = Now() - t0;
    damage = XDamageCreate(d, w, XDamageReportRawRectangles);
    lastDamage = Now();
    if (!warmUp && compare()) { complete = true; r.painted = lastDamage - t0; }
  };
  while (!complete) {
    if (!NextEvent(d, e, warmUp && target ? lastDamage + settleMs / 1000.0 : deadline)) break;
    if (e.type == CreateNotify) {
      XSelectInput(d, e.xcreatewindow.window, StructureNotifyMask);
      // Mapped before we were listening: take it now.
      XWindowAttributes a;
      if (XGetWindowAttributes(d, e.xcreatewindow.window, &a) && a.map_state == IsViewable) take(e.xcreatewindow.window);
    } else if (e.type == MapNotify && e.xmap.event == e.xmap.window) {
      take(e.xmap.window);
    } else if (e.type == damageEvent + XDamageNotify) {
      auto* de = reinterpret_cast<XDamageNotifyEvent*>(&e);
      if (de->damage != damage) continue;
      lastDamage = Now();
      // Take the reports that follow within 2 ms before reading the pixels back, so the reading
      // seldom holds up the report of a paint still going on.
      for (XEvent more; NextEvent(d, more, Now() + 0.002);) {
        if (more.type != damageEvent + XDamageNotify) { XPutBackEvent(d, &more); break; }
        if (reinterpret_cast<XDamageNotifyEvent*>(&more)->damage == damage) lastDamage = Now();
      }
      XDamageSubtract(d, damage, None, None);
      if (!warmUp && compare()) { complete = true; r.painted = lastDamage - t0; }
    }
  }
  if (!target) {
    r.why = "no window mapped";
  } else if (warmUp) {
    // The settled picture, and whatever else the window shows in the next 1.5 s.
    auto px = Pixels(d, target, prog.refWidth, prog.refHeight);
    if (px) { prog.references.push_back(std::move(*px)); r.ok = true; } else { r.why = "window gone"; }
    for (double until = Now() + 1.5; r.ok && NextEvent(d, e, until);) {
      if (e.type != damageEvent + XDamageNotify) continue;
      XDamageSubtract(d, damage, None, None);
      int w = 0, h = 0;
      auto more = Pixels(d, target, w, h);
      if (more && w == prog.refWidth && h == prog.refHeight &&
          std::find(prog.references.begin(), prog.references.end(), *more) == prog.references.end())
        prog.references.push_back(std::move(*more));
    }
  } else if (!complete) {
    r.why = "never painted as the reference";
  } else {
    // Settle, then the peak resident memory of the start-up.
    double until = Now() + settleMs / 1000.0;
    while (NextEvent(d, e, until)) {}
    r.hwmKb = VmHwmKb(pid);
    r.ok = true;
  }
  if (damage) XDamageDestroy(d, damage);
  Stop(pid);
  return r;
}

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

std::vector<std::string> Split(const std::string& s) {
  std::istringstream in(s);
  std::vector<std::string> out;
  for (std::string w; in >> w;) out.push_back(w);
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5 || (argc - 3) % 2) {
    std::fprintf(stderr, "usage: %s RUNS SETTLE_MS LABEL 'COMMAND ARGS' [LABEL 'COMMAND ARGS' ...]\n", argv[0]);
    return 2;
  }
  const int runs = std::atoi(argv[1]), settleMs = std::atoi(argv[2]);
  std::vector<Program> programs;
  for (int i = 3; i + 1 < argc; i += 2) programs.push_back({argv[i], Split(argv[i + 1])});

  Display* d = XOpenDisplay(nullptr);
  if (!d) { std::fprintf(stderr, "no display\n"); return 1; }
  XSetErrorHandler(IgnoreErrors);
  int damageEvent = 0, damageError = 0;
  if (!XDamageQueryExtension(d, &damageEvent, &damageError)) { std::fprintf(stderr, "no XDamage\n"); return 1; }
  XSelectInput(d, DefaultRootWindow(d), SubstructureNotifyMask);

  for (Program& p : programs) {
    RunResult r = RunOnce(d, damageEvent, p, true, settleMs);
    if (!r.ok) { std::fprintf(stderr, "%s: warm-up failed: %s\n", p.label.c_str(), r.why.c_str()); return 1; }
  }
  // Alternate the programs, starting each round with the next one, so none always follows the same.
  for (int run = 0; run < runs; ++run) {
    for (size_t k = 0; k < programs.size(); ++k) {
      Program& p = programs[(run + k) % programs.size()];
      RunResult r = RunOnce(d, damageEvent, p, false, settleMs);
      if (!r.ok) { ++p.failures; std::fprintf(stderr, "%s run %d: %s\n", p.label.c_str(), run, r.why.c_str()); continue; }
      p.mapped.push_back(r.mapped * 1000);
      p.painted.push_back(r.painted * 1000);
      p.hwmKb.push_back(r.hwmKb);
    }
  }
  XCloseDisplay(d);

  const Program& floor = programs.front();
  const double fm = Median(floor.mapped), fp = Median(floor.painted), fh = Median(floor.hwmKb);
  std::printf("%-12s %5s %10s %10s %10s %8s %8s %8s\n", "program", "runs", "mapped ms", "painted ms", "VmHWM MB",
              "x mapped", "x paint", "x memory");
  for (const Program& p : programs) {
    const double m = Median(p.mapped), pt = Median(p.painted), h = Median(p.hwmKb);
    std::printf("%-12s %5zu %10.1f %10.1f %10.1f %8.2f %8.2f %8.2f\n", p.label.c_str(), p.painted.size(), m, pt,
                h / 1024, m / fm, pt / fp, h / fh);
  }
  for (const Program& p : programs)
    if (p.failures) std::printf("%s: %d runs failed\n", p.label.c_str(), p.failures);
  return 0;
}
