#!/usr/bin/python3
"""Random real input against the program on the desktop DISPLAY names (scripts/monkey starts one).

Usage: monkey.py [SECONDS] [SEED]

Clicks, double and right clicks, drags, the wheel, keys and typed text go through the X server
(the XTest extension) into the program's windows and the panel (its task bar and notification
area, to bring minimised and hidden windows back). The program (a copy of it) works in a copy
of dat/ in a temporary folder with a home folder of its own; when it ends normally (exit code 0) it is started
again. The run fails on:
  - a crash or any other exit code than 0 (a sanitizer build halts on its first report),
  - a sanitizer report in the program's output,
  - a hang: a window of the program that does not answer the ping of the window manager
    protocol (_NET_WM_PING) within MONKEY_HANG seconds (default 30).
On failure it prints the seed, the reason, the last 50 events and the end of the program's
output, and exits with 1. The same seed gives the same choices again (where a choice depends on
the windows on the screen, a replay is as close as the program's timing allows).

Environment: CORVANE (the program, default build/corvane, or build-sanitize/corvane with
SANITIZE=1), MONKEY_HANG (seconds, default 30), MONKEY_KEEP=1 keeps the temporary folder.
"""

import collections
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import time

from Xlib import X, XK, Xatom, display, error, protocol
from Xlib.ext import xtest

ROOT_DIR = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SANITIZER_MARKS = ("ERROR: AddressSanitizer", "ERROR: LeakSanitizer", "runtime error:",
                   "ERROR: UndefinedBehaviorSanitizer", "WARNING: AddressSanitizer")

# Keys: (modifiers, key name), with weights. Alt+F4 and Ctrl+V come often enough to be met many
# times a minute, not so often that the program spends the run restarting.
KEYS = [
    ((), "Escape", 8), ((), "Return", 6), ((), "Tab", 6), (("Shift_L",), "Tab", 3),
    ((), "Up", 3), ((), "Down", 3), ((), "Left", 3), ((), "Right", 3),
    ((), "Home", 1), ((), "End", 1), ((), "Prior", 1), ((), "Next", 1),
    ((), "BackSpace", 2), ((), "Delete", 2), ((), "space", 2), ((), "F10", 3),
    (("Alt_L",), "F4", 2), (("Alt_L",), "space", 2),
    (("Control_L",), "a", 3), (("Control_L",), "c", 3), (("Control_L",), "v", 4),
    (("Control_L",), "x", 3), (("Control_L",), "z", 3),
]
TEXT_CHARS = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 .,-"


class Failure(Exception):
    pass


