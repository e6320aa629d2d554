// The skinned single-line edit: the platform's edit with its 3-D border replaced by a flat
// two-ring border in a two-pixel band: the theme's control border colour outside, the edit's
// own background colour inside.
#pragma once

#include "controls/FileTheme.h"
#include "controls/Theme.h"
#include "platform/widgets/StdCtrls.h"

namespace corvane {

class TthEdit : public TEdit, public TthFileThemeClient {
 public:
  explicit TthEdit(TComponent* owner);
  ~TthEdit() override;
  std::string ClassName() const override { return "TthEdit"; }

  TColor BorderColor() const { return borderColor_; }
  void SetBorderColor(TColor c);
  TthUIStyle UIStyle() const { return uiStyle_; }
  // Sets the border colour to the style's ControlBorderColor (or the file theme's).
  void SetUIStyle(TthUIStyle v);
  TthFileTheme* FileTheme() const override { return fileTheme_; }
  void SetFileTheme(TthFileTheme* theme) override;

 protected:
  int BorderBand() const override { return 2; }
  void WndProc(TMessage& m) override;
  void Notification(TComponent* component, TOperation operation) override;
  void DrawBorder(TCanvas& canvas);

 private:
  TColor borderColor_ = clBlack;
  TthUIStyle uiStyle_ = TthUIStyle::DeepBlue;
  TthFileTheme* fileTheme_ = nullptr;
};

}  // namespace corvane
