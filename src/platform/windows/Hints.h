// Pop-up hints: the hint window, the record that describes one hint, and the hint texts of
// controls. The application runs the hint cycle (TApplication in Forms.h): when the pointer rests
// on a control that shows hints, it waits the hint pause, asks the control (CM_HINTSHOW) and the
// show-hint notification, then has a window of the installed hint window class show the text;
// the hint goes after the hide pause, on a button press, a key or when the pointer leaves.
#pragma once

#include <functional>
#include <string>

#include "platform/windows/Controls.h"

namespace corvane {

class THintWindow;

// Makes a hint window of one class. Hint components install one application-wide. It is a plain
// function, holding no state, so an installed class never refers to the component that
// installed it.
using THintWindowClass = THintWindow* (*)(TComponent* owner);
template <class T>
THintWindow* HintWindowClassOf(TComponent* owner) { return new T(owner); }

// One hint about to be shown. CM_HINTSHOW (LParam = THintInfo*) and the show-hint notification
// may change it; a control answering CM_HINTSHOW with a non-zero result shows no hint.
struct THintInfo {
  TControl* HintControl = nullptr;
  THintWindowClass HintWindowClass = nullptr;
  TPoint HintPos;         // screen point for the hint's top-left corner (below the pointer)
  int HintMaxWidth = 0;   // the widest the text may be before it wraps
  TColor HintColor = clInfoBk;
  TRect CursorRect;       // client coordinates of HintControl: the hint stays while the pointer does
  TPoint CursorPos;       // client coordinates of HintControl
  int HideTimeout = 0;    // milliseconds until the hint goes; 0 or less: it stays until the pointer moves on
  std::string HintStr;
};

// The show-hint notification: hint text, may-show flag and hint information, all changeable.
using TShowHintEvent = std::function<void(std::string& hintStr, bool& canShow, THintInfo& hintInfo)>;

// The pop-up part of a hint: the text before the first "|", or all of it.
std::string GetShortHint(const std::string& hint);
// The part after the first "|", or all of it when there is no bar.
std::string GetLongHint(const std::string& hint);

// Rows of the pointer image below its hot spot, where a hint below the pointer starts. The
// window system's standard pointer shapes cannot be examined, so this is the height of the
// standard arrow at the usual pointer size.
int CursorHeightMargin();

// The platform's hint window: a top-most tool window that never takes the focus or the mouse,
// with a one-pixel border (the WS_BORDER style; classes may take it away), filled with its Color
// and showing its caption.
class THintWindow : public TCustomControl {
 public:
  explicit THintWindow(TComponent* owner);
  ~THintWindow() override;
  std::string ClassName() const override { return "THintWindow"; }

  // Places, sizes and shows the window for the text. `rect` is in screen coordinates, as
  // CalcHintRect gave it offset to the hint position; this window keeps it on the screen.
  virtual void ActivateHint(TRect rect, const std::string& text);
  // The size (from 0, 0) the text needs in this window, wrapped at maxWidth pixels.
  virtual TRect CalcHintRect(int maxWidth, const std::string& text);

  void SetVisible(bool v) override;
  bool Showing() const override;

 protected:
  // Shows the window at topLeft above every window that is not top-most, without activating it
  // and without changing its size.
  void ShowAt(TPoint topLeft);
  void DefaultHandler(TMessage& message) override;
  void Paint() override;
};

}  // namespace corvane
