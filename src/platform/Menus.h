// Menus: menu items in a tree under a pop-up menu. An item carries a caption, an enabled state
// and a check mark, which a window may also use to hold an on/off setting.
#pragma once

#include <string>
#include <vector>

#include "Classes.h"

namespace corvane {

class TMenuItem : public TComponent {
 public:
  explicit TMenuItem(TComponent* owner);
  ~TMenuItem() override;
  std::string ClassName() const override { return "TMenuItem"; }

  std::string Caption;
  bool Checked = false;
  bool Enabled = true;
  bool Visible = true;
  TNotifyEvent OnClick;

  TMenuItem* Parent() const { return parent_; }
  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem* Items(int i) const { return items_.at(i); }
  // Adds an item at the end (taking it from its previous parent item).
  void Add(TMenuItem* item);
  void Remove(TMenuItem* item);
  // What choosing the item does: OnClick, when the item is enabled.
  void Click();

  void SetParentComponent(TComponent* parent) override;

 private:
  TMenuItem* parent_ = nullptr;
  std::vector<TMenuItem*> items_;
};

class TPopupMenu : public TComponent {
 public:
  explicit TPopupMenu(TComponent* owner);
  ~TPopupMenu() override;
  std::string ClassName() const override { return "TPopupMenu"; }
  // The root item; the menu's entries are its items.
  TMenuItem& Items() { return items_; }
  bool AutoPopup = true;

 private:
  TMenuItem items_{nullptr};
};

}  // namespace corvane
