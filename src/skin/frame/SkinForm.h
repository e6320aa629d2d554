// TskSkinForm: a component dropped on a form that takes over the form's frame. It replaces the
// form's window procedure with FrameWindowProc and from then on decides the non-client size,
// paints the frame from the skin's main picture (or a plain default frame without a skin),
// answers the hit tests, cuts the window to the skin's mask, paints the client background and
// keeps the window within its size limits. It owns the frame objects (caption, caption buttons,
// animations, user areas), which follow the mouse over the frame.
//
// How a message travels: the window system's event reaches the form's handle, which asks
// WM_NCHITTEST for every pointer event of a top-level window and delivers WM_NC* or client
// messages by the answer, paints WM_NCPAINT (on a canvas of the whole window, before the client)
// whenever the frame has a non-client area, then WM_ERASEBKGND and WM_PAINT for the client. Each
// message goes through the form's WindowProc, which is FrameWindowProc while a frame is attached:
// a menu-closing pre-step, the first dispatch (which may answer the message and not pass it on),
// the previous window procedure, and the second dispatch for the object mouse protocol.
//
// Sending WM_NCPAINT without a canvas (WParam 0) asks for the frame to be painted again: the
// window is repainted as a whole and the frame paints itself in that paint.
//
// Left out: the multi-document branches, the skinned menu bar and the tab bar (no window of this
// program is a multi-document window or has a menu bar); a frame on such a window behaves as on a
// plain window. Preview mode is replaced by ActiveLook (a forced active or inactive look for
// tools that show a frame without a window manager deciding).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/windows/Controls.h"
#include "platform/windows/Forms.h"
#include "skin/frame/ObjectHint.h"
#include "skin/frame/SkinDrawing.h"
#include "skin/package/SkinIni.h"

namespace corvane {

class TskSkinData;
class TskActiveSkinObject;
class TPopupMenu;
class TMenuItem;
class TskSkinMenuHost;
class TskSkinPopupMenu;
class TskTrayIcon;

enum class TskBorderIcon : uint8_t { biSystemMenu, biMinimize, biMaximize, biRollUp, biMinimizeToTray };
using TskBorderIcons = uint8_t;  // one bit per TskBorderIcon
constexpr TskBorderIcons BorderIconBit(TskBorderIcon i) { return static_cast<TskBorderIcons>(1u << static_cast<int>(i)); }
constexpr TskBorderIcons kDefaultBorderIcons = BorderIconBit(TskBorderIcon::biSystemMenu) |
                                               BorderIconBit(TskBorderIcon::biMinimize) |
                                               BorderIconBit(TskBorderIcon::biMaximize) |
                                               BorderIconBit(TskBorderIcon::biRollUp);

// The frame's own window state (the window system never sees a skinned window maximized).
enum class TskFrameState { Normal, Minimized, Maximized };

// A component owned by a skinned window that hears of the frame's skin changes (the frame tells
// every such component of its window before and after the skin changes).
class TskSkinComponent : public TComponent {
 public:
  using TComponent::TComponent;
  virtual void BeforeChangeSkinData() {}
  virtual void ChangeSkinData() {}
};

// The skin's frame geometry moved to the frame's current size.
struct TskFrameGeometry {
  TPoint LT, RT, LB, RB;
  TRect ClRect, CaptionRect, ButtonsRect;
  int ButtonsOffset = 0;
  bool ButtonsInLeft = false;
  TRect MaskRectArea;
  TPoint HitLT, HitRT, HitLB, HitRB;
  TRect DefCaptionRect;  // default mode only
};

using TskObjectEvent = std::function<void(const std::string& idName)>;
using TskObjectMouseEvent =
    std::function<void(const std::string& idName, int x, int y, const TRect& objectRect, TMouseButton button)>;
using TskObjectMoveEvent = std::function<void(const std::string& idName, int x, int y, const TRect& objectRect)>;
using TskObjectPaintEvent = std::function<void(const std::string& idName, TCanvas& canvas, const TRect& objectRect)>;
using TskActivateCustomObjectEvent = std::function<void(const std::string& idName, bool& objectVisible)>;


class TskSkinForm : public TComponent {
 public:
  // Attaches to the owner, which must be a form (anything else raises EInvalidCast "Invalid class
  // typecast"): the form's border icons are cleared, auto-size and auto-scroll stay off, and unless
  // designing its window procedure becomes FrameWindowProc.
  explicit TskSkinForm(TComponent* owner);
  // Gives the form its previous window procedure back.
  ~TskSkinForm() override;
  std::string ClassName() const override { return "TskSkinForm"; }

