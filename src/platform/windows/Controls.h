// Controls and the window system: message-driven windowed controls (each with a toolkit handle),
// graphic controls painted and fed by their parent, mouse routing with non-client hit testing,
// capture, enter/leave, focus and tab order, timers, window styles, regions and alpha.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/Classes.h"
#include "platform/core/Messages.h"
#include "platform/core/Types.h"
#include "platform/graphics/Graphics.h"

namespace corvane {

class TWinControl;
class TForm;
class TWindowHandle;  // the toolkit side of a windowed control (private to the platform)

using TMouseEvent = std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TObject* sender, TShiftState shift, int x, int y)>;
using TKeyEvent = std::function<void(TObject* sender, int& key, TShiftState shift)>;
// The handler may replace the character; 0 swallows it.
using TKeyPressEvent = std::function<void(TObject* sender, char32_t& key)>;
using TWndMethod = std::function<void(TMessage& message)>;

// Mouse key state flags of client mouse messages.
constexpr WPARAM MK_LBUTTON = 0x1, MK_RBUTTON = 0x2, MK_SHIFT = 0x4, MK_CONTROL = 0x8, MK_MBUTTON = 0x10;

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* owner);
  ~TControl() override;
  std::string ClassName() const override { return "TControl"; }

  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* parent);

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
  void SetTop(int v) { SetBounds(left_, v, width_, height_); }
  void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
  void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
  virtual void SetBounds(int left, int top, int width, int height);
  TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
  virtual TRect ClientRect() const { return {0, 0, width_, height_}; }
  int ClientWidth() const { return ClientRect().Width(); }
  int ClientHeight() const { return ClientRect().Height(); }
  virtual void SetClientSize(int width, int height);
  // Screen position of the client area's top-left corner.
  virtual TPoint ClientOrigin() const;
  TPoint ClientToScreen(TPoint p) const;
  TPoint ScreenToClient(TPoint p) const;

  bool Visible() const { return visible_; }
  virtual void SetVisible(bool v);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible and every parent visible (and, for the top, shown on screen).
  virtual bool Showing() const;
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool v);

  const std::string& Caption() const { return text_; }
  const std::string& Text() const { return text_; }
  void SetCaption(const std::string& v) { SetText(v); }
  virtual void SetText(const std::string& v);

  TColor Color() const { return color_; }
  virtual void SetColor(TColor c);
  TFont& Font() { return font_; }
  const TFont& Font() const { return font_; }
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool v);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool v);
  TCursor Cursor() const { return cursor_; }
  virtual void SetCursor(TCursor c);
  TAlign Align = TAlign::alNone;

  std::string Hint;
  bool ShowHint = false;
  bool ParentShowHint = true;
  bool EffectiveShowHint() const;
  int Tag = 0;

  // Message handling: WindowProc may be replaced (subclassing); the replaced procedure should
  // call the previous one for what it does not handle. It starts as WndProc.
  TWndMethod WindowProc;
  virtual void WndProc(TMessage& message);
  virtual void DefaultHandler(TMessage& message);
  LRESULT Perform(unsigned msg, WPARAM wParam = 0, LPARAM lParam = 0);

  virtual void Invalidate();
  void Repaint() { Invalidate(); Update(); }
  virtual void Update();
  void BringToFront();
  void SendToBack();

  virtual void Click();
  bool MouseCapture() const;
  void SetMouseCapture(bool capture);
  TForm* ParentForm() const;
  bool IsWindowed() const { return windowed_; }

  TNotifyEvent OnClick, OnDblClick, OnMouseEnter, OnMouseLeave, OnResize;
  TMouseEvent OnMouseDown, OnMouseUp;
  TMouseMoveEvent OnMouseMove;

 protected:
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void DblClick();
  virtual void FontChanged();
  virtual void Resize();
  virtual void BoundsChanged() {}
  void ParentFontChanged();
  void ParentColorChanged();
  // Whether a click (press and release inside) becomes Click(); true for most controls.
  bool ClickOnRelease = true;
  bool windowed_ = false;
  bool pressed_ = false;  // a button went down on this control and has not come up

  friend class TWinControl;
  friend class TApplication;
  friend class TWindowHandle;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  bool visible_ = true;
  bool enabled_ = true;
  std::string text_;
  TColor color_ = clBtnFace;
  TFont font_;
  bool parentFont_ = true;
  bool parentColor_ = false;
  TCursor cursor_ = crDefault;
  TWinControl* parent_ = nullptr;
};

