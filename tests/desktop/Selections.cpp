// The X selections as a user finds them after a login or after the program that copied has
// exited: without an owner.
#include <X11/Xlib.h>
#include <unistd.h>

namespace corvane::test {

bool DropSelections() {
  Display* d = XOpenDisplay(nullptr);
  if (!d) return false;
  Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
  const Atom clipboard = XInternAtom(d, "CLIPBOARD", False), primary = XInternAtom(d, "PRIMARY", False);
  XSetSelectionOwner(d, clipboard, w, CurrentTime);
  XSetSelectionOwner(d, primary, w, CurrentTime);
  XSync(d, False);
  XCloseDisplay(d);  // its windows go, and with them the ownership of both selections
  Display* check = XOpenDisplay(nullptr);
  if (!check) return false;
  bool gone = false;
  for (int i = 0; i < 200 && !gone; ++i) {
    gone = XGetSelectionOwner(check, clipboard) == None && XGetSelectionOwner(check, primary) == None;
    if (!gone) usleep(10000);
  }
  XCloseDisplay(check);
  return gone;
}

}  // namespace corvane::test
