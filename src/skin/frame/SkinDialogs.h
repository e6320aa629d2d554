// The about window's skinned message box and skin-file dialog components. The program shows no
// message and opens no skin file through them (nothing asks them to): they carry the settings the
// window's layout gives them, and the skin data references are cleared when those components go.
#pragma once

#include <string>

#include "platform/core/Classes.h"
#include "platform/graphics/Graphics.h"

namespace corvane {

class TskSkinData;

// What both have: the skin data of the dialog and of its controls, alpha and a default font.
class TskSkinDialogComponent : public TComponent {
 public:
  explicit TskSkinDialogComponent(TComponent* owner);
  TskSkinData* SkinData() const { return skinData_; }
  void SetSkinData(TskSkinData* value) { Link(skinData_, value); }
  TskSkinData* CtrlSkinData() const { return ctrlSkinData_; }
  void SetCtrlSkinData(TskSkinData* value) { Link(ctrlSkinData_, value); }
  bool AlphaBlend = false, AlphaBlendAnimation = false;
  int AlphaBlendValue = 200;
  TFont& DefaultFont() { return defaultFont_; }

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  void Link(TskSkinData*& slot, TskSkinData* value);
  TskSkinData* skinData_ = nullptr;
  TskSkinData* ctrlSkinData_ = nullptr;
  TFont defaultFont_;
};

class TskSkinMessage : public TskSkinDialogComponent {
 public:
  using TskSkinDialogComponent::TskSkinDialogComponent;
  std::string ClassName() const override { return "TskSkinMessage"; }
  std::string ButtonSkinDataName = "button";
  std::string MessageLabelSkinDataName = "stdlabel";
  bool UseSkinFont = true;
  TFont& DefaultButtonFont() { return defaultButtonFont_; }

 private:
  TFont defaultButtonFont_;
};

class TskOpenSkinDialog : public TskSkinDialogComponent {
 public:
  using TskSkinDialogComponent::TskSkinDialogComponent;
  std::string ClassName() const override { return "TskOpenSkinDialog"; }
  std::string Title = "Open skin";
  std::string Filter = "Compressed skin (*.skn)|*.skn|UnCompressed skin (*.ini)|*.ini";
  int FilterIndex = 1, CompressedFilterIndex = 1, UnCompressedFilterIndex = 2;
  int DialogWidth = 0, DialogHeight = 0, DialogMinWidth = 0, DialogMinHeight = 0;
  bool CtrlAlphaBlend = false, CtrlAlphaBlendAnimation = false;
  int CtrlAlphaBlendValue = 225;
  std::string LVHeaderSkinDataName = "resizebutton";
};

}  // namespace corvane
