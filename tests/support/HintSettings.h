// Keeps the application's hint settings for the life of a test and puts them back afterwards.
#pragma once

#include "platform/windows/Forms.h"
#include "platform/windows/Hints.h"

namespace corvane::test {

class HintSettingsGuard {
 public:
  HintSettingsGuard()
      : pause_(Application->HintPause), shortPause_(Application->HintShortPause),
        hidePause_(Application->HintHidePause), class_(Application->HintWindowClass()) {}
  ~HintSettingsGuard() {
    Application->CancelHint();
    Application->SetShowHint(true);
    Application->SetOnShowHint(nullptr);
    Application->SetHintWindowClass(class_);
    Application->HintPause = pause_;
    Application->HintShortPause = shortPause_;
    Application->HintHidePause = hidePause_;
  }
  HintSettingsGuard(const HintSettingsGuard&) = delete;
  HintSettingsGuard& operator=(const HintSettingsGuard&) = delete;

 private:
  int pause_, shortPause_, hidePause_;
  THintWindowClass class_;
};

}  // namespace corvane::test
