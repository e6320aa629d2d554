#include "skin/frame/TrayIcon.h"

#include "skin/frame/SkinMenu.h"

namespace corvane {

// The owner window's procedure while the tray icon hooks it. The callable put into the window's
// WindowProc shares this record with the component: the component's handler runs while it lives;
// afterwards (when another hook was put on top and the procedure could not be given back) every
// message simply goes on to the procedure this hook replaced.
struct TskTrayOwnerHook {
  TWndMethod handler;   // the component's; empty once it has gone
  TWndMethod previous;  // the procedure the hook replaced
};

namespace {

struct OwnerHookCall {
  std::shared_ptr<TskTrayOwnerHook> hook;
  void operator()(TMessage& m) const {
    if (hook->handler) hook->handler(m);
    else if (hook->previous) hook->previous(m);
  }
};

bool IsMainWindowAlive() { return Application && Application->MainForm(); }

}  // namespace

unsigned TaskbarCreatedMessage() {
  static const unsigned number = RegisterWindowMessage("TaskbarCreated");
  return number;
}

TskTrayIcon::TskTrayIcon(TComponent* owner) : TComponent(owner) {
  TaskbarCreatedMessage();
  trayWindow_ = std::make_unique<TMessageWindow>([this](TMessage& m) { TrayWindowProc(m); });
  record_.Wnd = trayWindow_.get();
  record_.ID = kIconId;
  record_.Flags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  record_.CallbackMessage = kCallbackMessage;
  record_.Icon = &icon_;

  animateTimer_ = new TTimer(this);
  animateTimer_->SetEnabled(false);
  animateTimer_->SetInterval(static_cast<int>(animateInterval_));
  animateTimer_->OnTimer = [this](TObject*) { Animate(); };
  clickTimer_ = new TTimer(this);
  clickTimer_->SetEnabled(false);
  clickTimer_->SetInterval(DoubleClickTime());
  clickTimer_->OnTimer = [this](TObject*) { ClickTimeout(); };

  if (!IsDesigning()) {
    if (icon_.Empty() && UsesApplicationIcon()) LoadApplicationIcon(icon_);
    if (Application)
      appHook_ = Application->HookMainWindow([this](TControl* target, TMessage& m) { return ApplicationHook(target, m); });
    if (TForm* form = OwnerForm()) {
      hookedOwner_ = form;
      ownerHook_ = std::make_shared<TskTrayOwnerHook>();
      ownerHook_->previous = form->WindowProc;
      ownerHook_->handler = [this](TMessage& m) { OwnerWindowProc(m); };
      form->WindowProc = OwnerHookCall{ownerHook_};
    }
  }
}

TskTrayIcon::~TskTrayIcon() {
  Destroying();
  SetIconVisible(false);
  SetDesignPreview(false);
  icon_.Clear();
  animateTimer_->SetEnabled(false);
  animateTimer_->OnTimer = nullptr;
  clickTimer_->SetEnabled(false);
  clickTimer_->OnTimer = nullptr;
  Unhook();
  trayWindow_.reset();
}

void TskTrayIcon::Unhook() {
  if (appHook_ && Application) Application->UnhookMainWindow(appHook_);
  appHook_ = 0;
  if (ownerHook_) {
    // Give the procedure back only when this hook is still the window's; under a later hook the
    // record passes every message on from now on.
    auto* top = hookedOwner_ ? hookedOwner_->WindowProc.target<OwnerHookCall>() : nullptr;
    if (top && top->hook == ownerHook_) hookedOwner_->WindowProc = ownerHook_->previous;
    ownerHook_->handler = nullptr;
    ownerHook_.reset();
  }
  hookedOwner_ = nullptr;
}

TForm* TskTrayIcon::OwnerForm() const { return dynamic_cast<TForm*>(Owner()); }

void TskTrayIcon::Loaded() {
  TComponent::Loaded();
  if (OwnerForm() && MinimizedOnStart && !IsDesigning()) {
    iconVisible_ = true;
    MinimizeToTray = true;
    // The program starts in the tray: its windows stay hidden until restored from there.
    if (Application) Application->HideWindows();
  }
  UpdateTrayIcon();
  SetIconVisible(iconVisible_);
}

// ---- The icon in the notification area.

bool TskTrayIcon::Prepare() {
  if (IsDesigning() && !previewFlag_ && !designPreview_) return false;
  record_.Icon = &icon_;
  // The record's tip holds 127 characters.
  record_.Tip = (!hint_.empty() && showHint_) ? CutNotifyTip(hint_) : std::string();
  return true;
}

void TskTrayIcon::ShowTrayIcon() {
  if (!previewFlag_) iconVisible_ = true;
  if ((!IsDesigning() || previewFlag_) && Prepare()) ShellNotifyIcon(NIM_ADD, record_);
}

void TskTrayIcon::HideTrayIcon() {
  if (!previewFlag_) iconVisible_ = false;
  if ((!IsDesigning() || previewFlag_) && Prepare()) ShellNotifyIcon(NIM_DELETE, record_);
}

void TskTrayIcon::UpdateTrayIcon() {
  if (Prepare()) ShellNotifyIcon(NIM_MODIFY, record_);
}

// ---- Properties.

void TskTrayIcon::SetIconVisible(bool value) {
  if (value) ShowTrayIcon();
  else HideTrayIcon();
}

void TskTrayIcon::SetIcon(const TBitmap& value) {
  icon_.Assign(value);
  UpdateTrayIcon();
}

void TskTrayIcon::SetHint(const std::string& value) {
  hint_ = value;
  UpdateTrayIcon();
}

void TskTrayIcon::SetShowHint(bool value) {
  showHint_ = value;
  UpdateTrayIcon();
}

void TskTrayIcon::SetIconIndex(int value) {
  if (iconList_) {
    const int count = iconList_->Count();
    iconIndex_ = value >= count ? count - 1 : value;
    // An index the list has no image for (below 0, or any index of an empty list) shows an
    // empty icon.
    ImageListIcon(*iconList_, iconIndex_, icon_);
  } else {
    iconIndex_ = 0;
  }
  UpdateTrayIcon();
}

void TskTrayIcon::SetIconList(TImageList* value) {
  if (iconList_ == value) return;
  SetReference(iconList_, value);
  SetIconIndex(0);
}

void TskTrayIcon::SetCycleIcons(bool value) {
  cycleIcons_ = value;
  if (value) SetIconIndex(0);
  animateTimer_->SetEnabled(value);
}

void TskTrayIcon::SetAnimateTimerInterval(unsigned ms) {
  animateInterval_ = ms;
  animateTimer_->SetInterval(static_cast<int>(ms));
}

void TskTrayIcon::SetDesignPreview(bool value) {
  designPreview_ = value;
  previewFlag_ = true;
  SetIconVisible(value);
  previewFlag_ = false;
}

void TskTrayIcon::SetPopupMenu(TskSkinPopupMenu* value) { SetReference(popupMenu_, value); }

void TskTrayIcon::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  if (component == iconList_) iconList_ = nullptr;
  if (component == popupMenu_) popupMenu_ = nullptr;
}