class Monkey:
    def __init__(self, seconds, seed):
        self.seconds = seconds
        self.seed = seed
        self.rng = random.Random(seed)
        self.events = collections.deque(maxlen=50)
        self.count = 0
        self.starts = 0
        self.hang_limit = float(os.environ.get("MONKEY_HANG", "30"))
        sanitize = os.environ.get("SANITIZE", "0") == "1"
        default = os.path.join(ROOT_DIR, "build-sanitize" if sanitize else "build", "corvane")
        self.program = os.path.abspath(os.environ.get("CORVANE", default))
        self.d = display.Display()
        self.root = self.d.screen().root
        self.width = self.d.screen().width_in_pixels
        self.height = self.d.screen().height_in_pixels
        self.atom = lambda name: self.d.intern_atom(name)
        # The answer to a ping goes to the root window for those who listen to its structure.
        self.root.change_attributes(event_mask=X.StructureNotifyMask | X.SubstructureNotifyMask)
        self.proc = None
        self.pings = {}  # token -> (window, sent at)
        self.token = 1
        self.last_ping = 0.0
        self.work = tempfile.mkdtemp(prefix="corvane-monkey-")
        self.log_path = os.path.join(self.work, "program.log")
        self.t0 = time.monotonic()

    # -- the program ---------------------------------------------------------------------------

    def start(self):
        folder = os.path.join(self.work, "run")
        if not os.path.isdir(folder):
            os.makedirs(os.path.join(folder, "home"))
            shutil.copytree(os.path.join(ROOT_DIR, "dat"), os.path.join(folder, "dat"))
            # A copy of the program too: it keeps its settings (corvane.ini) beside itself.
            shutil.copy2(self.program, os.path.join(folder, "corvane"))
        env = dict(os.environ)
        env["HOME"] = os.path.join(folder, "home")
        env["XDG_CONFIG_HOME"] = os.path.join(folder, "home", ".config")
        env["XDG_DATA_HOME"] = os.path.join(folder, "home", ".local", "share")
        env.setdefault("ASAN_OPTIONS", "halt_on_error=1:detect_leaks=1")
        env.setdefault("UBSAN_OPTIONS", "halt_on_error=1:print_stacktrace=1")
        env.setdefault("LSAN_OPTIONS", "suppressions=" + os.path.join(ROOT_DIR, "tests", "sanitizers", "lsan.supp"))
        log = open(self.log_path, "a")
        log.write("--- start %d at %.1f s\n" % (self.starts + 1, self.elapsed()))
        log.flush()
        self.proc = subprocess.Popen([os.path.join(folder, "corvane")], cwd=folder, env=env, stdout=log, stderr=log,
                                     stdin=subprocess.DEVNULL)
        log.close()
        self.starts += 1
        self.pings.clear()
        self.record("start program (pid %d)" % self.proc.pid)
        # Up to a minute for the first window (a sanitizer build on a loaded machine is slow).
        limit = time.monotonic() + 60
        while time.monotonic() < limit:
            self.check_exit()
            if self.clients():
                return
            time.sleep(0.1)
        raise Failure("the program showed no window within 60 s of its start")

    def stop(self):
        if self.proc and self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()

    def check_exit(self):
        rc = self.proc.poll()
        report = self.sanitizer_report()
        if report:
            # The sanitizer writes the rest of its report (the stacks) and then ends the program.
            try:
                self.proc.wait(timeout=60)
            except subprocess.TimeoutExpired:
                pass
            raise Failure("a sanitizer report in the program's output")
        if rc is None:
            return
        if rc == 0:
            self.record("program ended normally (exit code 0): starting it again")
            self.start()
            return
        if rc < 0:
            raise Failure("the program died of signal %d (%s)" % (-rc, signal.Signals(-rc).name))
        raise Failure("the program ended with exit code %d" % rc)

    def sanitizer_report(self):
        try:
            with open(self.log_path, errors="replace") as f:
                text = f.read()
        except OSError:
            return False
        return any(m in text for m in SANITIZER_MARKS)

    # -- windows -------------------------------------------------------------------------------

    def pid_of(self, w):
        try:
            p = w.get_full_property(self.atom("_NET_WM_PID"), Xatom.CARDINAL)
            return p.value[0] if p and len(p.value) else None
        except error.XError:
            return None

    def abs_rect(self, w):
        try:
            g = w.get_geometry()
            t = self.root.translate_coords(w, 0, 0)
            return (t.x, t.y, g.width, g.height)
        except error.XError:
            return None

    def clients(self):
        """The program's managed windows that are on the screen."""
        out = []
        prop = self.root.get_full_property(self.atom("_NET_CLIENT_LIST"), Xatom.WINDOW)
        for wid in (prop.value if prop else []):
            w = self.d.create_resource_object("window", wid)
            if self.pid_of(w) != self.proc.pid:
                continue
            try:
                if w.get_attributes().map_state != X.IsViewable:
                    continue
            except error.XError:
                continue
            out.append(w)
        return out

    def popups(self):
        """The program's unmanaged windows on the screen (menus, hints, drop-down lists)."""
        out = []
        try:
            children = self.root.query_tree().children
        except error.XError:
            return out
        for w in children:
            try:
                a = w.get_attributes()
            except error.XError:
                continue
            if a.override_redirect and a.map_state == X.IsViewable and self.pid_of(w) == self.proc.pid:
                out.append(w)
        return out

    def panel_rect(self):
        # The strip below the work area the panel reserves.
        prop = self.root.get_full_property(self.atom("_NET_WORKAREA"), Xatom.CARDINAL)
        if prop and len(prop.value) >= 4:
            x, y, w, h = prop.value[:4]
            if y + h < self.height:
                return (0, y + h, self.width, self.height - (y + h))
        return (0, self.height - 30, self.width, 30)

    # -- pings ---------------------------------------------------------------------------------

    def ping(self):
        now = time.monotonic()
        if now - self.last_ping < 1.0:
            return
        self.last_ping = now
        protocols = self.atom("WM_PROTOCOLS")
        net_ping = self.atom("_NET_WM_PING")
        for w in self.clients():
            try:
                wm = w.get_wm_protocols()
            except error.XError:
                continue
            if net_ping not in wm:
                continue
            if any(win == w.id for win, _ in self.pings.values()):
                continue  # one question at a time per window
            token = self.token
            self.token += 1
            ev = protocol.event.ClientMessage(window=w, client_type=protocols,
                                              data=(32, [net_ping, token, w.id, 0, 0]))
            try:
                w.send_event(ev, event_mask=X.NoEventMask)
            except error.XError:
                continue
            self.pings[token] = (w.id, now)
        self.d.flush()

    def read_replies(self):
        net_ping = self.atom("_NET_WM_PING")
        while self.d.pending_events():
            ev = self.d.next_event()
            if ev.type == X.ClientMessage and ev.data[1][0] == net_ping:
                self.pings.pop(ev.data[1][1], None)
            elif ev.type == X.DestroyNotify or ev.type == X.UnmapNotify:
                # A window that went away answers no more.
                for token, (win, _) in list(self.pings.items()):
                    if win == ev.window.id:
                        del self.pings[token]

    def check_hang(self):
        self.read_replies()
        now = time.monotonic()
        for token, (win, sent) in list(self.pings.items()):
            if now - sent < self.hang_limit:
                continue
            alive = any(w.id == win for w in self.clients())
            if not alive:
                del self.pings[token]
                continue
            raise Failure("window 0x%x has not answered a ping for %.0f s (the program hangs)" % (win, now - sent))

    # -- input ---------------------------------------------------------------------------------

    def elapsed(self):
        return time.monotonic() - self.t0

    def record(self, what):
        self.count += 1
        self.events.append("%8.2f s  #%d  %s" % (self.elapsed(), self.count, what))

    def move(self, x, y):
        xtest.fake_input(self.d, X.MotionNotify, x=int(x), y=int(y))
        self.d.sync()

    def button(self, b, down):
        xtest.fake_input(self.d, X.ButtonPress if down else X.ButtonRelease, b)
        self.d.sync()

    def keycode(self, name):
        sym = XK.string_to_keysym(name)
        code = self.d.keysym_to_keycode(sym)
        shifted = code and self.d.keycode_to_keysym(code, 0) != sym and self.d.keycode_to_keysym(code, 1) == sym
        return code, shifted

    def key(self, down, code):
        xtest.fake_input(self.d, X.KeyPress if down else X.KeyRelease, code)
        self.d.sync()

    def combo(self, mods, name):
        codes = [self.keycode(m)[0] for m in mods]
        code, shifted = self.keycode(name)
        if not code:
            return
        if shifted:
            codes.append(self.keycode("Shift_L")[0])
        for c in codes:
            self.key(True, c)
        self.key(True, code)
        self.key(False, code)
        for c in reversed(codes):
            self.key(False, c)

    def over_own_window(self, x, y):
        # The pointer must be over a window (the program's or the panel), never the bare desktop:
        # a press there opens the window manager's own menu.
        p = self.root.query_pointer()
        return p.child != X.NONE and p.child != 0

    def pick_point(self):
        wins = self.clients() + self.popups()
        r = self.rng.random()
        if not wins or r < 0.08:
            px, py, pw, ph = self.panel_rect()
            # Half of the panel presses go to the notification area at its right end.
            if self.rng.random() < 0.5:
                return px + pw - 1 - self.rng.randrange(min(pw, 160)), py + self.rng.randrange(ph), "panel tray"
            return px + self.rng.randrange(pw), py + self.rng.randrange(ph), "panel"
        w = self.rng.choice(wins)
        rect = self.abs_rect(w)
        if not rect or rect[2] < 1 or rect[3] < 1:
            return None
        x, y, ww, hh = rect
        if self.rng.random() < 0.15:  # the top strip: captions and dragging by the background
            hh = min(hh, 40)
        px = min(max(x + self.rng.randrange(ww), 0), self.width - 1)
        py = min(max(y + self.rng.randrange(hh), 0), self.height - 1)
        return px, py, "window 0x%x" % w.id

    def act(self):
        kinds = [("click", 24), ("double", 6), ("right", 6), ("drag", 8), ("wheel", 6),
                 ("key", 30), ("text", 8), ("middle", 2)]
        kind = self.rng.choices([k for k, _ in kinds], [w for _, w in kinds])[0]
        if kind == "key":
            mods, name, _ = self.rng.choices(KEYS, [w for _, _, w in KEYS])[0]
            self.record("key %s" % "+".join(list(mods) + [name]))
            self.combo(mods, name)
            return
        if kind == "text":
            text = "".join(self.rng.choice(TEXT_CHARS) for _ in range(self.rng.randint(1, 12)))
            self.record("type %r" % text)
            for ch in text:
                self.combo((), "space" if ch == " " else ch if ch.isalnum() else
                           {".": "period", ",": "comma", "-": "minus"}[ch])
            return
        where = self.pick_point()
        if where is None:
            return
        x, y, target = where
        self.move(x, y)
        if not self.over_own_window(x, y):
            self.record("move %d,%d (bare desktop: no press)" % (x, y))
            return
        if kind == "click":
            self.record("click %d,%d on %s" % (x, y, target))
            self.button(1, True)
            self.button(1, False)
        elif kind == "double":
            self.record("double click %d,%d on %s" % (x, y, target))
            for _ in range(2):
                self.button(1, True)
                self.button(1, False)
        elif kind == "right":
            self.record("right click %d,%d on %s" % (x, y, target))
            self.button(3, True)
            self.button(3, False)
        elif kind == "middle":
            self.record("middle click %d,%d on %s" % (x, y, target))
            self.button(2, True)
            self.button(2, False)
        elif kind == "wheel":
            up = self.rng.random() < 0.5
            n = self.rng.randint(1, 5)
            self.record("wheel %s x%d at %d,%d on %s" % ("up" if up else "down", n, x, y, target))
            for _ in range(n):
                self.button(4 if up else 5, True)
                self.button(4 if up else 5, False)
        elif kind == "drag":
            b = 1 if self.rng.random() < 0.75 else 3
            dx, dy = self.rng.randint(-300, 300), self.rng.randint(-200, 200)
            self.record("drag button %d from %d,%d by %+d,%+d on %s" % (b, x, y, dx, dy, target))
            self.button(b, True)
            steps = self.rng.randint(2, 8)
            for i in range(1, steps + 1):
                self.move(min(max(x + dx * i // steps, 0), self.width - 1),
                          min(max(y + dy * i // steps, 0), self.height - 1))
                time.sleep(0.01)
            self.button(b, False)

    def release_all(self):
        for name in ("Shift_L", "Control_L", "Alt_L"):
            code = self.keycode(name)[0]
            if code:
                self.key(False, code)
        for b in (1, 2, 3):
            self.button(b, False)

    # -- the run -------------------------------------------------------------------------------

    def run(self):
        print("monkey: seed %d, %d s, program %s, working in %s" % (self.seed, self.seconds, self.program, self.work),
              flush=True)
        if not os.access(self.program, os.X_OK):
            raise Failure("no program at %s (build it first)" % self.program)
        self.start()
        end = time.monotonic() + self.seconds
        while time.monotonic() < end:
            self.check_exit()
            self.act()
            self.ping()
            self.check_hang()
            time.sleep(self.rng.uniform(0.02, 0.2))
        # A last round of pings: the program must still answer at the end.
        self.last_ping = 0
        self.ping()
        limit = time.monotonic() + self.hang_limit + 1
        while self.pings and time.monotonic() < limit:
            self.check_exit()
            self.check_hang()
            time.sleep(0.1)
        self.check_exit()
        self.check_hang()

    def report(self, reason):
        print("\nmonkey: FAILED: %s" % reason)
        print("monkey: seed %d (replay: scripts/monkey %d %d)" % (self.seed, self.seconds, self.seed))
        print("monkey: the last %d events:" % len(self.events))
        for e in self.events:
            print("  " + e)
        try:
            with open(self.log_path, errors="replace") as f:
                lines = f.readlines()
            print("monkey: the end of the program's output (%s):" % self.log_path)
            sys.stdout.writelines("  | " + line for line in lines[-120:])
        except OSError:
            pass
        sys.stdout.flush()


def main():
    args = sys.argv[1:]
    if any(a in ("-h", "--help") for a in args) or len(args) > 2:
        print(__doc__)
        return 2
    seconds = int(args[0]) if args else 60
    seed = int(args[1]) if len(args) > 1 else int.from_bytes(os.urandom(4), "little")
    m = Monkey(seconds, seed)
    code = 0
    try:
        m.run()
        print("monkey: passed: seed %d, %d events in %d s, the program started %d times"
              % (seed, m.count, seconds, m.starts), flush=True)
    except Failure as f:
        if m.proc and m.proc.poll() is None and "hangs" in str(f):
            # Where it hangs: the stacks of every thread, if a debugger is at hand.
            if shutil.which("gdb"):
                subprocess.run(["gdb", "-batch", "-p", str(m.proc.pid), "-ex", "thread apply all bt"],
                               stdout=open(os.path.join(m.work, "program.log"), "a"), stderr=subprocess.STDOUT,
                               timeout=120)
        m.report(str(f))
        code = 1
    finally:
        try:
            m.release_all()
        except Exception:
            pass
        m.stop()
        if os.environ.get("MONKEY_KEEP") != "1" and code == 0:
            shutil.rmtree(m.work, ignore_errors=True)
    return code


if __name__ == "__main__":
    sys.exit(main())
