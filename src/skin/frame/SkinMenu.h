// Skinned menus. A window that shows skinned menus owns a menu engine, TskSkinMenu, which shows
// the items of a menu item as a stack of top-most pop-up windows (TskSkinPopupWindow, one per
// open level) drawn from the skin's pop-up window and menu item data, or in a plain look without
// a skin. The engine follows the pointer over its levels, opens sub-menus after a delay, scrolls
// long menus and closes everything when a command is chosen. TskSkinMenuHost gives a window its
// engine and the menu mode around a shown menu (the keyboard goes to the menu, a click elsewhere
// closes it); TskSkinPopupMenu is a pop-up menu whose Popup goes through the host of its window.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/windows/Forms.h"
#include "platform/windows/Menus.h"

namespace corvane {

class TImageList;
class TskDataSkinMenuItem;
class TskDataSkinPopupWindow;
class TskSkinData;
class TskSkinMenu;
class TskSkinPopupWindow;

// Sent (no parameters) to the window of the engine and to the control that asked for the menu
// when every level has closed, and to that control after a command was chosen from its menu.
inline constexpr unsigned MsgSkinMenuClosed = WM_USER + 204;
inline constexpr unsigned MsgSkinMenuCommand = WM_USER + 205;

// One item of a level.
class TskSkinMenuItem {
 public:
  TskSkinMenuItem(TskSkinPopupWindow* level, TMenuItem* item);

  TskSkinPopupWindow* PopupWindow;
  TMenuItem* MenuItem;
  TRect ObjectRect;         // in the level's client coordinates
  bool Active = false;      // highlighted
  bool Down = false;        // its sub-menu is open
  bool Visible = true;      // inside the shown part of a scrolled level
  bool WaitCommand = false; // selected without the mouse; its sub-menu has not been asked for
  double MorphFactor = 0;   // 0 normal .. 1 active, while cross-fading

  bool IsSeparator() const { return MenuItem->IsLine(); }
  bool Enabled() const { return MenuItem->Enabled; }
  // Enabled and not a separator: the items that can be highlighted and chosen.
  bool Selectable() const { return Enabled() && !IsSeparator(); }
  bool HasSubItems() const;
  // Whether the cross-fade still has a step to go towards the item's state.
  bool NeedsMorphStep() const;
  // Draws the item at its rectangle (through a bitmap of its size).
  void Draw(TCanvas& canvas);
  // The item's picture at its size in the normal or the active state (no cross-fade).
  void DrawState(TBitmap& out, bool active);

 private:
  void DrawPlain(TCanvas& c, int w, int h, bool active);
  void DrawSkinned(TCanvas& c, int w, int h, bool active);
  // Caption, shortcut text and the sub-menu arrow in the text rectangle t with the glyph column gw.
  void DrawTexts(TCanvas& c, const TRect& t, int gw, int arrowGap, TColor color);
  // The image, the frame command glyph, or the check mark or radio dot at glyph column x.
  void DrawGlyph(TCanvas& c, int imageX, int frameX, int checkX, int m, TColor color);
};

// One open level of a menu: a top-most pop-up window that never takes activation.
class TskSkinPopupWindow : public TPopupWindow {
 public:
  TskSkinPopupWindow(TskSkinMenu* menu, TskSkinData* skin);
  ~TskSkinPopupWindow() override;
  std::string ClassName() const override { return "TskSkinPopupWindow"; }

  // Window timers of a level.
  static constexpr uintptr_t kMouseTimer = 1, kMorphTimer = 2, kScrollTimer = 3;
  static constexpr int kMouseInterval = 50, kMorphInterval = 20, kScrollInterval = 100;

  // Builds the items of `item` from index `first` on, sizes and places the level for the anchor
  // rectangle (screen coordinates) and shows it; the first selectable item becomes active with
  // its wait command set.
  void Open(const TRect& anchor, TMenuItem* item, bool upward, bool subMenu, int first);

  TskSkinMenu* Menu() const { return menu_; }
  TMenuItem* ParentItem() const { return parentItem_; }
  // Drawn from the skin (pop-up window data with its picture, menu item data with its picture);
  // otherwise the plain look.
  bool Skinned() const { return skinned_; }
  int ItemCount() const { return static_cast<int>(items_.size()); }
  TskSkinMenuItem* Items(int i) const { return items_.at(i).get(); }
  int IndexOf(const TskSkinMenuItem* item) const;
  int ActiveIndex() const { return activeItem_; }
  TskSkinMenuItem* ActiveItem() const { return activeItem_ >= 0 ? Items(activeItem_) : nullptr; }
  int FirstVisible() const { return firstVisible_; }
  int VisibleCount() const { return visibleCount_; }
  bool Scrolled() const { return scroll_; }
  bool Limited() const { return limited_; }
  int ScrollCode() const { return scrollCode_; }  // 0 none, 1 up, 2 down
  TRect ItemsRect() const { return itemsRect_; }
  int GlyphWidth() const { return glyphWidth_; }
  // True when the window is narrower than its widest item (as wide as the screen allows).
  bool Narrowed() const { return narrowed_; }
  TImageList* Images() const { return images_; }
  const TFont& ItemFont() const { return itemFont_; }
  TskDataSkinMenuItem* ItemData() const { return itemData_; }
  TBitmap* ItemPicture() const { return itemPicture_; }
  TskDataSkinPopupWindow* PopupData() const { return popupData_; }