// ---- Animation.

void TskTrayIcon::Animate() {
  if (!iconList_) return;
  ImageListIcon(*iconList_, iconIndex_, icon_);
  Cycle();
  UpdateTrayIcon();
  SetIconIndex(iconIndex_ < iconList_->Count() - 1 ? iconIndex_ + 1 : 0);
}

void TskTrayIcon::Cycle() {
  int next = 0;
  if (iconList_) next = iconIndex_ < iconList_->Count() - 1 ? iconIndex_ + 1 : 0;
  if (OnCycle) OnCycle(this, next);
}

// ---- The pointer on the icon.

void TskTrayIcon::Click() { if (OnClick) OnClick(this); }
void TskTrayIcon::DblClick() { if (OnDblClick) OnDblClick(this); }

void TskTrayIcon::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TskTrayIcon::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TskTrayIcon::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TskTrayIcon::TrayWindowProc(TMessage& m) {
  if (m.Msg == kCallbackMessage) {
    if (!Enabled) return;
    const TPoint p = GetCursorPos();
    const TShiftState keys = KeyboardShiftState();
    switch (static_cast<unsigned>(m.LParam) & 0xFFFF) {
      case WM_MOUSEMOVE:
        MouseMove(keys, p.X, p.Y);
        break;
      case WM_LBUTTONDOWN:
        clickTimer_->SetEnabled(true);
        MouseDown(TMouseButton::mbLeft, keys | ssLeft, p.X, p.Y);
        clickStarted_ = true;
        if (PopupByLeftButton) PopupAtCursor();
        break;
      case WM_LBUTTONUP:
        if (clickStarted_) clickReady_ = true;
        if (clickStarted_ && !clickTimer_->Enabled()) {
          clickStarted_ = clickReady_ = false;
          Click();
        }
        clickStarted_ = false;
        MouseUp(TMouseButton::mbLeft, keys | ssLeft, p.X, p.Y);
        break;
      case WM_LBUTTONDBLCLK: {
        clickReady_ = false;
        doubleClickSeen_ = true;
        DblClick();
        if (popupMenu_ && popupMenu_->AutoPopup && !PopupByLeftButton) {
          TMenuItem& items = popupMenu_->Items();
          for (int i = 0; i < items.Count(); ++i)
            if (items.Items(i)->Default) {
              items.Items(i)->Click();
              break;
            }
        }
        break;
      }
      case WM_RBUTTONDOWN:
        MouseDown(TMouseButton::mbRight, keys | ssRight, p.X, p.Y);
        PopupAtCursor();
        break;
      case WM_RBUTTONUP:
        MouseUp(TMouseButton::mbRight, keys | ssRight, p.X, p.Y);
        break;
      case WM_MBUTTONDOWN:
        MouseDown(TMouseButton::mbMiddle, keys | ssMiddle, p.X, p.Y);
        break;
      case WM_MBUTTONUP:
        MouseUp(TMouseButton::mbMiddle, keys | ssMiddle, p.X, p.Y);
        break;
      default:
        break;
    }
    return;
  }
  switch (m.Msg) {
    case WM_DESTROY: case WM_CLOSE: case 0x0011 /* query end of session */: case 0x0012 /* quit */:
    case 0x0054 /* user changed */: case WM_NCDESTROY:
      m.Result = 1;
      return;
    default:
      TMessageWindow::DefWindowProc(m);
  }
}

