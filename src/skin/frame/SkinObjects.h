// Frame objects: the caption, the caption buttons, animations and user areas of a skinned frame.
// Each has its rectangle on the frame (frame coordinates: origin at the window's top-left corner),
// its looks (normal, hover, pressed, disabled, inactive, with an optional cross-fade between
// normal and hover) and its mouse behaviour. The frame (TskSkinForm) owns them, builds them from
// the skin's objects or makes the six default buttons, and routes the mouse to them.
#pragma once

#include <string>

#include "platform/core/Types.h"
#include "platform/graphics/Graphics.h"
#include "skin/package/SkinIni.h"

namespace corvane {

class TskSkinForm;
class TskSkinData;
class TskDataSkinObject;
class TMenuItem;

class TskActiveSkinObject {
 public:
  // Copies the member's fields (a null member makes an object without skin data). The active
  // picture is the skin's picture `activepictureindex`; an index out of range leaves none, empties
  // the active rectangle (in the member too) and switches morphing off.
  TskActiveSkinObject(TskSkinForm* frame, TskSkinData* data, TskDataSkinObject* member);
  virtual ~TskActiveSkinObject() = default;
  virtual std::string Kind() const { return "object"; }

  // Virtual operations, in slot order.
  virtual bool NeedsMorphStep() const;
  virtual void Draw(TCanvas& canvas, bool single);
  virtual void DblClick() {}
  virtual void MouseDown(int x, int y, TMouseButton button);
  virtual void MouseUp(int x, int y, TMouseButton button);
  virtual void MouseMove(int x, int y);
  virtual void MouseEnter();
  virtual void MouseLeave();

  // Moves the morph factor 0.2 toward its target, within 0..1.
  void MorphStep();

  TskSkinForm* Frame;
  TskSkinData* SkinData;
  std::string IDName;
  std::string Hint;
  bool InPicture = false;
  TRect SkinRect, ActiveSkinRect, InActiveSkinRect;
  TBitmap* MainPicture = nullptr;
  TBitmap* ActivePicture = nullptr;
  bool Morphing = false;
  SkinMorphKind MorphKind = SkinMorphKind::mkdefault;
  double MorphFactor = 0;
  TRect ObjectRect;
  bool Active = false, MouseIn = false;
  bool Enabled = true, Visible = true;

 protected:
  // Starts the fade toward the current state: the morph timer when morphing, else a redraw now.
  void StartFade();
  // The base look (inactive, cross-fade, hover, normal) into ObjectRect.
  void DrawBase(TCanvas& canvas, bool single);
  // The picture the normal look comes from.
  TBitmap* NormalPicture() const { return InPicture ? ActivePicture : MainPicture; }
  // Copies src of the picture to ObjectRect, scaling when the sizes differ.
  void CopyLook(TCanvas& canvas, TBitmap* picture, const TRect& src) const;
  // Cross-fades normal (from its picture) into hover at the morph factor and draws it.
  void DrawMorph(TCanvas& canvas, TBitmap* normalPicture, const TRect& normal, const TRect& hover) const;
  bool FadeUnfinished() const { return (Active && MorphFactor < 1) || (!Active && MorphFactor > 0); }
};

// An area the application paints (OnPaintEvent).
class TskUserObject : public TskActiveSkinObject {
 public:
  using TskActiveSkinObject::TskActiveSkinObject;
  std::string Kind() const override { return "user"; }
  void Draw(TCanvas& canvas, bool single) override;
};

class TskSkinButtonObject : public TskActiveSkinObject {
 public:
  TskSkinButtonObject(TskSkinForm* frame, TskSkinData* data, TskDataSkinObject* member);
  std::string Kind() const override { return "button"; }
  bool NeedsMorphStep() const override;
  void Draw(TCanvas& canvas, bool single) override;
  void MouseDown(int x, int y, TMouseButton button) override;
  void MouseUp(int x, int y, TMouseButton button) override;
  void MouseEnter() override;
  void MouseLeave() override;
  void SetDown(bool value);
  // Drops the button's menu down below it (nothing without a menu that has items).
  void ShowButtonMenu();

  bool Down = false;
  bool PopupUp = false;
  TRect DownRect, DisableSkinRect;
  TMenuItem* MenuItem = nullptr;

 protected:
  // The button's own look before the base rules: disabled, then pressed.
  bool DrawButtonState(TCanvas& canvas);
};

class TskSkinStdButtonObject : public TskSkinButtonObject {
 public:
  // A null member makes a default button (no skin data) with the given command.
  TskSkinStdButtonObject(TskSkinForm* frame, TskSkinData* data, TskDataSkinObject* member,
                         SkinCommand command = SkinCommand::cmdefault);
  std::string Kind() const override { return "stdbutton"; }
  bool NeedsMorphStep() const override;
  void Draw(TCanvas& canvas, bool single) override;
  void DblClick() override;
  void MouseDown(int x, int y, TMouseButton button) override;
  void MouseUp(int x, int y, TMouseButton button) override;
  // Whether the command's state is on: maximized, minimized or rolled up.
  bool CommandStateOn() const;

  bool Skinned = true;
  SkinCommand Command = SkinCommand::cmdefault;
  TRect RestoreRect, RestoreActiveRect, RestoreInActiveRect, RestoreDownRect;

 private:
  void DrawGlyphButton(TCanvas& canvas) const;
};

class TskSkinCaptionObject : public TskActiveSkinObject {
 public:
  TskSkinCaptionObject(TskSkinForm* frame, TskSkinData* data, TskDataSkinObject* member);
  std::string Kind() const override { return "caption"; }
  void Draw(TCanvas& canvas, bool single) override;
  void MouseEnter() override;
  void MouseLeave() override;

  std::string FontName;
  TFontStyles FontStyle = 0;
  int FontHeight = 14;
  TColor FontColor = clBlack, ActiveFontColor = clBlack;
  bool Shadow = false;
  TColor ShadowColor = clBlack, ActiveShadowColor = clBlack;
  TAlignment Alignment = TAlignment::taCenter;
  TRect TextRect, FrameRect, ActiveFrameRect, FrameTextRect;
  int FrameLeftOffset = 0, FrameRightOffset = 0;

 private:
  // Writes the caption (plate and shadow included) into the canvas at the offset, in the normal
  // or active colours.
  void WriteText(TCanvas& canvas, TPoint offset, bool activeColours) const;
  // The caption strip from a picture rectangle, at the object's size, with the text written in.
  void BuildStrip(TBitmap& out, TBitmap* picture, const TRect& src, bool activeColours) const;
};

class TskSkinAnimateObject : public TskActiveSkinObject {
 public:
  TskSkinAnimateObject(TskSkinForm* frame, TskSkinData* data, TskDataSkinObject* member);
  std::string Kind() const override { return "animate"; }
  void Draw(TCanvas& canvas, bool single) override;
  void DblClick() override;
  void MouseUp(int x, int y, TMouseButton button) override;
  void MouseEnter() override;
  void MouseLeave() override;
  // One tick of the 25 ms animation timer: the accumulator grows until it reaches the interval,
  // then the frame moves by one. Returns whether the object still animates.
  bool AnimationTick();

  int FrameNumber = 1;
  int Accumulator = 25;
  int TimerInterval = 50;
  int CountFrames = 1;
  bool Cycle = false;
  bool ButtonStyle = false;
  bool Forward = true;
  SkinCommand Command = SkinCommand::cmdefault;
  bool PopupUp = false;
  TMenuItem* MenuItem = nullptr;
};

}  // namespace corvane