// A control without a window of its own: the parent paints it and hands it the mouse.
class TGraphicControl : public TControl {
 public:
  explicit TGraphicControl(TComponent* owner);
  ~TGraphicControl() override;
  std::string ClassName() const override { return "TGraphicControl"; }
  void Invalidate() override;
  // Paints the control into the canvas, whose origin is the control's top-left corner.
  void PaintTo(TCanvas& canvas);
  // True when painting sets every pixel of the control's bounds with nothing showing through,
  // so what lies under it need not be painted first.
  virtual bool PaintsWholeBounds() const { return false; }

 protected:
  virtual void Paint() {}
  TCanvas& Canvas();
 private:
  TCanvas* canvas_ = nullptr;  // valid while painting
};

class TWinControl : public TControl {
 public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;
  std::string ClassName() const override { return "TWinControl"; }

  TWindowHandle* Handle() const { return handle_.get(); }
  bool HandleAllocated() const { return handle_ != nullptr; }

  int ControlCount() const { return static_cast<int>(controls_.size()); }
  // Children in stacking order: windowed children above graphic ones, index 0 lowest.
  TControl* Controls(int i) const { return controls_.at(i); }
  const std::vector<TControl*>& ControlList() const { return controls_; }
  TControl* FindChildControl(const std::string& name) const;
  // The topmost visible child at the client point (graphic children only unless asked).
  TControl* ControlAtPos(TPoint p, bool allowDisabled, bool allowWinControls = false) const;

  int TabOrder() const;
  void SetTabOrder(int order);
  bool TabStop = false;
  bool Focused() const;
  virtual bool CanFocus() const;
  virtual void SetFocus();
  // Moves the focus from `current` to the next (or previous) control in tab order.
  void SelectNext(TWinControl* current, bool forward, bool checkTabStop);
  TWinControl* FindNextControl(TWinControl* current, bool forward, bool checkTabStop, bool checkParent) const;
  std::vector<TWinControl*> TabList() const;

  void SetBounds(int left, int top, int width, int height) override;
  void SetVisible(bool v) override;
  void SetEnabled(bool v) override;
  void SetCursor(TCursor c) override;
  void Invalidate() override;
  void Update() override;
  TPoint ClientOrigin() const override;
  TRect ClientRect() const override;

  // Scales the children's positions, sizes and own fonts by m/d (layouts designed at another
  // resolution), descending into windowed children.
  void ScaleChildren(int m, int d);

  // Paints this control and its graphic children into the canvas (origin at this control's
  // client top-left); windowed children are left out.
  void PaintTo(TCanvas& canvas);
  // Paints the graphic children only.
  void PaintControls(TCanvas& canvas);

  // Window styles and extended styles as the window system keeps them.
  uint32_t GetWindowLong(int index) const;
  void SetWindowLong(int index, uint32_t value);
  // Window region in window coordinates; an empty optional removes it.
  void SetWindowRegion(const TRegion* region);
  // The region last set (null when the window is rectangular).
  const TRegion* WindowRegion() const { return region_.get(); }
  // Constant alpha of a layered window (0..255).
  void SetLayeredAlpha(int alpha);
  int LayeredAlpha() const { return alpha_; }
  // Window timers: WM_TIMER with WParam = id every `ms` milliseconds.
  void SetTimer(uintptr_t id, int ms);
  void KillTimer(uintptr_t id);
  // The whole window rectangle on screen (for top-level windows, including the frame area).
  TRect WindowRect() const;
  // The non-client margins that WM_NCCALCSIZE gave (left, top, right, bottom).
  TRect NonClientMargins() const { return ncMargins_; }
  // Asks WM_NCCALCSIZE again and lays the children out for the new client area.
  void RecalcNonClient();
  // After a top-level window changed its size: RecalcNonClient, then WM_SIZE with the new client
  // width and height in LParam.
  void WindowResized();
  void InvalidateNonClient();

