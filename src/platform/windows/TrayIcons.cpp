#include "platform/windows/TrayIcons.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <set>

#include "platform/graphics/GraphicsPrivate.h"
#include "platform/windows/Forms.h"
#include "platform/windows/WindowHandle.h"

namespace corvane {

int gNotificationAreaSeam = -1;

namespace {

// Message windows alive now: a posted message for one that is gone is dropped.
std::set<const TMessageWindow*>& LiveWindows() {
  static std::set<const TMessageWindow*> live;
  return live;
}

struct Entry {
  unsigned callbackMessage = 0;
  QImage icon;
  std::string tip;
  std::unique_ptr<QSystemTrayIcon> tray;
};
using Key = std::pair<const TMessageWindow*, unsigned>;
std::map<Key, Entry>& Entries() {
  static std::map<Key, Entry> entries;
  return entries;
}

QIcon ToQIcon(const QImage& image) {
  if (!image.isNull()) return QIcon(QPixmap::fromImage(image));
  // An empty icon still takes its place in the panel (the toolkit shows nothing without one).
  QPixmap blank(16, 16);
  blank.fill(Qt::transparent);
  return QIcon(blank);
}

xcb_atom_t InternAtom(xcb_connection_t* c, const char* name) {
  xcb_intern_atom_reply_t* r =
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
  xcb_atom_t a = r ? r->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
  std::free(r);
  return a;
}

// Watches the root window for a new owner of the notification area (the MANAGER announcement
// every panel makes as it takes the area over).
class PanelWatcher : public QAbstractNativeEventFilter {
 public:
  static void Install() {
    static PanelWatcher* watcher = nullptr;
    if (watcher || !qApp) return;
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11) return;
    watcher = new PanelWatcher;
    xcb_connection_t* c = x11->connection();
    watcher->manager_ = InternAtom(c, "MANAGER");
    watcher->selection_ = InternAtom(c, "_NET_SYSTEM_TRAY_S0");
    // The announcement goes to the root window's structure listeners: listen too, keeping
    // whatever the toolkit listens for there.
    xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    xcb_get_window_attributes_reply_t* a = xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, root), nullptr);
    uint32_t mask = (a ? a->your_event_mask : 0) | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    std::free(a);
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);
    qApp->installNativeEventFilter(watcher);
  }

  bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
    if (type != "xcb_generic_event_t") return false;
    auto* e = static_cast<xcb_generic_event_t*>(message);
    if ((e->response_type & 0x7F) != XCB_CLIENT_MESSAGE) return false;
    auto* cm = reinterpret_cast<xcb_client_message_event_t*>(e);
    if (cm->type == manager_ && cm->format == 32 && cm->data.data32[1] == selection_)
      PostCall([] { NotifyTaskbarCreated(); });
    return false;
  }

 private:
  xcb_atom_t manager_ = XCB_ATOM_NONE, selection_ = XCB_ATOM_NONE;
};

// Takes an icon out of the panel. The toolkit's icon object goes later: this may run inside one
// of its own signals.
void Dispose(Entry& e) {
  if (!e.tray) return;
  e.tray->hide();
  e.tray.release()->deleteLater();
}

void Deliver(Key key, unsigned mouseMessage) {
  auto it = Entries().find(key);
  if (it == Entries().end() || !LiveWindows().count(key.first)) return;
  const QPoint p = QCursor::pos();
  gLastPointer = {p.x(), p.y()};
  auto* wnd = const_cast<TMessageWindow*>(key.first);
  wnd->Perform(it->second.callbackMessage, key.second, static_cast<LPARAM>(mouseMessage));
}

void Activated(Key key, QSystemTrayIcon::ActivationReason reason) {
  // The toolkit reports presses only; each becomes the press and its release, in order.
  unsigned down = 0, up = 0;
  switch (reason) {
    case QSystemTrayIcon::Trigger: down = WM_LBUTTONDOWN; up = WM_LBUTTONUP; break;
    case QSystemTrayIcon::DoubleClick: down = WM_LBUTTONDBLCLK; up = WM_LBUTTONUP; break;
    case QSystemTrayIcon::Context: down = WM_RBUTTONDOWN; up = WM_RBUTTONUP; break;
    case QSystemTrayIcon::MiddleClick: down = WM_MBUTTONDOWN; up = WM_MBUTTONUP; break;
    default: return;
  }
  Application->HandleExceptions([&] {
    Deliver(key, down);
    Deliver(key, up);
  });
}

}  // namespace

TMessageWindow::TMessageWindow(TWndMethod method) : WindowProc(std::move(method)) { LiveWindows().insert(this); }

TMessageWindow::~TMessageWindow() {
  LiveWindows().erase(this);
  // Icons of a window that goes away go with it.
  for (auto it = Entries().begin(); it != Entries().end();) {
    if (it->first.first != this) { ++it; continue; }
    Dispose(it->second);
    it = Entries().erase(it);
  }
}

LRESULT TMessageWindow::Perform(unsigned msg, WPARAM wParam, LPARAM lParam) {
  TMessage m{msg, wParam, lParam, 0};
  if (WindowProc) WindowProc(m);
  else DefWindowProc(m);
  return m.Result;
}

void TMessageWindow::Post(unsigned msg, WPARAM wParam, LPARAM lParam) {
  PostCall([this, msg, wParam, lParam] {
    if (LiveWindows().count(this)) Perform(msg, wParam, lParam);
  });
}