void TskTrayIcon::ClickTimeout() {
  clickTimer_->SetEnabled(false);
  if (!doubleClickSeen_ && clickReady_) {
    clickReady_ = false;
    Click();
  }
  doubleClickSeen_ = false;
}

void TskTrayIcon::PopupAtCursor() {
  if (!popupMenu_ || !popupMenu_->AutoPopup) return;
  const TPoint p = GetCursorPos();
  if (Application) Application->ProcessMessages();
  if (!popupMenu_) return;  // gone while the pending messages ran
  TForm* owner = OwnerForm();
  if (owner && owner->Showing()) owner->BringWindowToFront();
  popupMenu_->Popup(p.X, p.Y);
  if (owner) PostMessage(owner, WM_NULL, 0, 0);
}

// ---- Minimising to the tray.

void TskTrayIcon::MinimizeToTrayNow() {
  // Without a notification area the program would vanish with no way back: it stays as it is.
  if (!TrayAvailable()) return;
  if (OwnerForm() && IsMainWindowAlive()) Application->HideWindows();
  ShowTrayIcon();
  // The panel refused the icon: bring the windows back rather than leave them out of reach.
  if (!InTray() && Application && Application->Minimized()) Application->Restore();
}

void TskTrayIcon::RestoreFromTray() {
  if (!OwnerForm() || !IsMainWindowAlive()) return;
  Application->Restore();
  TForm* main = Application->MainForm();
  main->Show();
  if (main->WindowState() == TWindowState::wsMinimized) main->SetWindowState(TWindowState::wsNormal);
}

// ---- Hooks.

bool TskTrayIcon::ApplicationHook(TControl* target, TMessage& m) {
  (void)target;
  if (m.Msg == WM_SIZE && m.WParam == SIZE_MINIMIZED && MinimizeToTray) {
    MinimizeToTrayNow();
  } else if (m.Msg == WM_WINDOWPOSCHANGED && mdiCheckPending_ && IsMainWindowAlive()) {
    // No window of this program is a multi-document parent: the check ends here.
    mdiCheckPending_ = false;
  } else if (m.Msg == TaskbarCreatedMessage() && iconVisible_) {
    ShowTrayIcon();
  }
  return false;
}

void TskTrayIcon::OwnerWindowProc(TMessage& m) {
  auto hook = ownerHook_;  // the handlers below may destroy this component
  TForm* form = hookedOwner_;
  if (m.Msg == WM_ACTIVATE && (m.WParam & 0xFFFF) != 0 && form) {
    // The keyboard goes back to the window's active control.
    if (TWinControl* active = form->ActiveControl(); active && active->Showing() && active->CanFocus() &&
                                                     !active->Focused())
      active->SetFocus();
  }
  if (hook->previous) hook->previous(m);
  // Shown by the program: this window comes forward. (A window shown while the program is
  // minimised waits for the program's restore, so there is nothing to bring back here.)
  if (m.Msg == WM_SHOWWINDOW && m.WParam != 0 && m.LParam == 0 && hook->handler && form->Showing())
    form->BringWindowToFront();
}

}  // namespace corvane
