// The tray icon: a non-visual component that keeps an icon in the panel's notification area (its
// picture and tip up to date, optionally animated over an image list), turns the pointer's
// actions on it into events and a pop-up menu, and hides the program into the tray when the
// program is minimised while `MinimizeToTray` is on.
//
// Three hooks carry it: a hidden message window takes the notification area's callbacks, an
// application hook sees the program being minimised and the panel starting again (the icon is
// added back), and the owner window's procedure gives the keyboard back on activation and brings
// the owner forward when the program shows it.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/graphics/ImgList.h"
#include "platform/windows/Forms.h"
#include "platform/windows/TrayIcons.h"

namespace corvane {

class TskSkinPopupMenu;

using TskCycleEvent = std::function<void(TObject* sender, int nextIndex)>;

class TskTrayIcon : public TComponent {
 public:
  explicit TskTrayIcon(TComponent* owner);
  ~TskTrayIcon() override;
  std::string ClassName() const override { return "TskTrayIcon"; }

  // The callback message of the icon (mouse message in LParam) and its id.
  static constexpr unsigned kCallbackMessage = 0x0800;
  static constexpr unsigned kIconId = 1;

  // ---- Published properties (layout order).
  bool DesignPreview() const { return designPreview_; }
  void SetDesignPreview(bool value);
  TImageList* IconList() const { return iconList_; }
  void SetIconList(TImageList* value);
  bool CycleIcons() const { return cycleIcons_; }
  void SetCycleIcons(bool value);
  unsigned AnimateTimerInterval() const { return animateInterval_; }
  void SetAnimateTimerInterval(unsigned ms);
  bool Enabled = true;
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& value);
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool value);
  const TBitmap& Icon() const { return icon_; }
  void SetIcon(const TBitmap& value);
  bool IconVisible() const { return iconVisible_; }
  void SetIconVisible(bool value);
  int IconIndex() const { return iconIndex_; }
  void SetIconIndex(int value);
  TskSkinPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TskSkinPopupMenu* value);
  bool PopupByLeftButton = false;
  bool MinimizedOnStart = false;
  // Creation turns it on; a layout only ever stores it when on.
  bool MinimizeToTray = true;

  TNotifyEvent OnClick, OnDblClick;
  TMouseEvent OnMouseDown, OnMouseUp;  // x, y: the pointer on the screen
  TMouseMoveEvent OnMouseMove;
  TskCycleEvent OnCycle;

  // ---- Operations.
  virtual bool UsesApplicationIcon() const { return true; }
  virtual void ShowTrayIcon();
  virtual void HideTrayIcon();
  virtual void UpdateTrayIcon();
  // Hides the program's windows (the main window with the others; nothing stays in the task bar)
  // and shows the icon. With no notification area the windows stay where they are.
  virtual void MinimizeToTrayNow();
  // Brings the program's windows back and gives the main window its normal state.
  void RestoreFromTray();
  // Opens `PopupMenu` at the pointer.
  void PopupAtCursor();
  // Whether the desktop has a notification area to put the icon in: without one, minimising to
  // the tray would leave the program unreachable.
  static bool TrayAvailable() { return NotificationAreaAvailable(); }

  void Loaded() override;

  // ---- State, for tests and tools.
  TMessageWindow& TrayWindow() { return *trayWindow_; }
  // The icon is in the notification area now.
  bool InTray() const { return FindNotifyIcon(trayWindow_.get(), kIconId); }
  // The tip and icon the notification record holds.
  const TNotifyIconData& NotifyRecord() const { return record_; }
  bool AnimationTimerEnabled() const { return animateTimer_->Enabled(); }
  bool ClickTimerEnabled() const { return clickTimer_->Enabled(); }
  // Ticks of the timers, as the event loop runs them.
  void AnimateTick() { Animate(); }
  void ClickTimerTick() { ClickTimeout(); }

 protected:
  void Notification(TComponent* component, TOperation operation) override;
  virtual void Click();
  virtual void DblClick();
  virtual void Cycle();
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);

 private:
  bool Prepare();
  void TrayWindowProc(TMessage& message);
  void Animate();
  void ClickTimeout();
  bool ApplicationHook(TControl* target, TMessage& message);
  void OwnerWindowProc(TMessage& message);
  TForm* OwnerForm() const;
  void Unhook();

  bool designPreview_ = false;
  TImageList* iconList_ = nullptr;
  bool cycleIcons_ = false;
  unsigned animateInterval_ = 0;
  std::string hint_;
  bool showHint_ = true;
  TBitmap icon_;
  bool iconVisible_ = true;
  int iconIndex_ = 0;
  TskSkinPopupMenu* popupMenu_ = nullptr;

  TNotifyIconData record_;
  std::unique_ptr<TMessageWindow> trayWindow_;
  TTimer* animateTimer_ = nullptr;
  TTimer* clickTimer_ = nullptr;
  bool clickStarted_ = false, clickReady_ = false, doubleClickSeen_ = false, previewFlag_ = false;
  bool mdiCheckPending_ = true;
  int appHook_ = 0;
  TForm* hookedOwner_ = nullptr;
  // The owner window's procedure hook: the procedure it replaced, and whether it still does its
  // work (a hook installed on top of it keeps calling it after this component has gone).
  std::shared_ptr<struct TskTrayOwnerHook> ownerHook_;
};

// The registered message the panel sends as it starts ("TaskbarCreated").
unsigned TaskbarCreatedMessage();

}  // namespace corvane
