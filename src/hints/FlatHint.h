// The flat hint: a component that makes TFlatHintWindow the application's hint window class, and
// the window itself, a flat box with a one-pixel border, a text area and a 14-pixel coloured strip
// with a small arrow on the side nearest the pointer, placed diagonally away from the pointer
// towards the centre of the screen.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/windows/Hints.h"

namespace corvane {

class TFlatHint : public TComponent {
 public:
  // The colours by index, as they are stored, and their defaults.
  enum ColorIndex { ciBackground = 0, ciBorder = 1, ciArrowBackground = 2, ciArrow = 3 };
  static constexpr std::array<TColor, 4> kDefaultColors{0xFFFFFF, 0x000000, 0x53D2FF, 0x000000};
  static constexpr int kDefaultMaxHintWidth = 200;

  // Unless designing: installs TFlatHintWindow as the application's hint window class (flipping
  // the show-hint switch twice, so a window that exists is remade in that class), takes over the
  // show-hint notification and sets the pauses to 500 ms, 25 ms between hints and 5000 ms shown.
  explicit TFlatHint(TComponent* owner);
  // The application-wide settings stay as they are; the notification is withdrawn.
  ~TFlatHint() override;
  std::string ClassName() const override { return "TFlatHint"; }

  TColor Color(int index) const { return colors_.at(index); }
  void SetColor(int index, TColor c) { colors_.at(index) = c; }

  TFont& Font() { return *font_; }
  const TFont& Font() const { return *font_; }
  void SetFont(const TFont& f) { font_->Assign(f); }
  TColor ColorBackground() const { return Color(ciBackground); }
  TColor ColorBorder() const { return Color(ciBorder); }
  TColor ColorArrowBackground() const { return Color(ciArrowBackground); }
  TColor ColorArrow() const { return Color(ciArrow); }
  int MaxHintWidth() const { return maxHintWidth_; }
  void SetMaxHintWidth(int v) { maxHintWidth_ = v; }

  // Called with every hint the application is about to show; may change it.
  TShowHintEvent OnShowHint;

  // The flat hint whose settings the window uses: the first one the main window owns; when the
  // main window owns none, the most recently created one that still exists; else none.
  static const TFlatHint* Settings();

 private:
  std::unique_ptr<TFont> font_;
  std::array<TColor, 4> colors_ = kDefaultColors;
  int maxHintWidth_ = kDefaultMaxHintWidth;
};

class TFlatHintWindow : public THintWindow {
 public:
  explicit TFlatHintWindow(TComponent* owner);
  std::string ClassName() const override { return "TFlatHintWindow"; }

  // Where the box lies relative to the pointer, by the screen quarter the pointer is in:
  // 0 top-right quarter (box left of and below the pointer, strip on the right),
  // 1 top-left (right of and below, strip on the left), 2 bottom-right or no quarter (left of and
  // above, strip on the right), 3 bottom-left (right of and above, strip on the left).
  static int PlacementFor(TPoint pointer, int screenWidth, int screenHeight);
  // The box of w x h for that placement, 12 pixels from the pointer for placement 1, else 5.
  static TRect BoundsFor(int placement, TPoint pointer, int w, int h);
  // The 18 points of the arrow glyph drawn from the arrow point `a`, pointing towards the pointer.
  static std::array<TPoint, 18> ArrowPolyline(int placement, TPoint a);

  // Ignores the proposed position: measures the text wrapped at MaxHintWidth - 22 and places the
  // box by the pointer.
  void ActivateHint(TRect rect, const std::string& text) override;

  uint8_t Placement() const { return placement_; }
  TPoint ArrowPoint() const { return arrowPoint_; }

 protected:
  void Paint() override;

 private:
  // Copies what the window uses from its TFlatHint (or the defaults when there is none) when a
  // hint is activated: the component may be gone by the time the window paints.
  void TakeSettings();
  std::array<TColor, 4> colors_ = TFlatHint::kDefaultColors;
  int maxHintWidth_ = TFlatHint::kDefaultMaxHintWidth;
  TFont canvasFont_;
  uint8_t placement_ = 0;
  TPoint arrowPoint_;
};

// Makes TFlatHint available to window layouts with its published properties: Font, the four
// colours, MaxHintWidth and OnShowHint, and TskSkinHint with its own. Safe to call more than once.
void RegisterHintComponents();

}  // namespace corvane
