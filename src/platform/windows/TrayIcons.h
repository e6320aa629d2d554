// The panel's notification area: small icons a program puts there, each with a tip, that tell a
// window of the program what the pointer does on them. Icons are added, changed and removed by
// (window, id); the pointer on an icon arrives as the icon's callback message at its window, with
// the id in WParam and the mouse message (WM_LBUTTONDOWN ...) in LParam. When the panel starts
// again (a restart after a crash, a new panel) every icon is gone and the program's windows are
// told by the registered message "TaskbarCreated", so their owners can add them again.
#pragma once

#include <functional>
#include <string>

#include "platform/graphics/ImgList.h"
#include "platform/windows/Controls.h"

namespace corvane {

// A window that is never shown and only takes messages (the notification area's callbacks).
class TMessageWindow {
 public:
  explicit TMessageWindow(TWndMethod method);
  ~TMessageWindow();
  TMessageWindow(const TMessageWindow&) = delete;
  TMessageWindow& operator=(const TMessageWindow&) = delete;
  TWndMethod WindowProc;
  LRESULT Perform(unsigned msg, WPARAM wParam = 0, LPARAM lParam = 0);
  // Delivered from the event loop later; dropped when the window is gone by then.
  void Post(unsigned msg, WPARAM wParam = 0, LPARAM lParam = 0);
  // What a message nobody answers gets: 0.
  static void DefWindowProc(TMessage& message) { message.Result = 0; }
};

enum : unsigned { NIM_ADD = 0, NIM_MODIFY = 1, NIM_DELETE = 2 };
enum : unsigned { NIF_MESSAGE = 1, NIF_ICON = 2, NIF_TIP = 4 };
// The tip holds this many characters including its end: 127 are shown at most.
constexpr int kNotifyTipSize = 128;
// The first 127 characters of a tip (whole UTF-8 sequences; a sequence cut short at the end goes).
std::string CutNotifyTip(const std::string& tip);

struct TNotifyIconData {
  TMessageWindow* Wnd = nullptr;
  unsigned ID = 0;
  unsigned Flags = 0;            // which of the fields below count (NIF_*)
  unsigned CallbackMessage = 0;  // NIF_MESSAGE
  const TBitmap* Icon = nullptr; // NIF_ICON; its pixels are copied (alpha kept)
  std::string Tip;               // NIF_TIP; UTF-8, cut to 127 characters
};

// Adds (NIM_ADD), changes (NIM_MODIFY) or removes (NIM_DELETE) an icon. Refused with false:
// adding an icon that is there or adding without a notification area; changing or removing an
// icon that is not there.
bool ShellNotifyIcon(unsigned message, const TNotifyIconData& data);

// Whether the desktop has a notification area now.
bool NotificationAreaAvailable();
// Test seam: -1 (the default) asks the desktop; 0 or 1 is the answer.
extern int gNotificationAreaSeam;

// One number per name for the whole run (from 0xC000 up), the same for every caller.
unsigned RegisterWindowMessage(const std::string& name);

// The panel came back: every icon is forgotten and each hook of the application sees the
// registered message "TaskbarCreated" (target: the main window). The platform calls it when the
// notification area gets a new owner; tests call it to play a panel restart.
void NotifyTaskbarCreated();

// The program's own icon, with its transparency (decoded when its pixels are first used).
void LoadApplicationIcon(TBitmap& icon);
// Image `index` of the list as an icon (transparent where the image is); empty when the list has
// no such image.
void ImageListIcon(const TImageList& list, int index, TBitmap& icon);

// The modifier keys held now (ssShift, ssAlt, ssCtrl).
TShiftState KeyboardShiftState();
// The longest time between the two clicks of a double click, in milliseconds.
int DoubleClickTime();

// What the notification area holds of the program's icons (tests and tools).
struct TNotifyIconInfo {
  unsigned callbackMessage = 0;
  std::string tip;
  int iconWidth = 0, iconHeight = 0;
  uint32_t iconCentrePixel = 0;  // 0xAARRGGBB of the icon's middle pixel
  TRect screenRect;              // where the panel shows it; empty while unknown
};
bool FindNotifyIcon(const TMessageWindow* wnd, unsigned id, TNotifyIconInfo* info = nullptr);
int NotifyIconCount();

}  // namespace corvane