  // ---- Published properties.
  TskSkinData* SkinData() const { return skinData_; }
  // Applies the skin at once (not while designing).
  void SetSkinData(TskSkinData* value);
  TskSkinData* MenusSkinData() const { return menusSkinData_; }
  void SetMenusSkinData(TskSkinData* value);
  TskBorderIcons BorderIcons() const { return borderIcons_; }
  // Replaces the object list by the six default buttons (as the default frame has them) and
  // applies the border-icon rules; a skin applied later builds its own objects again.
  void SetBorderIcons(TskBorderIcons value);
  bool HideCaptionButtons() const { return hideCaptionButtons_; }
  void SetHideCaptionButtons(bool value);
  bool ShowIcon() const { return showIcon_; }
  void SetShowIcon(bool value);
  bool UseFormCursorInNCArea = false;
  int ClientWidth = 0, ClientHeight = 0;
  int MinWidth = 0, MinHeight = 0, MaxWidth = 0, MaxHeight = 0;
  bool MaximizeOnFullScreen = false;
  bool Magnetic = false;
  uint8_t MagneticSize = 5;
  bool AlphaBlend = false, AlphaBlendAnimation = false;
  uint8_t AlphaBlendValue = 200;
  // The property setters (what layouts and the program use): a change at run time shows at once,
  // where the window system can show opacity; the fields alone take effect at the next show.
  void SetAlphaBlend(bool value);
  void SetAlphaBlendValue(uint8_t value);
  bool MenusAlphaBlend = false, MenusAlphaBlendAnimation = false;
  uint8_t MenusAlphaBlendValue = 200;
  bool UseSkinFontInMenu = true;
  int DefMenuItemHeight() const { return defMenuItemHeight_; }
  void SetDefMenuItemHeight(int value) { if (value > 0) defMenuItemHeight_ = value; }
  TFont& DefMenuItemFont() { return defMenuItemFont_; }
  int MaxMenuItemsInWindow() const { return maxMenuItemsInWindow_; }
  void SetMaxMenuItemsInWindow(int value) { if (value >= 0) maxMenuItemsInWindow_ = value; }
  TFont& DefCaptionFont() { return defCaptionFont_; }
  TFont& DefInActiveCaptionFont() { return defInActiveCaptionFont_; }
  TBitmap& LogoBitMap() { return logo_; }
  void SetLogoBitMap(const TBitmap& bitmap);
  bool LogoBitMapTransparent = false;
  TComponent* SkinHint() const { return skinHintComponent_; }
  // A component that shows object hints (the skin hint); anything else is refused.
  void SetSkinHint(TComponent* value);
  bool ShowObjectHint = false;
  bool UseDefaultObjectHint = true;
  bool AlwaysShowInTray = false, AlwaysMinimizeToTray = false;
  bool UseDefaultSysMenu = true;
  TPopupMenu* SystemMenu() const { return systemMenu_; }
  void SetSystemMenu(TPopupMenu* value);
  TskTrayIcon* TrayIcon() const { return trayIcon_; }
  // The icon is hidden (unless AlwaysShowInTray) with its minimize-to-tray switch off; an icon
  // without a menu gets the frame's tray menu, one without a double-click handler the restore.
  void SetTrayIcon(TskTrayIcon* value);

  // ---- Published events (the frame is the Sender of the notify events).
  TNotifyEvent OnChangeSkinData, OnActivate, OnDeActivate, OnChangeRollUpState, OnMinimizeToTray,
      OnRestoreFromTray, OnSkinMenuOpen, OnSkinMenuClose;
  TskObjectEvent OnMouseEnterEvent, OnMouseLeaveEvent;
  TskObjectMouseEvent OnMouseDownEvent, OnMouseUpEvent;
  TskObjectMoveEvent OnMouseMoveEvent;
  TskObjectPaintEvent OnPaintEvent;
  TskActivateCustomObjectEvent OnActivateCustomObject;

