// Where the hints of a skinned frame's objects go: the skin hint component (one layer up)
// implements it, so the frame can show and hide object hints without knowing that component.
#pragma once

#include <string>

namespace corvane {

class TskObjectHint {
 public:
  virtual ~TskObjectHint() = default;
  // Shows the text near the pointer once the hint pause has passed.
  virtual void ShowHintDelayed(const std::string& text) = 0;
  virtual void HideHint() = 0;
};

}  // namespace corvane
