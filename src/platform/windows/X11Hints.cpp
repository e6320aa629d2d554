#include "platform/windows/X11Hints.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <vector>

namespace corvane {

namespace {
xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
  xcb_intern_atom_reply_t* r =
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
  xcb_atom_t a = r ? r->atom : XCB_ATOM_NONE;
  std::free(r);
  return a;
}
}  // namespace

namespace {
// Adds or removes window states (_NET_WM_STATE_...). A mapped window asks the window manager (the
// state's add or remove request, one per state); an unmapped one carries the states itself, and
// the toolkit keeps them when it maps it.
void SetStates(QWidget* window, std::initializer_list<const char*> names, bool on) {
  auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (!x11 || !window) return;
  xcb_connection_t* c = x11->connection();
  auto id = static_cast<xcb_window_t>(window->winId());
  xcb_atom_t state = Atom(c, "_NET_WM_STATE");
  std::vector<xcb_atom_t> wanted;
  for (const char* name : names) wanted.push_back(Atom(c, name));
  if (window->windowHandle() && window->windowHandle()->isVisible()) {
    for (xcb_atom_t s : wanted) {
      xcb_client_message_event_t e{};
      e.response_type = XCB_CLIENT_MESSAGE;
      e.format = 32;
      e.window = id;
      e.type = state;
      e.data.data32[0] = on ? 1 : 0;
      e.data.data32[1] = s;
      e.data.data32[3] = 1;
      xcb_send_event(c, 0, xcb_setup_roots_iterator(xcb_get_setup(c)).data->root,
                     XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                     reinterpret_cast<const char*>(&e));
    }
  } else {
    std::vector<xcb_atom_t> states;
    xcb_get_property_reply_t* r =
        xcb_get_property_reply(c, xcb_get_property(c, 0, id, state, XCB_ATOM_ATOM, 0, 1024), nullptr);
    if (r && r->format == 32) {
      auto* data = static_cast<xcb_atom_t*>(xcb_get_property_value(r));
      states.assign(data, data + xcb_get_property_value_length(r) / 4);
    }
    std::free(r);
    for (xcb_atom_t s : wanted) {
      states.erase(std::remove(states.begin(), states.end(), s), states.end());
      if (on) states.push_back(s);
    }
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, state, XCB_ATOM_ATOM, 32, static_cast<uint32_t>(states.size()),
                        states.data());
  }
  xcb_flush(c);
}
}  // namespace

void SkipTaskBar(QWidget* window) {
  SetStates(window, {"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"}, true);
}

void SetModalState(QWidget* window, bool modal) { SetStates(window, {"_NET_WM_STATE_MODAL"}, modal); }

bool CompositingManagerRunning() {
  auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (!x11) return QGuiApplication::platformName() != "offscreen";
  xcb_connection_t* c = x11->connection();
  // The program's windows live on the display's first screen (one screen per display today).
  xcb_get_selection_owner_reply_t* r =
      xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, Atom(c, "_NET_WM_CM_S0")), nullptr);
  const bool owned = r && r->owner != XCB_WINDOW_NONE;
  std::free(r);
  return owned;
}

}  // namespace corvane
