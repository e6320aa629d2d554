#pragma once
// The standard edit actions (cut, copy, paste, select all, undo, delete), which act on the focused
// text control of their window.

#include <string>

#include "platform/windows/ActnList.h"

namespace corvane {

class TCustomEdit;

// The standard edit actions: each acts on the focused control of its window when that is a text
// control, and is enabled only when it can act there.
class TEditAction : public TAction {
 public:
  using TAction::TAction;
  std::string ClassName() const override { return "TEditAction"; }
  // The focused text control of the action's window, or null.
  TCustomEdit* Target() const;

 protected:
  void UpdateState() override;
  bool DoExecute() override;
  virtual bool CanActOn(TCustomEdit& edit) const = 0;
  virtual void ActOn(TCustomEdit& edit) = 0;
};

#define CORVANE_EDIT_ACTION(Name)                                         \
  class Name : public TEditAction {                                       \
   public:                                                                \
    using TEditAction::TEditAction;                                       \
    std::string ClassName() const override { return #Name; }             \
   protected:                                                             \
    bool CanActOn(TCustomEdit& edit) const override;                      \
    void ActOn(TCustomEdit& edit) override;                               \
  };
CORVANE_EDIT_ACTION(TEditCut)        // a selection in an editable control
CORVANE_EDIT_ACTION(TEditCopy)       // a selection
CORVANE_EDIT_ACTION(TEditPaste)      // an editable control and text on the clipboard
CORVANE_EDIT_ACTION(TEditSelectAll)  // some text
CORVANE_EDIT_ACTION(TEditUndo)       // something to undo
CORVANE_EDIT_ACTION(TEditDelete)     // a selection in an editable control
#undef CORVANE_EDIT_ACTION

}  // namespace corvane
