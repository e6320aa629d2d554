// Menus: menu items in a tree under a pop-up menu. An item carries a caption (with an "&" before
// its accelerator letter), a shortcut, an enabled state, a check mark (or a radio dot), an image
// of its menu's image list and may take all of these from an action. A window may also use an
// item's check mark to hold an on/off setting. The platform draws no menus of its own: a menu is
// shown by whoever shows its items.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/Classes.h"
#include "platform/windows/ActnList.h"

namespace corvane {

class TCanvas;
class TImageList;
class TPopupMenu;

// Draws a menu item in place of the menu's own drawing: the canvas, the item's rectangle on it
// and whether the item is highlighted.
using TMenuDrawItemEvent = std::function<void(TObject* sender, TCanvas& canvas, const TRect& rect, bool selected)>;

class TMenuItem : public TComponent {
 public:
  explicit TMenuItem(TComponent* owner);
  ~TMenuItem() override;
  std::string ClassName() const override { return "TMenuItem"; }

  std::string Caption;  // "-" makes the item a separator
  bool Checked = false;
  bool Enabled = true;
  bool Visible = true;
  bool RadioItem = false;  // checked, it shows a dot instead of a check mark
  int ImageIndex = -1;     // in the image list of the item's menu
  bool Default = false;    // the item a double click on the menu's tray icon chooses
  TShortCut ShortCut = 0;
  TNotifyEvent OnClick;
  TMenuDrawItemEvent OnDrawItem;

  // The action the item mirrors (caption, shortcut, enabled, checked, visible and image) and runs
  // when clicked without an OnClick handler of its own.
  TAction* Action() const { return actionLink_.Action(); }
  void SetAction(TAction* action) { actionLink_.SetAction(action); }
  // Brings the action's state up to date and takes it over (nothing without an action).
  void InitiateAction();

  TMenuItem* Parent() const { return parent_; }
  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem* Items(int i) const { return items_.at(i); }
  bool IsLine() const { return Caption == "-"; }
  // Adds an item at the end (taking it from its previous parent item).
  void Add(TMenuItem* item);
  void Insert(int index, TMenuItem* item);
  void Remove(TMenuItem* item);
  int IndexOf(const TMenuItem* item) const;
  // The pop-up menu whose tree the item belongs to, or null.
  TPopupMenu* GetParentMenu() const;
  // What choosing the item does, when it is enabled: OnClick, else its action.
  void Click();

  void SetParentComponent(TComponent* parent) override;

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class TPopupMenu;
  TMenuItem* parent_ = nullptr;
  TPopupMenu* menu_ = nullptr;  // set on the root item of a pop-up menu
  std::vector<TMenuItem*> items_;
  TActionLink actionLink_;
};

class TPopupMenu : public TComponent {
 public:
  explicit TPopupMenu(TComponent* owner);
  ~TPopupMenu() override;
  std::string ClassName() const override { return "TPopupMenu"; }
  // The root item; the menu's entries are its items.
  TMenuItem& Items() { return items_; }
  bool AutoPopup = true;
  // Images the items show by their ImageIndex; none by default.
  TImageList* Images() const { return images_; }
  void SetImages(TImageList* images);
  // Runs as the menu is about to be shown.
  TNotifyEvent OnPopup;

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TMenuItem items_{nullptr};
  TImageList* images_ = nullptr;
};

// The text of a shortcut as menus show it: "Ctrl+S", "Shift+Del", "Alt+F4" (modifiers in the
// order Shift, Ctrl, Alt); empty for no shortcut.
std::string ShortCutToText(TShortCut shortCut);
// The accelerator of a caption: the character after a single "&" ("&&" is a literal ampersand),
// as written; 0 when there is none.
char32_t AcceleratorOf(const std::string& caption);
// Whether a key (a virtual-key code: 'A'..'Z', '0'..'9') is the caption's accelerator, in either
// letter case.
bool IsAccel(int key, const std::string& caption);

}  // namespace corvane