  // ---- Operations.
  TForm& Form() const { return *form_; }
  void FrameWindowProc(TMessage& message);
  void ApplySkinData();
  void ComputeFrameGeometry();
  void RebuildFrame(bool arrange);
  void UpdateWindowRegion(bool resize);
  // Paints the non-client area on the whole-window canvas (skinned or default mode).
  void PaintSkinFrame(TCanvas& canvas);
  void PaintDefaultFrame(TCanvas& canvas);
  int SkinHitTest(TPoint p);
  int DefaultHitTest(TPoint p);
  void LayoutDefaultCaption();
  TPoint ScreenToFrame(TPoint screen) const;
  int MinFrameWidth() const;
  int MinFrameHeight() const;
  int MaxFrameWidth() const;
  int MaxFrameHeight() const;
  bool IsFormActive() const;
  void UpdateCaptionActivity(bool repaint);
  void ResetObjectStates();
  void NudgeWidth();
  static TskSkinForm* FindFrameOf(const TForm* form);

  // Objects.
  void BuildSkinObjects();
  void BuildDefaultButtons();
  void ApplyBorderIcons();
  void ApplyDefaultHints();
  void ArrangeObjects();
  // Moves the hover to the object at (x, y). An inactive window shows no hover, but a press
  // (`press`) still finds its object: a click on a caption button of an inactive window works.
  void UpdateHover(int x, int y, bool allow, bool press = false);
  void PressObject(TMouseButton button, int x, int y);
  void ReleaseObject(TMouseButton button, int x, int y);
  void DrawObjectNow(TskActiveSkinObject& object);
  void StartMorphTimer();
  void StartAnimationTimer();
  // Runs a caption-button command (close, maximize, minimize, roll-up, minimize to tray).
  void RunCommand(SkinCommand command);

  // ---- Window behaviours.
  // Minimizes (to a caption strip in the next free slot; the main window minimizes the program),
  // maximizes (to the work area of the window's monitor) or restores the window the frame's way;
  // the window system never sees it maximized or minimized.
  void SetFrameWindowState(TskFrameState state);
  // Where a minimized window goes: the first free slot along the bottom of the work area.
  TPoint FindMinimizedSlot() const;
  void SetRolledUp(bool up);
  // A double click on the caption band: a sizeable window maximizes and restores, others roll up
  // and down.
  void CaptionDoubleClick();
  // Snaps a proposed position to the work area's edges within MagneticSize pixels.
  void MagneticSnap(int& left, int& top, int width, int height) const;
  // Rebuilds and returns the system menu's items: the user's SystemMenu with the standard
  // commands added (UseDefaultSysMenu), or the frame's own default system menu.
  TMenuItem* GetSystemMenuItems();
  // Shows the system menu at a screen point.
  void PopupSystemMenu(int x, int y);
  // Shows a menu item's items below (or above) a rectangle of the frame, in menu mode.
  void ShowMenuUnder(TMenuItem* item, const TRect& frameRect, bool upward);
  // The fade-in on show: the window is shown invisible and layered, and on the first tick its
  // opacity rises through FadeInSteps to the blend value (opaque windows lose the layering).
  void StartFadeIn();
  void FinishFadeIn();
  // The opacities a fade-in passes through: 5, 10, 15 ... up to `target`, which is always last.
  static std::vector<int> FadeInSteps(int target);
  // Minimizes the program into the tray icon's notification area. Nothing happens without a tray
  // icon; on a desktop without a notification area the error box says so (once) and the window
  // stays where it is, so it never becomes unreachable.
  void MinimizeFrameToTray();
  void RestoreFrameFromTray();
  // The window's menu host (made when the window has none), set up with the frame's menu settings.
  TskSkinMenuHost& MenuHost();
  TskSkinPopupMenu& TrayMenu() { return *trayMenu_; }
  TPopupMenu& DefaultSystemMenu() { return *defaultSystemMenu_; }
  const TRect& RestoreBounds() const { return restoreBounds_; }

