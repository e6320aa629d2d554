#include "skin/frame/SkinObjects.h"

#include <algorithm>
#include <cmath>

#include "platform/windows/Menus.h"
#include "skin/frame/EffectBmp.h"
#include "skin/frame/SkinDrawing.h"
#include "skin/frame/SkinForm.h"
#include "skin/package/ResourceStrData.h"
#include "skin/package/SkinData.h"
#include "skin/package/SkinMembers.h"

namespace corvane {

// ---------------------------------------------------------------------------------------------
// TskActiveSkinObject

TskActiveSkinObject::TskActiveSkinObject(TskSkinForm* frame, TskSkinData* data, TskDataSkinObject* member)
    : Frame(frame), SkinData(data) {
  if (member) {
    IDName = member->IDName;
    Hint = member->Hint;
    InPicture = member->SkinRectInAPicture;
    SkinRect = member->SkinRect;
    ActiveSkinRect = member->ActiveSkinRect;
    InActiveSkinRect = member->InActiveSkinRect;
    Morphing = member->Morphing;
    MorphKind = member->MorphKind;
    if (data) ActivePicture = data->ActivePicture(member->ActivePictureIndex);
    if (!ActivePicture) {
      ActiveSkinRect = {};
      member->ActiveSkinRect = {};
    }
  }
  if (ActiveSkinRect.IsEmpty()) Morphing = false;
  ObjectRect = SkinRect;
  if (data) MainPicture = data->Picture.get();
}

bool TskActiveSkinObject::NeedsMorphStep() const { return FadeUnfinished(); }

void TskActiveSkinObject::MorphStep() {
  const double target = Active ? 1.0 : 0.0;
  MorphFactor = std::clamp(MorphFactor + (Active ? 0.2 : -0.2), 0.0, 1.0);
  // Five steps of 0.2 add up to a little off the ends; the fifth lands on them, so a fade takes
  // five ticks both ways.
  if (std::fabs(MorphFactor - target) < 1e-9) MorphFactor = target;
}

void TskActiveSkinObject::StartFade() {
  if (Morphing) Frame->StartMorphTimer();
  else Frame->DrawObjectNow(*this);
}

void TskActiveSkinObject::CopyLook(TCanvas& canvas, TBitmap* picture, const TRect& src) const {
  if (!picture || picture->Empty() || src.IsEmpty() || ObjectRect.IsEmpty()) return;
  canvas.CopyRect(ObjectRect, picture->Canvas(), src);
}

void TskActiveSkinObject::DrawMorph(TCanvas& canvas, TBitmap* normalPicture, const TRect& normal,
                                    const TRect& hover) const {
  const int w = ObjectRect.Width(), h = ObjectRect.Height();
  if (w <= 0 || h <= 0 || !normalPicture || !ActivePicture) return;
  TBitmap a(w, h), b(w, h);
  a.Canvas().CopyRect({0, 0, w, h}, normalPicture->Canvas(), normal);
  b.Canvas().CopyRect({0, 0, w, h}, ActivePicture->Canvas(), hover);
  TskEffectBmp ea(a), eb(b);
  ea.Morph(MorphKind, eb, MorphFactor);
  ea.Draw(canvas, ObjectRect.Left, ObjectRect.Top);
}

void TskActiveSkinObject::DrawBase(TCanvas& canvas, bool single) {
  if (Enabled && !Frame->IsFormActive() && !InActiveSkinRect.IsEmpty()) {
    CopyLook(canvas, ActivePicture, InActiveSkinRect);
    return;
  }
  if (Morphing && FadeUnfinished()) {
    DrawMorph(canvas, NormalPicture(), SkinRect, ActiveSkinRect);
    return;
  }
  if (Active && !ActiveSkinRect.IsEmpty()) {
    CopyLook(canvas, ActivePicture, ActiveSkinRect);
    return;
  }
  if (!single && !InPicture) return;  // the frame picture already shows it
  CopyLook(canvas, NormalPicture(), SkinRect);
}

void TskActiveSkinObject::Draw(TCanvas& canvas, bool single) { DrawBase(canvas, single); }

void TskActiveSkinObject::MouseDown(int x, int y, TMouseButton button) {
  if (Frame->OnMouseDownEvent) Frame->OnMouseDownEvent(IDName, x, y, ObjectRect, button);
}

void TskActiveSkinObject::MouseUp(int x, int y, TMouseButton button) {
  if (MouseIn && Frame->OnMouseUpEvent) Frame->OnMouseUpEvent(IDName, x, y, ObjectRect, button);
}

void TskActiveSkinObject::MouseMove(int x, int y) {
  if (Frame->OnMouseMoveEvent) Frame->OnMouseMoveEvent(IDName, x, y, ObjectRect);
}

void TskActiveSkinObject::MouseEnter() {
  MouseIn = true;
  Active = true;
  if (!ActiveSkinRect.IsEmpty()) StartFade();
  if (Frame->OnMouseEnterEvent) Frame->OnMouseEnterEvent(IDName);
}

void TskActiveSkinObject::MouseLeave() {
  MouseIn = false;
  Active = false;
  if (!ActiveSkinRect.IsEmpty()) StartFade();
  if (Frame->OnMouseLeaveEvent) Frame->OnMouseLeaveEvent(IDName);
}

// ---------------------------------------------------------------------------------------------
// TskUserObject

void TskUserObject::Draw(TCanvas& canvas, bool) {
  if (Frame->OnPaintEvent) Frame->OnPaintEvent(IDName, canvas, ObjectRect);
}

// ---------------------------------------------------------------------------------------------
// TskSkinButtonObject

TskSkinButtonObject::TskSkinButtonObject(TskSkinForm* frame, TskSkinData* data, TskDataSkinObject* member)
    : TskActiveSkinObject(frame, data, member) {
  if (auto* b = dynamic_cast<TskDataSkinButton*>(member)) {
    DownRect = b->DownRect;
    DisableSkinRect = b->DisableSkinRect;
  }
}

bool TskSkinButtonObject::NeedsMorphStep() const {
  if (MenuItem && Down) return false;
  return TskActiveSkinObject::NeedsMorphStep();
}

bool TskSkinButtonObject::DrawButtonState(TCanvas& canvas) {
  if (!Enabled && !DisableSkinRect.IsEmpty()) {
    CopyLook(canvas, ActivePicture, DisableSkinRect);
    return true;
  }
  if (Down && MouseIn && !DownRect.IsEmpty()) {
    CopyLook(canvas, ActivePicture, DownRect);
    return true;
  }
  return false;
}

void TskSkinButtonObject::Draw(TCanvas& canvas, bool single) {
  if (!DrawButtonState(canvas)) DrawBase(canvas, single);
}

void TskSkinButtonObject::SetDown(bool value) {
  Down = value;
  if (Morphing && Active) MorphFactor = 1;
  Frame->DrawObjectNow(*this);
  if (Morphing && !Down) Frame->StartMorphTimer();
}

void TskSkinButtonObject::ShowButtonMenu() {
  if (!MenuItem || MenuItem->Count() == 0) return;
  Frame->ShowMenuUnder(MenuItem, ObjectRect, PopupUp);
}

void TskSkinButtonObject::MouseDown(int x, int y, TMouseButton button) {
  if (!Enabled) return;
  if (button == TMouseButton::mbLeft && !Down) {
    SetDown(true);
    ShowButtonMenu();
  }
  TskActiveSkinObject::MouseDown(x, y, button);
}

void TskSkinButtonObject::MouseUp(int x, int y, TMouseButton button) {
  if (!Enabled) return;
  if (button == TMouseButton::mbLeft && !MenuItem && Down) SetDown(false);
  TskActiveSkinObject::MouseUp(x, y, button);
}

void TskSkinButtonObject::MouseEnter() {
  MouseIn = true;
  Active = true;
  if (Down && !DownRect.IsEmpty()) {
    if (Morphing) MorphFactor = 1;
    Frame->DrawObjectNow(*this);
  } else if (!ActiveSkinRect.IsEmpty()) {
    StartFade();
  }
  if (Frame->OnMouseEnterEvent) Frame->OnMouseEnterEvent(IDName);
}

void TskSkinButtonObject::MouseLeave() {
  MouseIn = false;
  Active = false;
  if (!(MenuItem && Down)) {
    Frame->DrawObjectNow(*this);
    StartFade();
  }
  if (Frame->OnMouseLeaveEvent) Frame->OnMouseLeaveEvent(IDName);
}

// ---------------------------------------------------------------------------------------------
// TskSkinStdButtonObject

TskSkinStdButtonObject::TskSkinStdButtonObject(TskSkinForm* frame, TskSkinData* data, TskDataSkinObject* member,
                                               SkinCommand command)
    : TskSkinButtonObject(frame, data, member), Command(command) {
  if (auto* b = dynamic_cast<TskDataSkinStdButton*>(member)) {
    Command = b->Command;
    RestoreRect = b->RestoreRect;
    RestoreActiveRect = b->RestoreActiveRect;
    RestoreInActiveRect = b->RestoreInActiveRect;
    RestoreDownRect = b->RestoreDownRect;
  }
  if (!member) {
    Skinned = false;
    InPicture = true;
    SkinRect = ActiveSkinRect = DownRect = {0, 0, 1, 1};
    ObjectRect = SkinRect;
  }
}

bool TskSkinStdButtonObject::CommandStateOn() const {
  switch (Command) {
    case SkinCommand::cmmaximize: return Frame->FrameState() == TskFrameState::Maximized;
    case SkinCommand::cmminimize: return Frame->FrameState() == TskFrameState::Minimized;
    case SkinCommand::cmrollup: return Frame->RolledUp();
    default: return false;
  }
}

bool TskSkinStdButtonObject::NeedsMorphStep() const {
  if (Command == SkinCommand::cmsysmenu && Frame->ShowIcon() && InPicture) return false;
  return TskSkinButtonObject::NeedsMorphStep();
}

void TskSkinStdButtonObject::DrawGlyphButton(TCanvas& canvas) const {
  const int w = ObjectRect.Width(), h = ObjectRect.Height();
  if (w <= 0 || h <= 0) return;
  TBitmap b(w, h);
  TCanvas& c = b.Canvas();
  const bool pressed = Down && MouseIn;
  c.Brush().Style = TBrushStyle::bsSolid;
  if (pressed || MouseIn) {
    c.Brush().Color = clNavy;
    c.FillRect({0, 0, w, h});
    c.Brush().Color = pressed ? RGB(133, 146, 181) : RGB(182, 189, 210);
    c.FillRect({1, 1, w - 1, h - 1});
  } else {
    c.Brush().Color = clBtnFace;
    c.FillRect({0, 0, w, h});
  }
  const int x = w / 2 - 5 + (pressed ? 1 : 0), y = h / 2 - 4 + (pressed ? 1 : 0);
  const TColor colour = Enabled ? clBtnText : clBtnShadow;
  switch (Command) {
    case SkinCommand::cmclose: DrawCloseGlyph(c, x, y, colour); break;
    case SkinCommand::cmmaximize:
      if (CommandStateOn()) DrawRestoreGlyph(c, x, y, colour);
      else DrawMaximizeGlyph(c, x, y, colour);
      break;
    case SkinCommand::cmminimize:
      if (CommandStateOn()) DrawRestoreGlyph(c, x, y, colour);
      else DrawMinimizeGlyph(c, x, y, colour);
      break;
    case SkinCommand::cmsysmenu:
      if (Frame->ShowIcon()) Frame->DrawSmallIcon(c, 0, 0);
      else DrawSysMenuGlyph(c, x, y, colour);
      break;
    case SkinCommand::cmrollup:
      if (CommandStateOn()) DrawRollDownGlyph(c, x, y, colour);
      else DrawRollUpGlyph(c, x, y, colour);
      break;
    case SkinCommand::cmminimizetotray: DrawTrayGlyph(c, x, y, colour); break;
    case SkinCommand::cmdefault: break;
  }
  canvas.Draw(ObjectRect.Left, ObjectRect.Top, b);
}

void TskSkinStdButtonObject::Draw(TCanvas& canvas, bool single) {
  if (!Skinned) {
    DrawGlyphButton(canvas);
    return;
  }
  const bool active = Frame->IsFormActive();
  if (Enabled && (active || InActiveSkinRect.IsEmpty()) && Command == SkinCommand::cmsysmenu && Frame->ShowIcon() &&
      InPicture) {
    // The window's small icon stands for the button; it never fades.
    Frame->DrawSmallIcon(canvas, ObjectRect.Left, ObjectRect.Top);
    MorphFactor = 0;
    return;
  }
  if (Enabled && (active || InActiveSkinRect.IsEmpty()) && !RestoreRect.IsEmpty() && CommandStateOn()) {
    // The restore looks stand for the normal ones while the command's state is on.
    if (!active && !RestoreInActiveRect.IsEmpty()) {
      CopyLook(canvas, ActivePicture, RestoreInActiveRect);
    } else if (Down && MouseIn && !RestoreDownRect.IsEmpty()) {
      CopyLook(canvas, ActivePicture, RestoreDownRect);
    } else if (Morphing && FadeUnfinished()) {
      DrawMorph(canvas, ActivePicture, RestoreRect, RestoreActiveRect);
    } else if (Active && !RestoreActiveRect.IsEmpty()) {
      CopyLook(canvas, ActivePicture, RestoreActiveRect);
    } else {
      CopyLook(canvas, ActivePicture, RestoreRect);
    }
    return;
  }
  TskSkinButtonObject::Draw(canvas, single);
}

void TskSkinStdButtonObject::DblClick() {
  if (Command == SkinCommand::cmsysmenu) Frame->Form().Close();
}

void TskSkinStdButtonObject::MouseDown(int, int, TMouseButton button) {
  if (!Enabled || button != TMouseButton::mbLeft || Down) return;
  SetDown(true);
  if (Command == SkinCommand::cmsysmenu) {
    MenuItem = Frame->GetSystemMenuItems();
    ShowButtonMenu();
  }
}

void TskSkinStdButtonObject::MouseUp(int x, int y, TMouseButton button) {
  const bool run = Active && button == TMouseButton::mbLeft && Enabled;
  if (Command == SkinCommand::cmclose) {
    TskSkinButtonObject::MouseUp(x, y, button);
    if (run) Frame->RunCommand(Command);
    return;
  }
  if (run) Frame->RunCommand(Command);
  TskSkinButtonObject::MouseUp(x, y, button);
}

// ---------------------------------------------------------------------------------------------
// TskSkinCaptionObject

TskSkinCaptionObject::TskSkinCaptionObject(TskSkinForm* frame, TskSkinData* data, TskDataSkinObject* member)
    : TskActiveSkinObject(frame, data, member) {
  if (auto* c = dynamic_cast<TskDataSkinCaption*>(member)) {
    FontName = c->FontName;
    FontStyle = c->FontStyle;
    FontHeight = c->FontHeight;
    FontColor = c->FontColor;
    ActiveFontColor = c->ActiveFontColor;
    Shadow = c->Shadow;
    ShadowColor = c->ShadowColor;
    ActiveShadowColor = c->ActiveShadowColor;
    Alignment = c->Alignment;
    TextRect = c->TextRect;
    FrameRect = c->FrameRect;
    ActiveFrameRect = c->ActiveFrameRect;
    FrameTextRect = c->FrameTextRect;
    FrameLeftOffset = c->FrameLeftOffset;
    FrameRightOffset = c->FrameRightOffset;
  }
}

void TskSkinCaptionObject::MouseEnter() {
  MouseIn = true;
  if (Frame->OnMouseEnterEvent) Frame->OnMouseEnterEvent(IDName);
}

void TskSkinCaptionObject::MouseLeave() {
  MouseIn = false;
  if (Frame->OnMouseLeaveEvent) Frame->OnMouseLeaveEvent(IDName);
}

void TskSkinCaptionObject::WriteText(TCanvas& canvas, TPoint offset, bool activeColours) const {
  const std::string text = Frame->CaptionText();
  if (text.empty() || TextRect.IsEmpty()) return;
  TRect t = TextRect;
  t.Right += ObjectRect.Width() - SkinRect.Width();
  if (!FrameRect.IsEmpty()) {
    t.Left += FrameTextRect.Left;
    t.Top += FrameTextRect.Top;
    t.Right += FrameTextRect.Right - FrameRect.Width();
  }
  TFont& f = canvas.Font();
  f.SetName(FontName);
  f.SetStyle(FontStyle);
  f.SetHeight(FontHeight);
  f.SetColor(activeColours ? ActiveFontColor : FontColor);
  if (SkinData && SkinData->ResourceStrData()) f.SetCharset(SkinData->ResourceStrData()->CharSet);
  else f.SetCharset(Frame->DefCaptionFont().Charset());
  const std::string shown = FitTextWidth(canvas, text, t.Width());
  const TSize size = canvas.TextExtent(shown);
  int x = t.Left;
  if (Alignment == TAlignment::taRightJustify) x = t.Right - size.cx;
  else if (Alignment == TAlignment::taCenter) x = t.Left + t.Width() / 2 - size.cx / 2;
  const int y = t.Top + t.Height() / 2 - size.cy / 2;
  // The text rectangle is the object's own: the text sits at the object's corner plus it.
  x += ObjectRect.Left + offset.X;
  const int yy = y + ObjectRect.Top + offset.Y;
  if (!FrameRect.IsEmpty() && ActivePicture) {
    const TRect plate = activeColours && !ActiveFrameRect.IsEmpty() ? ActiveFrameRect : FrameRect;
    TBitmap strip;
    BuildHorzStrip(*ActivePicture, plate, FrameLeftOffset, FrameRightOffset,
                   FrameRect.Width() + size.cx - FrameTextRect.Width(), strip);
    canvas.Draw(x - FrameTextRect.Left, yy - FrameTextRect.Top, strip);
  }
  canvas.Brush().Style = TBrushStyle::bsClear;
  if (Shadow) {
    f.SetColor(activeColours ? ActiveShadowColor : ShadowColor);
    canvas.TextOut(x + 1, yy + 1, shown);
    f.SetColor(activeColours ? ActiveFontColor : FontColor);
  }
  canvas.TextOut(x, yy, shown);
  canvas.Brush().Style = TBrushStyle::bsSolid;
}

void TskSkinCaptionObject::BuildStrip(TBitmap& out, TBitmap* picture, const TRect& s, bool activeColours) const {
  const int w = ObjectRect.Width(), h = ObjectRect.Height();
  out.SetSize(std::max(0, w), std::max(0, h));
  if (w <= 0 || h <= 0) return;
  if (picture && !picture->Empty() && !s.IsEmpty() && SkinData) {
    const int a = SkinData->LTPoint.X - s.Left, b = s.Right - SkinData->RTPoint.X;
    if (a == 0 && b == 0) {
      out.Canvas().CopyRect({0, 0, w, h}, picture->Canvas(), s);
    } else {
      const int d = s.Width() - a - b;
      TileMiddle(0, w, d, [&](int x, int len) {
        out.Canvas().CopyRect({x, 0, x + len, h}, picture->Canvas(), {s.Left + a, s.Top, s.Left + a + len, s.Bottom});
      });
      if (a > 0) out.Canvas().CopyRect({0, 0, a, h}, picture->Canvas(), {s.Left, s.Top, s.Left + a, s.Bottom});
      if (b > 0) out.Canvas().CopyRect({w - b, 0, w, h}, picture->Canvas(), {s.Right - b, s.Top, s.Right, s.Bottom});
    }
  }
  WriteText(out.Canvas(), {-ObjectRect.Left, -ObjectRect.Top}, activeColours);
}

void TskSkinCaptionObject::Draw(TCanvas& canvas, bool) {
  const bool effect = SkinData && SkinData->AutoRenderingInActiveImage;
  auto drawInactive = [&](TBitmap& strip) {
    if (effect) {
      TskEffectBmp e(strip);
      e.ApplyInactiveEffect(SkinData->InActiveEffect);
      e.Draw(canvas, ObjectRect.Left, ObjectRect.Top);
    } else {
      canvas.Draw(ObjectRect.Left, ObjectRect.Top, strip);
    }
  };
  if (Morphing && FadeUnfinished() && !ActiveSkinRect.IsEmpty()) {
    TBitmap normal, hover;
    BuildStrip(normal, MainPicture, SkinRect, false);
    BuildStrip(hover, ActivePicture, ActiveSkinRect, true);
    TskEffectBmp a(normal), b(hover);
    a.Morph(MorphKind, b, MorphFactor);
    if (effect && !Active) a.ApplyInactiveEffect(SkinData->InActiveEffect);
    a.Draw(canvas, ObjectRect.Left, ObjectRect.Top);
    return;
  }
  if (ActiveSkinRect.IsEmpty() || (!Active && !Morphing)) {
    WriteText(canvas, {0, 0}, Active);
    return;
  }
  TBitmap strip;
  if (Active) {
    BuildStrip(strip, ActivePicture, ActiveSkinRect, true);
    canvas.Draw(ObjectRect.Left, ObjectRect.Top, strip);
  } else {
    BuildStrip(strip, MainPicture, SkinRect, false);
    drawInactive(strip);
  }
}

// ---------------------------------------------------------------------------------------------
// TskSkinAnimateObject

TskSkinAnimateObject::TskSkinAnimateObject(TskSkinForm* frame, TskSkinData* data, TskDataSkinObject* member)
    : TskActiveSkinObject(frame, data, member) {
  if (auto* a = dynamic_cast<TskDataSkinAnimate*>(member)) {
    TimerInterval = std::max(25, a->TimerInterval);
    CountFrames = a->CountFrames;
    Cycle = a->Cycle;
    ButtonStyle = a->ButtonStyle;
    Command = a->Command;
  }
}

void TskSkinAnimateObject::Draw(TCanvas& canvas, bool single) {
  if (!ActivePicture || ActiveSkinRect.IsEmpty()) {
    DrawBase(canvas, single);
    return;
  }
  const int w = SkinRect.Width(), h = SkinRect.Height();
  const int left = ActiveSkinRect.Left + w * (FrameNumber - 1);
  CopyLook(canvas, ActivePicture, {left, ActiveSkinRect.Top, left + w, ActiveSkinRect.Top + h});
}

bool TskSkinAnimateObject::AnimationTick() {
  if (!Active) return false;
  if (Accumulator < TimerInterval) {
    Accumulator += 25;
    return true;
  }
  if (Forward) {
    FrameNumber = FrameNumber + 1 > CountFrames ? 1 : FrameNumber + 1;
    if (!Cycle && FrameNumber == CountFrames) Active = false;
  } else {
    FrameNumber = FrameNumber - 1 < 1 ? CountFrames : FrameNumber - 1;
    if (FrameNumber == 1) Active = false;
  }
  Accumulator = 25;
  Frame->DrawObjectNow(*this);
  return Active;
}

void TskSkinAnimateObject::MouseEnter() {
  MouseIn = true;
  if (ButtonStyle) {
    Active = true;
    Forward = true;
    Frame->StartAnimationTimer();
  }
  if (Frame->OnMouseEnterEvent) Frame->OnMouseEnterEvent(IDName);
}

void TskSkinAnimateObject::MouseLeave() {
  if (!MouseIn) return;
  MouseIn = false;
  if (ButtonStyle) {
    Active = true;
    Forward = false;
    Frame->StartAnimationTimer();
  }
  if (Frame->OnMouseLeaveEvent) Frame->OnMouseLeaveEvent(IDName);
}

void TskSkinAnimateObject::MouseUp(int x, int y, TMouseButton button) {
  TskActiveSkinObject::MouseUp(x, y, button);
  if (!MouseIn || !ButtonStyle || button != TMouseButton::mbLeft) return;
  // A system-menu or default animation drops a menu down; the others run their command.
  if (Command == SkinCommand::cmsysmenu) MenuItem = Frame->GetSystemMenuItems();
  if (Command == SkinCommand::cmsysmenu || Command == SkinCommand::cmdefault) {
    if (MenuItem && MenuItem->Count() > 0) Frame->ShowMenuUnder(MenuItem, ObjectRect, PopupUp);
  } else {
    Frame->RunCommand(Command);
  }
}

void TskSkinAnimateObject::DblClick() {
  if (Command == SkinCommand::cmsysmenu) Frame->Form().Close();
}

}  // namespace corvane