  // The pointer moved to / a button came up at a client point.
  void MouseMoveAt(TPoint p);
  void ButtonUpAt(TPoint p, TMouseButton button);
  // The pointer left the level (a scrolled level stops scrolling).
  void MouseOutside();

  // Item state changes (index into the item list).
  void ActivateItem(int index, bool keyboard);
  void DeactivateItem(int index);
  void ClickItem(int index);
  // Makes `index` the active item, deactivating the previous one; keyboard-style activation.
  void SelectItem(int index);
  // The item's accelerator was typed: it is activated the mouse way, becomes the active item and
  // is clicked.
  void ChooseByAccelerator(int index);
  // The next / previous selectable item, scrolling as needed; the search goes round the list once.
  void SelectNext();
  void SelectPrev();
  // Scrolls a scrolled level until the item is in its shown part.
  void ScrollIntoView(int index);
  // One item up or down; with `wrap` (keyboard) the ends wrap around. False when nothing moved.
  bool ScrollUp(bool wrap);
  bool ScrollDown(bool wrap);
  // The first index from which the last items fill the level.
  int LastStartIndex() const;

  // Raises every item of the level that is down.
  void RaiseItems();
  void RedrawItem(TskSkinMenuItem* item);
  // Stops every timer of the level (before it goes).
  void StopTimers();

  // Draws the whole level (background, items, scroll markers) into a bitmap of its size.
  void PaintLevel(TBitmap& out);

 protected:
  void WndProc(TMessage& message) override;
  void Paint() override;

 private:
  void BuildItems(TMenuItem* item, int first);
  void CalcSize();
  void LayoutItems();
  void Place(const TRect& anchor, bool upward, bool subMenu);
  int ItemHeight(const TskSkinMenuItem& item) const;
  int NormalItemHeight() const;
  int FramePartHeight() const;
  void StartScrolling(int code);
  void StopScrolling();
  void MouseTick();
  void MorphTick();
  void StartMorph();

  TskSkinMenu* menu_;
  TskSkinData* skin_;
  TMenuItem* parentItem_ = nullptr;
  TskDataSkinPopupWindow* popupData_ = nullptr;
  TskDataSkinMenuItem* itemData_ = nullptr;
  TBitmap* windowPicture_ = nullptr;
  TBitmap* maskPicture_ = nullptr;
  TBitmap* itemPicture_ = nullptr;
  bool skinned_ = false;
  TFont itemFont_;
  TRect itemsRect_;
  std::vector<std::unique_ptr<TskSkinMenuItem>> items_;
  int activeItem_ = -1;
  int prevActiveItem_ = -1;
  int firstVisible_ = 0;
  int visibleCount_ = 0;
  bool scroll_ = false;
  bool limited_ = false;
  bool narrowed_ = false;
  int scrollCode_ = 0;
  TImageList* images_ = nullptr;
  int glyphWidth_ = 19;
  TPoint lastMouse_{-1, -1};
  bool morphRunning_ = false;
};

// The menu engine of one window.
class TskSkinMenu : public TComponent {
 public:
  explicit TskSkinMenu(TComponent* owner);
  ~TskSkinMenu() override;
  std::string ClassName() const override { return "TskSkinMenu"; }

  bool UseSkinFont = true;        // items take the skin's menu item font
  int DefaultItemHeight = 20;     // of the plain look
  TFont DefaultItemFont;          // "Arial", 14 pixels, no style
  bool AlphaBlend = false;
  int AlphaBlendValue = 150;
  bool AlphaBlendAnimation = false;  // the first level of a fresh menu fades in
  int MaxMenuItemsInWindow = 0;      // more items than this scroll (0: as many as fit the screen)
  TWinControl* Form = nullptr;       // told MsgSkinMenuClosed when everything closed

  static constexpr int kWaitInterval = 500;  // before a hovered item's sub-menu opens

  // Closes what is open and shows the items of `item` from index `first` on as level 0 at the
  // anchor rectangle (screen coordinates; a point for a menu at the pointer).
  void ShowMenu(TWinControl* popupControl, TskSkinData* skin, bool upward, TMenuItem* item, const TRect& anchor,
                int first = 0);
  // Creates a level for the items of `item` and shows it.
  void OpenLevel(const TRect& anchor, TMenuItem* item, bool upward, bool subMenu, int first);
  // Closes levels n and above; closing level 0 ends the menu.
  void CloseLevels(int n);
  // Closes every level and tells the window.
  void CloseAll();
  // What hovering (click false) or choosing (click true) an item does.
  void ItemAction(TskSkinPopupWindow* level, TskSkinMenuItem* item, bool keyboard, bool click);
  // The key handling of an open menu (on its top level); returns true when the key ended the menu
  // (Escape on the last level).
  bool HandleKey(int key);