bool NotificationAreaAvailable() {
  if (gNotificationAreaSeam >= 0) return gNotificationAreaSeam == 1;
  return QSystemTrayIcon::isSystemTrayAvailable();
}

bool ShellNotifyIcon(unsigned message, const TNotifyIconData& data) {
  const Key key{data.Wnd, data.ID};
  auto& entries = Entries();
  auto it = entries.find(key);
  auto apply = [&](Entry& e) {
    if (data.Flags & NIF_MESSAGE) e.callbackMessage = data.CallbackMessage;
    if (data.Flags & NIF_ICON) {
      e.icon = data.Icon && !data.Icon->Empty() ? ImageOf(*data.Icon).copy() : QImage();
      e.tray->setIcon(ToQIcon(e.icon));
    }
    if (data.Flags & NIF_TIP) {
      e.tip = CutNotifyTip(data.Tip);
      e.tray->setToolTip(QString::fromStdString(e.tip));
    }
  };
  switch (message) {
    case NIM_ADD: {
      if (!data.Wnd || it != entries.end() || !NotificationAreaAvailable()) return false;
      PanelWatcher::Install();
      Entry& e = entries[key];
      e.tray = std::make_unique<QSystemTrayIcon>();
      e.tray->setIcon(ToQIcon(QImage()));
      apply(e);
      QObject::connect(e.tray.get(), &QSystemTrayIcon::activated,
                       [key](QSystemTrayIcon::ActivationReason r) { Activated(key, r); });
      e.tray->show();
      return true;
    }
    case NIM_MODIFY:
      if (it == entries.end()) return false;
      apply(it->second);
      return true;
    case NIM_DELETE:
      if (it == entries.end()) return false;
      Dispose(it->second);
      entries.erase(it);
      return true;
    default:
      return false;
  }
}

std::string CutNotifyTip(const std::string& tip) {
  size_t i = 0;
  int chars = 0;
  while (i < tip.size() && chars < kNotifyTipSize - 1) {
    const auto c = static_cast<unsigned char>(tip[i]);
    size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
    if (i + len > tip.size()) break;
    i += len;
    ++chars;
  }
  return tip.substr(0, i);
}

unsigned RegisterWindowMessage(const std::string& name) {
  static std::map<std::string, unsigned> numbers;
  auto [it, added] = numbers.emplace(name, 0xC000 + static_cast<unsigned>(numbers.size()));
  return it->second;
}

void NotifyTaskbarCreated() {
  for (auto& [key, e] : Entries()) Dispose(e);
  Entries().clear();
  if (!Application) return;
  TMessage m{RegisterWindowMessage("TaskbarCreated"), 0, 0, 0};
  Application->RunHooks(Application->MainForm(), m);
}

void LoadApplicationIcon(TBitmap& icon) {
  // Decoded when first shown (most runs never put the icon in the tray); its size is read from
  // the PNG header now. An icon whose bytes do not decode shows nothing.
  auto bytes = std::make_shared<const std::string>(ResourceBytes("corvane_icon.png"));
  const auto* b = reinterpret_cast<const unsigned char*>(bytes->data());
  static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (bytes->size() < 24 || std::memcmp(b, kSignature, 8) != 0 || std::memcmp(b + 12, "IHDR", 4) != 0) {
    icon.Clear();
    return;
  }
  auto be32 = [b](size_t at) { return static_cast<int>((b[at] << 24) | (b[at + 1] << 16) | (b[at + 2] << 8) | b[at + 3]); };
  icon.DeferPixels(be32(16), be32(20), [bytes](TBitmap::Impl& impl) {
    QImage image;
    // The format named: probing the bytes would load every image format plug-in the toolkit has.
    image.loadFromData(reinterpret_cast<const uchar*>(bytes->data()), static_cast<int>(bytes->size()), "PNG");
    if (!image.isNull()) impl.image = image.convertToFormat(QImage::Format_ARGB32);
  });
}

void ImageListIcon(const TImageList& list, int index, TBitmap& icon) {
  if (index < 0 || index >= list.Count()) {
    icon.Clear();
    return;
  }
  QImage image(list.Width(), list.Height(), QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  {
    TImageCanvas canvas(&image);
    list.Draw(canvas, 0, 0, index);
  }
  ImageOf(icon) = image;
}

TShiftState KeyboardShiftState() {
  const Qt::KeyboardModifiers m = QGuiApplication::queryKeyboardModifiers();
  TShiftState s = 0;
  if (m & Qt::ShiftModifier) s |= ssShift;
  if (m & Qt::AltModifier) s |= ssAlt;
  if (m & Qt::ControlModifier) s |= ssCtrl;
  return s;
}

int DoubleClickTime() { return QApplication::doubleClickInterval(); }

bool FindNotifyIcon(const TMessageWindow* wnd, unsigned id, TNotifyIconInfo* info) {
  auto it = Entries().find({wnd, id});
  if (it == Entries().end()) return false;
  if (info) {
    const Entry& e = it->second;
    info->callbackMessage = e.callbackMessage;
    info->tip = e.tip;
    info->iconWidth = e.icon.width();
    info->iconHeight = e.icon.height();
    info->iconCentrePixel = e.icon.isNull() ? 0 : e.icon.pixel(e.icon.width() / 2, e.icon.height() / 2);
    const QRect g = e.tray->geometry();
    info->screenRect = g.isValid() ? TRect{g.left(), g.top(), g.right() + 1, g.bottom() + 1} : TRect{};
  }
  return true;
}

int NotifyIconCount() { return static_cast<int>(Entries().size()); }

}  // namespace corvane
