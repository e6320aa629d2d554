// Toolbars: a strip of picture buttons and separators, the pictures taken from an image list and
// the buttons optionally following an action (picture, hint, enabled state, command). Buttons show
// their picture only, never their caption.
#pragma once

#include <string>

#include "platform/windows/ActnList.h"
#include "platform/windows/Controls.h"

namespace corvane {

class TAction;
class TImageList;

// Edges of a toolbar that carry an etched line.
using TEdgeBorders = unsigned;
constexpr TEdgeBorders ebLeft = 1, ebTop = 2, ebRight = 4, ebBottom = 8;

class TToolBar : public TCustomControl {
 public:
  explicit TToolBar(TComponent* owner);
  ~TToolBar() override;
  std::string ClassName() const override { return "TToolBar"; }

  TImageList* Images() const { return images_; }
  void SetImages(TImageList* images);
  // Flat buttons show an edge only while the pointer is over them.
  bool Flat() const { return flat_; }
  void SetFlat(bool v) { flat_ = v; Invalidate(); }
  TEdgeBorders EdgeBorders() const { return edges_; }
  void SetEdgeBorders(TEdgeBorders v) { edges_ = v; Invalidate(); }
  int ButtonWidth = 23;
  int ButtonHeight = 22;

 protected:
  void Paint() override;
  // Disabled buttons take no mouse, so the pointer rests on the toolbar: the toolbar answers the
  // hint with the button under the pointer, disabled or not.
  void WndProc(TMessage& m) override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TImageList* images_ = nullptr;
  bool flat_ = false;
  TEdgeBorders edges_ = ebTop;
};

enum class TToolButtonStyle { tkButton, tkSeparator };

class TToolButton : public TGraphicControl {
 public:
  explicit TToolButton(TComponent* owner);
  ~TToolButton() override;
  std::string ClassName() const override { return "TToolButton"; }

  TToolButtonStyle Style() const { return style_; }
  void SetStyle(TToolButtonStyle s) { style_ = s; Invalidate(); }
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int v) { imageIndex_ = v; Invalidate(); }
  // The action the button runs and mirrors (image, hint, caption, enabled and visible state).
  TAction* Action() const { return actionLink_.Action(); }
  void SetAction(TAction* action) { actionLink_.SetAction(action); }
  TToolBar* ToolBar() const { return dynamic_cast<TToolBar*>(Parent()); }
  // Whether the pointer is over the button (what a flat button shows its edge for).
  bool Hot() const { return hot_; }
  bool Down() const { return down_; }

  // OnClick when there is one, otherwise the action.
  void Click() override;

 protected:
  void Paint() override;
  void WndProc(TMessage& m) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TToolButtonStyle style_ = TToolButtonStyle::tkButton;
  int imageIndex_ = -1;
  TActionLink actionLink_;
  bool hot_ = false;
  bool down_ = false;
};

}  // namespace corvane
