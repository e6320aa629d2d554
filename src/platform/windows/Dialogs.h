// Common dialogs: the font chooser and the colour chooser. Each remembers what was last
// confirmed in it and offers it again the next time.
#pragma once

#include <functional>
#include <string>

#include "platform/core/Classes.h"
#include "platform/graphics/Graphics.h"

namespace corvane {

class TCommonDialog : public TComponent {
 public:
  using TComponent::TComponent;
  std::string ClassName() const override { return "TCommonDialog"; }
  // Shows the dialog modally; true when the user confirmed a choice.
  virtual bool Execute() = 0;
};

class TFontDialog : public TCommonDialog {
 public:
  explicit TFontDialog(TComponent* owner);
  std::string ClassName() const override { return "TFontDialog"; }
  // The font offered when the dialog opens and, after a confirmed choice, the chosen one.
  TFont& Font() { return font_; }
  // Point size limits offered by the chooser; 0 means no limit.
  int MinFontSize = 0;
  int MaxFontSize = 0;
  bool Execute() override;

 private:
  TFont font_;
};

class TColorDialog : public TCommonDialog {
 public:
  explicit TColorDialog(TComponent* owner);
  std::string ClassName() const override { return "TColorDialog"; }
  // The colour offered when the dialog opens and, after a confirmed choice, the chosen one.
  TColor Color = clBlack;
  bool Execute() override;
};

// Test seams: when set, the dialogs call them instead of showing a window. The seam receives the
// value the dialog offers, may change it, and returns true to confirm or false to cancel.
extern std::function<bool(TFont& font)> gFontDialogSeam;
extern std::function<bool(TColor& color)> gColorDialogSeam;

}  // namespace corvane