  TNotifyEvent OnEnter, OnExit;
  TKeyEvent OnKeyDown, OnKeyUp;
  TKeyPressEvent OnKeyPress;

  void InsertControl(TControl* c);
  void RemoveControl(TControl* c);
  void RestackHandles();

 protected:
  void WndProc(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;
  virtual void KeyDown(int& key, TShiftState shift);
  virtual void KeyUp(int& key, TShiftState shift);
  virtual void KeyPress(char32_t& key);
  virtual void DoEnter();
  virtual void DoExit();
  // Paints the control's own face (the window procedure's WM_PAINT). Default: fill with Color.
  virtual void PaintWindow(TCanvas& canvas);
  // Creates the toolkit handle; native controls override this to wrap a native widget.
  virtual std::unique_ptr<TWindowHandle> CreateHandle();
  void InitHandle();
  // True while the control wants to handle the key itself instead of the dialog navigation.
  virtual int DialogCode(int key) const { return 0; }
  bool BroadcastDialogKey(TMessage& message);

  friend class TWindowHandle;
  friend class TForm;
  friend class TApplication;
  friend class TControl;
  std::vector<TControl*> controls_;
  std::unique_ptr<TWindowHandle> handle_;
  int tabOrder_ = -1;
  uint32_t style_ = WS_CHILD | WS_CLIPSIBLINGS, exStyle_ = 0;
  int alpha_ = 255;
  TRect ncMargins_;
  std::unique_ptr<TRegion> region_;
};

// A windowed control that paints itself on a canvas.
class TCustomControl : public TWinControl {
 public:
  explicit TCustomControl(TComponent* owner);
  std::string ClassName() const override { return "TCustomControl"; }
 protected:
  void PaintWindow(TCanvas& canvas) override;
  virtual void Paint() {}
  TCanvas& Canvas();
 private:
  TCanvas* canvas_ = nullptr;
};

// Releases the mouse capture held by any control (the window system's ReleaseCapture).
void ReleaseCapture();
// Sends a message synchronously through the control's WindowProc.
LRESULT SendMessage(TControl* control, unsigned msg, WPARAM wParam, LPARAM lParam);
// Posts a message: it is delivered from the event loop later (dropped if the control has died).
void PostMessage(TWinControl* control, unsigned msg, WPARAM wParam, LPARAM lParam);
// Runs fn from the event loop, after the events already queued.
void PostCall(std::function<void()> fn);
// Pointer position in screen coordinates.
TPoint GetCursorPos();
// The windowed control or the topmost graphic control at a screen point, among the program's
// visible windows.
TControl* FindControlAtScreen(TPoint p);
// The program's top-level window at a screen point (topmost first).
TWinControl* FindWindowAtScreen(TPoint p);
// The window system's own identifier of a windowed control's window (an X window id), for tools
// and tests that look at the screen from outside the program; 0 when it has no handle.
uint64_t NativeWindowId(const TWinControl* control);
// What the screen shows in a rectangle (screen coordinates), as the window system has it: for
// tools and tests that check what a user sees. False when the screen cannot be read.
bool GrabScreen(const TRect& area, TBitmap& out);
// Whether a window's constant alpha shows on this display: a compositing manager must be running
// (without one, windows are drawn opaque whatever their alpha).
bool WindowOpacityAvailable();
// Test seam: -1 (the default) asks the display; 0 or 1 is the answer WindowOpacityAvailable gives.
extern int gWindowOpacitySeam;
// Clipboard text.
std::string ClipboardText();
void SetClipboardText(const std::string& text);

}  // namespace corvane
