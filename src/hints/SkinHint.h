// The skin hint: a component that makes TskSkinHintWindow the application's hint window class and
// keeps a hint window of its own for the hints the skinned frame gives for its objects (shown
// after the hint pause, hidden after the hide pause), and the window itself, which draws the
// skin's [HINTWINDOW] picture grown around the text, or a plain box in the hint colours when there
// is no usable skin.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/windows/Hints.h"
#include "skin/frame/ObjectHint.h"
#include "skin/frame/SkinDrawing.h"

namespace corvane {

class TskSkinData;
class TskSkinHintWindow;
class TTimer;

class TskSkinHint : public TComponent, public TskObjectHint {
 public:
  // Makes its own (hidden) hint window; unless designing, installs TskSkinHintWindow as the
  // application's hint window class (flipping the show-hint switch twice, so a window that exists
  // is remade in that class), takes over the show-hint notification and sets the short pause
  // between hints to 100 ms. The other pauses stay as they are.
  explicit TskSkinHint(TComponent* owner);
  // The application-wide settings stay as they are; the notification is withdrawn.
  ~TskSkinHint() override;
  std::string ClassName() const override { return "TskSkinHint"; }

  TskSkinData* SkinData() const { return skinData_; }
  // Stores the reference; it is cleared when the skin data is destroyed.
  void SetSkinData(TskSkinData* value);
  bool Active() const { return active_; }
  // Turning it on turns off every other active skin hint the main window owns and takes the
  // show-hint notification again.
  void SetActive(bool value);
  bool AlphaBlend = false;
  uint8_t AlphaBlendValue = 0;
  TFont& DefaultFont() { return *defaultFont_; }
  const TFont& DefaultFont() const { return *defaultFont_; }
  void SetDefaultFont(const TFont& f) { defaultFont_->Assign(f); }
  bool UseSkinFont = true;
  // Called with every hint the application is about to show; may change it.
  TShowHintEvent OnShowHint;

  // Object hints of the skinned frame: shows `text` in the component's own window once the
  // application's hint pause has passed (a new call restarts the wait with the new text), below
  // the pointer image, and hides it after the hide pause.
  void ShowHintDelayed(const std::string& text) override;
  // The end of the wait: shows the remembered text now and starts the hide pause.
  void ShowHintNow();
  // Stops the wait and hides the own window (the frame calls this when the pointer leaves an
  // object or a button is pressed).
  void HideHint() override;

  TskSkinHintWindow& HintWindow() { return *window_; }
  // The wait or hide timer while one is running (or stopped inside its own tick); else null.
  TTimer* Timer() const { return timer_; }

  // The skin hint whose settings a hint window uses: the first active one the main window owns;
  // when the main window owns none, `preferred` if it is active (the component that owns the
  // window); else the most recently created active one that still exists; else none.
  static const TskSkinHint* Settings(const TComponent* preferred = nullptr);

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  void TakeNotification();
  void DropTimer();

  TskSkinData* skinData_ = nullptr;
  bool active_ = true;
  std::unique_ptr<TFont> defaultFont_;
  TskSkinHintWindow* window_ = nullptr;  // owned as a component
  TTimer* timer_ = nullptr;              // owned as a component
  bool inTick_ = false;
  bool nextIsShow_ = true;  // what the timer does when it ticks: show the text, or hide it
  std::string pendingText_;
};

class TskSkinHintWindow : public THintWindow {
 public:
  explicit TskSkinHintWindow(TComponent* owner);
  std::string ClassName() const override { return "TskSkinHintWindow"; }

  // Takes the settings (TskSkinHint::Settings with the owner preferred); without any it does
  // nothing. Otherwise sizes the window to the text, grown from the skin picture when there is a
  // usable skin, at the proposed top-left corner (moved left or up by the size + 2 when it would
  // end beyond the screen), applies the alpha and the mask region, and shows it.
  void ActivateHint(TRect rect, const std::string& text) override;
  // Whether the last ActivateHint found settings and showed the window.
  bool Activated() const { return activated_; }

  // What the window last measured and draws with.
  bool HasSkin() const { return look_.hasSkin; }
  const TskGrownGeometry& Grown() const { return look_.grown; }
  const TFont& HintFont() const { return look_.font; }
  bool HasRegion() const { return region_ != nullptr; }

  // The size of the window for a text of tw x th with this look: the text plus 4 each way without
  // a skin; with one, the text plus the picture's borders, never smaller than the picture.
  static TSize MeasureFor(int tw, int th, bool hasSkin, const TskSkinGeometry& g);

 protected:
  void Paint() override;
  void DefaultHandler(TMessage& message) override;

 private:
  // Everything painting needs, copied when a hint is activated: the settings component and its
  // skin data may be gone by the time the window paints.
  struct Look {
    bool hasSkin = false;
    std::unique_ptr<TBitmap> picture;
    TskSkinGeometry geometry;
    TskGrownGeometry grown;
    TFont font;
    TColor fontColor = clInfoText;
  };
  void TakeLook(const TskSkinHint& settings);
  TSize TextExtent(const std::string& text) const;

  Look look_;
  std::unique_ptr<TRegion> region_;
  bool prevAlphaBlend_ = false;
  int prevAlphaValue_ = 0;
  bool activated_ = false;
};

// Makes TskSkinHint available to window layouts with its published properties: SkinData,
// Active, AlphaBlend, AlphaBlendValue, DefaultFont.*, UseSkinFont and OnShowHint.
void RegisterSkinHintComponent();

}  // namespace corvane