  // ---- State, read by the objects and by tests.
  bool Skinned() const { return skinned_; }
  const TskFrameGeometry& Geometry() const { return geometry_; }
  int FrameWidth() const { return frameWidth_; }
  int FrameHeight() const { return frameHeight_; }
  const std::vector<std::unique_ptr<TskActiveSkinObject>>& Objects() const { return objects_; }
  TskActiveSkinObject* FindObject(const std::string& idName) const;
  int ActiveObject() const { return activeObject_; }
  int CapturedObject() const { return capturedObject_; }
  TskFrameState FrameState() const { return state_; }
  bool RolledUp() const { return rolledUp_; }
  bool InMoveOrSize() const { return inMoveOrSize_; }
  // The border masks the region was built from (the hit test reads single pixels of them).
  const TskBorderBitmaps& MaskBorders() const { return maskBorders_; }
  bool MouseTimerRunning() const { return mouseTimer_; }
  bool MorphTimerRunning() const { return morphTimer_; }
  bool AnimationTimerRunning() const { return animationTimer_; }
  // The hint target, or null when no hint shows (no skin hint set or object hints off).
  TskObjectHint* ObjectHint() const { return ShowObjectHint ? skinHint_ : nullptr; }
  // The caption the default frame and the caption object draw.
  std::string CaptionText() const;
  // The default caption height (19, 15 for tool windows) and button size (17, 13).
  int DefCaptionHeight() const;
  int DefButtonSize() const;
  // -1 follows the window's activation; 0 or 1 draws the frame inactive or active whatever the
  // window (tools that show a frame, tests).
  int ActiveLook = -1;
  // The small icon's size (the default caption buttons use it for the system-menu button when
  // ShowIcon is on).
  static TSize SmallIconSize() { return {16, 16}; }
  // The icon a system-menu button shows with ShowIcon: the program's icon, loaded on first use.
  const TBitmap& SmallIcon();
  // Draws the small icon at a point, at the small-icon size.
  void DrawSmallIcon(TCanvas& canvas, int x, int y);

  // Timer ids on the form's window.
  static constexpr uintptr_t kMouseTimer = 0x5F01, kMorphTimer = 0x5F02, kAnimationTimer = 0x5F03;

 protected:
  void Notification(TComponent* component, TOperation operation) override;
  void Loaded() override;

 private:
  bool MenuClosingMessage(unsigned msg) const;
  bool FirstDispatch(TMessage& m);  // true when the message was answered and not passed on
  void SecondDispatch(TMessage& m);
  void AfterSize();
  void PaintClientBackground(TCanvas& canvas);
  void RequestFramePaint();
  void StopTimers();
  void MouseTimerTick();
  void MorphTimerTick();
  void AnimationTimerTick();
  void HideObjectHint();
  bool BorderStyleNone() const;
  bool Sizeable() const;
  bool MaskPixelInside(TPoint p) const;
  void SkinChangeFanOut(unsigned msg, WPARAM skin);
  void RaiseMenuButton();
  std::string MenuCaption(const char* stringName, const char* builtIn) const;

  TForm* form_ = nullptr;
  TWndMethod previous_;
  TskSkinData* skinData_ = nullptr;
  TskSkinData* menusSkinData_ = nullptr;
  TskBorderIcons borderIcons_ = kDefaultBorderIcons;
  bool hideCaptionButtons_ = false;
  bool showIcon_ = false;
  int defMenuItemHeight_ = 20;
  TFont defMenuItemFont_, defCaptionFont_, defInActiveCaptionFont_;
  int maxMenuItemsInWindow_ = 0;
  TBitmap logo_;
  TComponent* skinHintComponent_ = nullptr;
  TskObjectHint* skinHint_ = nullptr;
  TPopupMenu* systemMenu_ = nullptr;
  TskTrayIcon* trayIcon_ = nullptr;
  TBitmap smallIcon_;
  bool smallIconLoaded_ = false;

  bool skinned_ = false;
  bool applyingSkin_ = false;
  int frameWidth_ = 0, frameHeight_ = 0;
  TskFrameGeometry geometry_;
  std::vector<std::unique_ptr<TskActiveSkinObject>> objects_;
  int activeObject_ = -1, previousActiveObject_ = -1, capturedObject_ = -1;
  TskFrameState state_ = TskFrameState::Normal;
  TskSkinMenuHost* menuHost_ = nullptr;
  TPopupMenu* defaultSystemMenu_ = nullptr;  // owned as a component
  TskSkinPopupMenu* trayMenu_ = nullptr;     // owned as a component
  bool rolledUp_ = false, rolledUpWhileMaximized_ = false;
  int heightBeforeRollUp_ = 0;
  TRect restoreBounds_;
  bool inMoveOrSize_ = false, fullDrag_ = true;
  bool regionSet_ = false;
  TskBorderBitmaps maskBorders_;
  bool mouseTimer_ = false, morphTimer_ = false, animationTimer_ = false;
};

}  // namespace corvane
