// The frame's window behaviours: its own window states, roll-up, the caption double click,
// magnetic edges, the fade-in, the system menu and the tray menu.
#include <algorithm>

#include "platform/windows/Menus.h"
#include "skin/frame/SkinForm.h"
#include "skin/frame/SkinMenu.h"
#include "skin/frame/SkinObjects.h"
#include "skin/frame/TrayIcon.h"
#include "skin/package/ResourceStrData.h"
#include "skin/package/SkinData.h"

namespace corvane {

namespace {
constexpr uintptr_t kFadeTimer = 1;

bool HasIcon(TskBorderIcons icons, TskBorderIcon i) { return (icons & BorderIconBit(i)) != 0; }
}  // namespace

// ---------------------------------------------------------------------------------------------
// States

TPoint TskSkinForm::FindMinimizedSlot() const {
  const TRect r = ScreenWorkRect(*form_);
  const int w = MinFrameWidth(), h = MinFrameHeight();
  TPoint slot{r.Left, r.Bottom - h};
  auto taken = [&](TPoint p) {
    if (!Screen) return false;
    for (int i = 0; i < Screen->FormCount(); ++i) {
      TForm* f = Screen->Forms(i);
      if (f == form_ || f == Application->MainForm() || !f->Showing()) continue;
      const TskSkinForm* other = FindFrameOf(f);
      if (other && other->FrameState() == TskFrameState::Minimized && f->Left() == p.X && f->Top() == p.Y) return true;
    }
    return false;
  };
  while (taken(slot)) {
    slot.X += w;
    if (slot.X + w > r.Right) {
      slot.X = r.Left;
      slot.Y -= h;
    }
    if (slot.Y < r.Top) return {r.Left, r.Bottom - h};
  }
  return slot;
}

void TskSkinForm::SetFrameWindowState(TskFrameState state) {
  if (state == state_) return;
  const bool mainWindow = form_ == Application->MainForm();
  if (state == TskFrameState::Minimized && mainWindow) {
    Application->Minimize();
    return;
  }
  const TRect before = form_->BoundsRect();
  state_ = state;
  switch (state) {
    case TskFrameState::Minimized: {
      if (restoreBounds_.IsEmpty()) restoreBounds_ = before;
      const TPoint slot = FindMinimizedSlot();
      form_->SetBounds(slot.X, slot.Y, MinFrameWidth(), MinFrameHeight());
      break;
    }
    case TskFrameState::Maximized: {
      if (restoreBounds_.IsEmpty()) restoreBounds_ = before;
      TRect target = ScreenWorkRect(*form_, !MaximizeOnFullScreen);
      const TRect monitor = ScreenWorkRect(*form_, false);
      // A work area as large as the primary screen (a panel that hides itself) keeps a pixel free
      // on every side, so the panel can still be reached.
      if (!MaximizeOnFullScreen && target == monitor && Screen &&
          monitor == TRect(0, 0, Screen->Width(), Screen->Height()))
        target = {target.Left + 1, target.Top + 1, target.Right - 1, target.Bottom - 1};
      form_->SetBounds(target.Left, target.Top, target.Width(), target.Height());
      break;
    }
    case TskFrameState::Normal: {
      rolledUpWhileMaximized_ = false;
      const TRect r = restoreBounds_.IsEmpty() ? before : restoreBounds_;
      form_->SetBounds(r.Left, r.Top, r.Width(), r.Height());
      if (!mouseTimer_) {
        form_->SetTimer(kMouseTimer, 50);
        mouseTimer_ = true;
      }
      if (r.Width() == before.Width() && r.Height() == before.Height()) NudgeWidth();
      form_->Invalidate();
      restoreBounds_ = {};
      break;
    }
  }
  ApplyDefaultHints();  // the maximise button's hint follows the state
  RequestFramePaint();
}

void TskSkinForm::SetRolledUp(bool up) {
  if (!HasIcon(borderIcons_, TskBorderIcon::biRollUp) || state_ == TskFrameState::Minimized) return;
  if (rolledUp_ && state_ == TskFrameState::Maximized && !rolledUpWhileMaximized_) return;
  if (up == rolledUp_) return;
  if (state_ == TskFrameState::Maximized) rolledUpWhileMaximized_ = up;
  if (up) {
    heightBeforeRollUp_ = form_->Height();
    rolledUp_ = true;
    form_->SetHeight(MinFrameHeight());
  } else {
    rolledUp_ = false;
    form_->SetHeight(heightBeforeRollUp_);
  }
  RequestFramePaint();
  if (OnChangeRollUpState) OnChangeRollUpState(this);
}

void TskSkinForm::CaptionDoubleClick() {
  const bool sizeable = Sizeable();
  if (sizeable && state_ == TskFrameState::Minimized) SetFrameWindowState(TskFrameState::Normal);
  else if (sizeable && state_ != TskFrameState::Maximized && !rolledUp_ && HasIcon(borderIcons_, TskBorderIcon::biMaximize))
    SetFrameWindowState(TskFrameState::Maximized);
  else if (sizeable && state_ == TskFrameState::Maximized && !rolledUpWhileMaximized_)
    SetFrameWindowState(TskFrameState::Normal);
  else
    SetRolledUp(!rolledUp_);
}

void TskSkinForm::MagneticSnap(int& left, int& top, int width, int height) const {
  const TRect r = ScreenWorkRect(*form_);
  const int m = MagneticSize;
  if (left < r.Left + m && left > r.Left - m) left = r.Left;
  if (top < r.Top + m && top > r.Top - m) top = r.Top;
  if (left + width > r.Right - m && left + width < r.Right + m) left = r.Right - width;
  if (top + height > r.Bottom - m && top + height < r.Bottom + m) top = r.Bottom - height;
}

void TskSkinForm::RunCommand(SkinCommand command) {
  switch (command) {
    case SkinCommand::cmclose: form_->Close(); break;
    case SkinCommand::cmmaximize:
      SetFrameWindowState(state_ == TskFrameState::Maximized ? TskFrameState::Normal : TskFrameState::Maximized);
      break;
    case SkinCommand::cmminimize:
      if (AlwaysMinimizeToTray) MinimizeFrameToTray();
      else SetFrameWindowState(state_ == TskFrameState::Minimized ? TskFrameState::Normal : TskFrameState::Minimized);
      break;
    case SkinCommand::cmrollup: SetRolledUp(!rolledUp_); break;
    case SkinCommand::cmminimizetotray: MinimizeFrameToTray(); break;
    default: break;
  }
}

// ---------------------------------------------------------------------------------------------
// The tray

void TskSkinForm::SetTrayIcon(TskTrayIcon* value) {
  SetReference(trayIcon_, value);
  if (!value) return;
  value->SetIconVisible(AlwaysShowInTray);
  value->MinimizeToTray = false;
  if (IsDesigning()) return;
  if (!value->PopupMenu()) value->SetPopupMenu(trayMenu_);
  if (!value->OnDblClick) value->OnDblClick = [this](TObject*) { RestoreFrameFromTray(); };
}

void TskSkinForm::MinimizeFrameToTray() {
  if (!trayIcon_) return;
  if (!TskTrayIcon::TrayAvailable()) {
    static bool told = false;
    if (!told) {
      told = true;
      // The error box's look; the sentence ends with its own full stop.
      Application->MessageBox("桌面没有通知区域，窗口无法最小化到图标。", Application->Title, MB_OK | MB_ICONSTOP);
    }
    return;
  }
  trayIcon_->MinimizeToTray = true;
  Application->Minimize();
  if (OnMinimizeToTray) OnMinimizeToTray(this);
}

void TskSkinForm::RestoreFrameFromTray() {
  if (!trayIcon_) return;
  trayIcon_->MinimizeToTray = false;
  trayIcon_->RestoreFromTray();
  Application->Restore();
  if (!AlwaysShowInTray) trayIcon_->SetIconVisible(false);
  if (OnRestoreFromTray) OnRestoreFromTray(this);
}

// ---------------------------------------------------------------------------------------------
// Fading

void TskSkinForm::StartFadeIn() {
  if (!LayeringAvailable() || !(AlphaBlend || AlphaBlendAnimation)) return;
  form_->SetWindowLong(GWL_EXSTYLE, form_->GetWindowLong(GWL_EXSTYLE) | WS_EX_LAYERED);
  ApplyLayeredAlpha(*form_, 0);
  form_->SetTimer(kFadeTimer, 1);
}

std::vector<int> TskSkinForm::FadeInSteps(int target) {
  std::vector<int> steps;
  for (int a = 5; a < target; a += 5) steps.push_back(a);
  steps.push_back(std::max(0, target));
  return steps;
}

void TskSkinForm::FinishFadeIn() {
  form_->KillTimer(kFadeTimer);
  if (!LayeringAvailable() || !(AlphaBlend || AlphaBlendAnimation)) return;
  const int target = AlphaBlendAnimation && !AlphaBlend ? 255 : AlphaBlendValue;
  if (AlphaBlendAnimation) {
    Application->ProcessMessages();
    for (int a : FadeInSteps(target)) ApplyLayeredAlpha(*form_, a);
  } else if (target != 255) {
    ApplyLayeredAlpha(*form_, AlphaBlendValue);
  }
  if (target == 255) form_->SetWindowLong(GWL_EXSTYLE, form_->GetWindowLong(GWL_EXSTYLE) & ~WS_EX_LAYERED);
}

// ---------------------------------------------------------------------------------------------
// Menus

TskSkinMenuHost& TskSkinForm::MenuHost() {
  if (!menuHost_) {
    menuHost_ = FindMenuHost(form_);
    if (!menuHost_) menuHost_ = new TskSkinMenuHost(form_);
    menuHost_->FreeNotification(this);
    menuHost_->OnSkinMenuOpen = [this](TObject*) { if (OnSkinMenuOpen) OnSkinMenuOpen(this); };
    // However the menu ended (Escape, F10 or Alt, a command, a press elsewhere, the window losing
    // the activation), the caption button that carried it comes up and can open it again.
    menuHost_->OnSkinMenuClose = [this](TObject*) {
      RaiseMenuButton();
      if (OnSkinMenuClose) OnSkinMenuClose(this);
    };
  }
  menuHost_->SkinData = skinData_;
  menuHost_->MenusSkinData = menusSkinData_;
  TskSkinMenu& m = menuHost_->SkinMenu();
  m.UseSkinFont = UseSkinFontInMenu;
  m.DefaultItemHeight = defMenuItemHeight_;
  m.DefaultItemFont.Assign(defMenuItemFont_);
  m.AlphaBlend = MenusAlphaBlend;
  m.AlphaBlendValue = MenusAlphaBlendValue;
  m.AlphaBlendAnimation = MenusAlphaBlendAnimation;
  m.MaxMenuItemsInWindow = maxMenuItemsInWindow_;
  return *menuHost_;
}

void TskSkinForm::ShowMenuUnder(TMenuItem* item, const TRect& frameRect, bool upward) {
  if (!item || item->Count() == 0) return;
  const TRect w = form_->WindowRect();
  const TRect anchor = frameRect.Offset(w.Left, w.Top);
  // A skinned pop-up menu shows through its own entry (its OnPopup and its skin).
  if (auto* popup = dynamic_cast<TskSkinPopupMenu*>(item->GetParentMenu()); popup && &popup->Items() == item) {
    MenuHost();
    popup->ComponentForm = form_;
    popup->PopupAtRect(anchor, upward);
    return;
  }
  TskSkinMenuHost& host = MenuHost();
  if (host.SkinMenu().Visible()) host.ExitMenuMode();
  host.EnterMenuMode();
  host.SkinMenu().ShowMenu(nullptr, host.MenuSkin(), upward, item, anchor, 0);
  if (!host.SkinMenu().Visible()) host.ExitMenuMode();
}

void TskSkinForm::PopupSystemMenu(int x, int y) {
  TMenuItem* items = GetSystemMenuItems();
  const TRect w = form_->WindowRect();
  ShowMenuUnder(items, {x - w.Left, y - w.Top, x - w.Left, y - w.Top}, false);
}

void TskSkinForm::RaiseMenuButton() {
  for (auto& o : objects_) {
    auto* b = dynamic_cast<TskSkinButtonObject*>(o.get());
    if (b && b->Down && b->MenuItem) {
      b->SetDown(false);
      break;
    }
  }
}

std::string TskSkinForm::MenuCaption(const char* stringName, const char* builtIn) const {
  TskResourceStrData* strings = skinData_ ? skinData_->ResourceStrData() : nullptr;
  return strings ? strings->GetString(stringName) : builtIn;
}

TMenuItem* TskSkinForm::GetSystemMenuItems() {
  const bool minimized = state_ == TskFrameState::Minimized, maximized = state_ == TskFrameState::Maximized;
  auto make = [&](TComponent* owner, const char* name, const char* stringName, const char* caption,
                  std::function<void()> action) {
    auto* item = new TMenuItem(owner);
    item->SetName(name);
    item->Caption = MenuCaption(stringName, caption);
    item->OnClick = [action = std::move(action)](TObject*) { action(); };
    return item;
  };
  auto minItem = [&](TComponent* o) {
    return make(o, "SKF_MINITEM", "MI_MINCAPTION", "最小化(&n)", [this] {
      if (AlwaysMinimizeToTray) MinimizeFrameToTray();
      else SetFrameWindowState(TskFrameState::Minimized);
    });
  };
  auto maxItem = [&](TComponent* o) {
    return make(o, "SKF_MAXITEM", "MI_MAXCAPTION", "最大化(&x)", [this] { SetFrameWindowState(TskFrameState::Maximized); });
  };
  auto restoreItem = [&](TComponent* o) {
    return make(o, "SKF_RESTORE", "MI_RESTORECAPTION", "还原(&R)", [this] {
      if (rolledUp_ && (rolledUpWhileMaximized_ || state_ == TskFrameState::Normal)) SetRolledUp(false);
      else SetFrameWindowState(TskFrameState::Normal);
    });
  };
  auto rollUpItem = [&](TComponent* o) {
    return make(o, "SKF_ROLLUP", "MI_ROLLUPCAPTION", "向上卷拢(&l)", [this] { SetRolledUp(true); });
  };
  auto trayItem = [&](TComponent* o) {
    return make(o, "SKF_MINTOTRAY", "MI_MINTOTRAYCAPTION", "最小化到图标(&T)", [this] { MinimizeFrameToTray(); });
  };
  auto closeItem = [&](TComponent* o) {
    TMenuItem* item = make(o, "SKF_CLOSE", "MI_CLOSECAPTION", "关闭(&C)", [this] { form_->Close(); });
    item->ShortCut = ShortCut(VK_F4, ssAlt);
    return item;
  };
  const bool wantMin = !minimized && HasIcon(borderIcons_, TskBorderIcon::biMinimize);
  const bool wantMax = !maximized && HasIcon(borderIcons_, TskBorderIcon::biMaximize);
  const bool wantRestore = minimized || maximized || rolledUp_;
  const bool wantRollUp = !rolledUp_ && !minimized && HasIcon(borderIcons_, TskBorderIcon::biRollUp);
  const bool wantTray = HasIcon(borderIcons_, TskBorderIcon::biMinimizeToTray);

  if (systemMenu_) {
    TMenuItem& root = systemMenu_->Items();
    if (!UseDefaultSysMenu) return &root;
    for (int i = root.Count() - 1; i >= 0; --i) {
      const std::string& n = root.Items(i)->Name();
      if (n == "SKF_MINITEM" || n == "SKF_MAXITEM" || n == "SKF_CLOSE" || n == "SKF_MINTOTRAY" || n == "SKF_ROLLUP" ||
          n == "SKF_RESTORE")
        delete root.Items(i);
    }
    // Inserted at the top one after the other, so they read: minimize, restore, maximize,
    // roll-up, minimize to tray, then the user's items, then close.
    if (wantTray) root.Insert(0, trayItem(systemMenu_));
    if (wantRollUp) root.Insert(0, rollUpItem(systemMenu_));
    if (wantMax) root.Insert(0, maxItem(systemMenu_));
    if (wantRestore) root.Insert(0, restoreItem(systemMenu_));
    if (wantMin) root.Insert(0, minItem(systemMenu_));
    root.Add(closeItem(systemMenu_));
    return &root;
  }
  TMenuItem& root = defaultSystemMenu_->Items();
  while (root.Count() > 0) delete root.Items(root.Count() - 1);
  if (wantMin) root.Add(minItem(defaultSystemMenu_));
  if (wantMax) root.Add(maxItem(defaultSystemMenu_));
  if (wantRestore) root.Add(restoreItem(defaultSystemMenu_));
  if (wantRollUp) root.Add(rollUpItem(defaultSystemMenu_));
  if (wantTray) root.Add(trayItem(defaultSystemMenu_));
  if (root.Count() > 0) {
    auto* line = new TMenuItem(defaultSystemMenu_);
    line->Caption = "-";
    root.Add(line);
  }
  root.Add(closeItem(defaultSystemMenu_));
  return &root;
}

}  // namespace corvane
