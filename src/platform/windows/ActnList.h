// Actions: commands with a caption, hint, image, shortcut and enabled state, which toolbar buttons
// and menu items mirror. Action lists answer the shortcuts of their actions for the window they
// belong to and bring the actions' state up to date whenever the program goes idle. The standard
// edit actions act on the window's focused text control.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/core/Classes.h"
#include "platform/core/Types.h"

namespace corvane {

class TActionList;
class TForm;
class TImageList;

class TAction : public TComponent {
 public:
  explicit TAction(TComponent* owner);
  ~TAction() override;
  std::string ClassName() const override { return "TAction"; }

  TActionList* ActionList() const { return actionList_; }
  void SetActionList(TActionList* list);
  std::string Category;

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& v);
  // "short|long": pop-up hints show the part before the bar.
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& v);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  bool Checked() const { return checked_; }
  void SetChecked(bool v);
  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int v);
  TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut v) { shortCut_ = v; }

  TNotifyEvent OnExecute, OnUpdate;

  // Brings the state up to date: OnUpdate when there is one, otherwise the action's own rule
  // (a plain action is available exactly when it has an OnExecute handler).
  void Update();
  // Updates, then runs the action if it is enabled; returns whether it ran.
  bool Execute();

  // A client (toolbar button, menu item) is told through `changed` whenever a property it
  // mirrors changes; it is forgotten when either side is destroyed.
  void AddClient(TComponent* client, std::function<void()> changed);
  void RemoveClient(TComponent* client);

  void SetParentComponent(TComponent* parent) override;

 protected:
  virtual void UpdateState();
  virtual bool DoExecute();
  void Notification(TComponent* component, TOperation operation) override;

 private:
  void Changed();
  TActionList* actionList_ = nullptr;
  std::string caption_, hint_;
  bool enabled_ = true, checked_ = false, visible_ = true;
  int imageIndex_ = -1;
  TShortCut shortCut_ = 0;
  std::vector<std::pair<TComponent*, std::function<void()>>> clients_;
};

// A control's link to one action: the control mirrors the action's state (`changed` runs at once
// and on every change of the action) and runs it when clicked without a handler of its own. The
// control hands its Notification on, so an action destroyed first is forgotten; a control
// destroyed first drops out of the action's clients with its link.
class TActionLink {
 public:
  TActionLink(TComponent* client, std::function<void(TAction&)> changed)
      : client_(client), changed_(std::move(changed)) {}
  ~TActionLink() { SetAction(nullptr); }
  TActionLink(const TActionLink&) = delete;
  TActionLink& operator=(const TActionLink&) = delete;
  TAction* Action() const { return action_; }
  void SetAction(TAction* action);
  void Notification(TComponent* component, TOperation operation) {
    if (operation == TOperation::opRemove && component == action_) action_ = nullptr;
  }
  // Runs the action; false when there is none or it did not run.
  bool Execute() { return action_ && action_->Execute(); }

 private:
  TComponent* client_;
  std::function<void(TAction&)> changed_;
  TAction* action_ = nullptr;
};

class TActionList : public TComponent {
 public:
  explicit TActionList(TComponent* owner);
  ~TActionList() override;
  std::string ClassName() const override { return "TActionList"; }

  TImageList* Images() const { return images_; }
  void SetImages(TImageList* images);
  int ActionCount() const { return static_cast<int>(actions_.size()); }
  TAction* Actions(int i) const { return actions_.at(i); }

  // Runs the action that has this shortcut, if it can run now; false when none did.
  bool IsShortCut(TShortCut shortCut);
  // Updates every action (what the idle handling does).
  void UpdateActions();

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class TAction;
  TImageList* images_ = nullptr;
  std::vector<TAction*> actions_;
};

// Offers a key combination to the action lists of a window (before the focused control sees the
// key); true when an action ran.
bool DispatchShortCut(TForm* form, TShortCut shortCut);

// The window a component belongs to (its first owner that is a window), or null.
TForm* OwnerForm(const TComponent* component);

}  // namespace corvane
