// The skinned push button: the theme's three-frame button image drawn nine-slice into the
// button's rectangle, with caption, optional glyph, focus mark and pressed offset on top.
#pragma once

#include <memory>
#include <string>

#include "controls/FileTheme.h"
#include "controls/Theme.h"
#include "platform/windows/ActnList.h"
#include "platform/windows/Forms.h"
#include "platform/windows/Menus.h"  // AcceleratorOf

namespace corvane {

class TthCustomButton : public TCustomControl, public TthFileThemeClient {
 public:
  explicit TthCustomButton(TComponent* owner);
  ~TthCustomButton() override;
  std::string ClassName() const override { return "TthCustomButton"; }

  // The caption is kept equal to the control's text (a text change, e.g. from an action, sets it).
  void SetCaption(const std::string& v);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool v);
  bool Cancel = false;
  bool Default() const { return default_; }
  void SetDefault(bool v);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v);
  TModalResult ModalResult = mrNone;
  TthUIStyle UIStyle() const { return uiStyle_; }
  void SetUIStyle(TthUIStyle v);
  TthFileTheme* FileTheme() const override { return fileTheme_; }
  void SetFileTheme(TthFileTheme* theme) override;
  void SetEnabled(bool v) override;
  void SetText(const std::string& v) override;
  // Milliseconds between OnMouseContinuouslyDown while the left button is held; 0 or less never
  // ticks. Takes effect at the next press.
  int MouseContinuouslyDownInterval = 100;
  int FocusedRectMargin() const { return focusedRectMargin_; }
  void SetFocusedRectMargin(int v) { focusedRectMargin_ = v; Invalidate(); }

  // Always 0; writes are ignored (kept so layouts that store it still load).
  int ResHandle() const { return 0; }
  void SetResHandle(int) {}

  TNotifyEvent OnMouseExit, OnMouseContinuouslyDown;  // OnMouseEnter comes from TControl

  bool Hot() const { return hot_; }
  bool Down() const { return down_; }
  bool RepeatTimerRunning() const { return timer_ != nullptr; }

  // The action the button mirrors (caption, hint, enabled and visible state) and runs when it is
  // clicked and has no OnClick of its own.
  TAction* Action() const { return actionLink_.Action(); }
  void SetAction(TAction* action) { actionLink_.SetAction(action); }

  void Click() override;

 protected:
  virtual void AutoSizeChanged();
  virtual void CaptionChanged() {}
  virtual void ButtonFontChanged();
  virtual void TransparentChanged();
  virtual void EnabledChanged() {}
  virtual void UIStyleChanged() {}
  virtual void PaintFace(TCanvas& canvas, TBitmap& stateImage);
  virtual void PaintCaption(TCanvas& canvas, const std::string& caption);
  virtual void PaintFocus(TCanvas& canvas);
  virtual void GetNormalImage(TBitmap& target) { ThemeImageOf(fileTheme_, uiStyle_, thButtonImage, target, 3, 1); }
  virtual void GetHotImage(TBitmap& target) { ThemeImageOf(fileTheme_, uiStyle_, thButtonImage, target, 3, 2); }
  virtual void GetDownImage(TBitmap& target) { ThemeImageOf(fileTheme_, uiStyle_, thButtonImage, target, 3, 3); }
  virtual void GetDisabledImage(TBitmap& target) { ThemeImageOf(fileTheme_, uiStyle_, thButtonImage, target, 3, 1); }

  void Paint() override;
  void WndProc(TMessage& m) override;
  void FontChanged() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void KeyDown(int& key, TShiftState shift) override;
  void KeyUp(int& key, TShiftState shift) override;
  void Notification(TComponent* component, TOperation operation) override;
  void StopRepeatTimer();

  bool autoSize_ = false;
  std::string caption_;
  bool default_ = false;
  bool transparent_ = false;
  TthUIStyle uiStyle_ = TthUIStyle::DeepBlue;
  TthFileTheme* fileTheme_ = nullptr;
  bool boldCaption_ = false;
  bool paintTransparent_ = false;
  std::unique_ptr<TTimer> timer_;
  int focusedRectMargin_ = 2;
  bool hot_ = false;
  bool down_ = false;
  TActionLink actionLink_;
};

enum class TButtonLayout : uint8_t { blGlyphLeft = 0, blGlyphRight = 1, blGlyphTop = 2, blGlyphBottom = 3 };

class TthButton : public TthCustomButton {
 public:
  explicit TthButton(TComponent* owner);
  std::string ClassName() const override { return "TthButton"; }

  const TBitmap& Glyph() const { return *glyph_; }
  void SetGlyph(const TBitmap& glyph);
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout v) { layout_ = v; Invalidate(); }
  int Spacing() const { return spacing_; }
  void SetSpacing(int v) { spacing_ = v; Invalidate(); }
  // Where the caption's top-left corner went at the last paint with a glyph.
  TPoint TextOrigin() const { return textOrigin_; }

 protected:
  void UIStyleChanged() override;
  void PaintFace(TCanvas& canvas, TBitmap& stateImage) override;
  void PaintCaption(TCanvas& canvas, const std::string& caption) override;
  void PaintFocus(TCanvas& canvas) override;

 private:
  std::unique_ptr<TBitmap> glyph_;
  TButtonLayout layout_ = TButtonLayout::blGlyphLeft;
  TPoint textOrigin_;
  int spacing_ = 4;
};

const char* ButtonLayoutName(TButtonLayout l);

// Draws `image` at (x, y) in the platform's greyed look: its shape in grey with a white
// highlight one pixel down and right; pixels of `transparent` are left out.
void DrawGreyed(TCanvas& canvas, const TBitmap& image, const TRect& src, TPoint at, TColor transparent);

}  // namespace corvane