  bool Visible() const { return visible_; }
  int LevelCount() const { return static_cast<int>(levels_.size()); }
  TskSkinPopupWindow* Level(int i) const { return levels_.at(i).get(); }
  TskSkinPopupWindow* TopLevel() const { return levels_.empty() ? nullptr : levels_.back().get(); }
  int LevelIndex(const TskSkinPopupWindow* level) const;
  bool IsFirst() const { return first_; }
  const TRect& WorkArea() const { return workArea_; }
  TskSkinData* SkinData() const { return skinData_; }
  TWinControl* PopupControl() const { return popupControl_; }
  TWinControl* CommandControl() const { return commandControl_; }
  bool WaitTimerRunning() const;
  TskSkinMenuItem* WaitItem() const { return waitItem_; }
  // The menu item of the last command chosen (null when it has gone since).
  TMenuItem* LastCommand() const { return lastCommand_; }
  void ForgetLastCommand();
  void StopWaitTimer();
  // Forgets the wait item when it goes with its level.
  void ItemGoing(TskSkinMenuItem* item);

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  void WaitTimerFired();
  void FreeLevel(std::unique_ptr<TskSkinPopupWindow> level);

  bool visible_ = false;
  bool first_ = false;
  TWinControl* popupControl_ = nullptr;
  TWinControl* commandControl_ = nullptr;
  std::vector<std::unique_ptr<TskSkinPopupWindow>> levels_;
  TRect workArea_;
  TskSkinData* skinData_ = nullptr;
  TTimer* waitTimer_ = nullptr;
  TskSkinMenuItem* waitItem_ = nullptr;
  TskSkinPopupWindow* waitLevel_ = nullptr;
  TMenuItem* lastCommand_ = nullptr;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);  // gone with the engine
};

// What a window needs to show skinned menus: its engine, the skins for the menus and the menu
// mode. While menu mode is on the keyboard goes to the open menu (every key press and wheel turn
// of the application is taken from the windows, whichever control has the focus; Alt on its own
// and F10 close the menu, other keys with Alt are left alone), and a button
// press anywhere in the application outside the menu, or the window being moved, resized or
// deactivated, closes the menu.
class TskSkinMenuHost : public TComponent {
 public:
  // `owner` is the window; it receives MsgSkinMenuClosed and becomes the engine's Form.
  explicit TskSkinMenuHost(TWinControl* owner);
  ~TskSkinMenuHost() override;
  std::string ClassName() const override { return "TskSkinMenuHost"; }

  TskSkinMenu& SkinMenu() { return *menu_; }
  TWinControl* Window() const { return window_; }
  // The skin of the window's menus; when none, SkinData is used.
  TskSkinData* MenusSkinData = nullptr;
  TskSkinData* SkinData = nullptr;
  TskSkinData* MenuSkin() const { return MenusSkinData ? MenusSkinData : SkinData; }

  void EnterMenuMode();
  void ExitMenuMode();
  bool InMenu() const { return inMenu_; }
  TNotifyEvent OnSkinMenuOpen, OnSkinMenuClose;

  // Shows the items of `item` at the screen point in menu mode (what a click on the window asking
  // for a menu does).
  void PopupAt(TMenuItem* item, int x, int y, TskSkinData* skin = nullptr);
  // Waits (running the event loop) until the menu has closed and menu mode has ended; returns the
  // item chosen from it, or null when it closed without a command (or the item has gone since).
  TMenuItem* RunModal(TMenuItem* item, int x, int y, TskSkinData* skin = nullptr);
  // What the window's closing messages do: close the menu when one shows, else leave menu mode.
  void CloseMenus();

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  void OnMessage(TMessage& msg, bool& handled);
  bool Hook(TControl* target, TMessage& msg);

  TWinControl* window_;
  TskSkinMenu* menu_;
  bool inMenu_ = false;
  bool hooked_ = false;
  TApplication::TMessageEvent previousOnMessage_;
  int hookId_ = 0;
};

// The menu host of a window: its first component that is one, or null.
TskSkinMenuHost* FindMenuHost(TComponent* window);

// A pop-up menu shown through the skinned menu engine of its window.
class TskSkinPopupMenu : public TPopupMenu {
 public:
  explicit TskSkinPopupMenu(TComponent* owner);
  ~TskSkinPopupMenu() override;
  std::string ClassName() const override { return "TskSkinPopupMenu"; }

  TskSkinData* SkinData() const { return skinData_; }
  void SetSkinData(TskSkinData* skin);
  // The window whose host shows the menu; when none, the owner if it is a window, else the
  // owner's owner if that is one.
  TComponent* ComponentForm = nullptr;

  // Shows the menu with its top-left corner at the screen point (OnPopup first). Without a host
  // on the window nothing is shown.
  void Popup(int x, int y);
  // Shows the menu under (or above) a screen rectangle.
  void PopupAtRect(const TRect& rect, bool upward);
  // As Popup, for a control that wants MsgSkinMenuClosed; needs a skin.
  void PopupForControl(TWinControl* control, int x, int y);

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TskSkinMenuHost* Host();
  void Show(TWinControl* control, const TRect& rect, bool upward);
  TskSkinData* skinData_ = nullptr;
};

}  // namespace corvane
