// The main window: two pages of hexagram tiles with hover highlights, page tabs, side tabs that
// open the reference texts, the lookup field, the note titles and the about label.
#pragma once

#include <memory>
#include <string>

#include "app/Conventions.h"
#include "platform/core/IniFiles.h"

namespace corvane {

class TskSkinPopupMenu;

class TForm1 : public TForm {
 public:
  explicit TForm1(TComponent* owner);
  std::string ClassName() const override { return "TForm1"; }

  // Page switching as the tabs do it.
  void ShowPage1();
  void ShowPage2();
  // Hides every highlight: the side-tab hovers, the picture-button hovers and all 64 tile hovers.
  void HideAllHighlights();
  // Opens the reading window for a line code (tile clicks and the lookup).
  void OpenHexagram(const std::string& code);
  // The lookup button's action: compares the field's text with the line codes.
  void Lookup();
  // Opens reference text 1..3.
  void OpenReference(int index);
  // The menu a right click on the background opens: 起卦 (硬币), 时间起卦, 起卦记录.
  void ShowCastMenu(int x, int y);
  TskSkinPopupMenu* CastMenu();

  static constexpr const char* kGuidance = "请从下爻到上爻依次输入六位数字——1、2（1为阳，2为阴）！";

 private:
  void PublishHandlers();
  // The note titles in the configuration file: read into the title labels when the window is
  // created, written back from them when it closes. Only a title the user changed is written;
  // one that another program (or a second copy of this one) changed in the file meanwhile is
  // not overwritten without asking. False when the window must stay open: the user turned back,
  // or the file cannot be written and the user chose not to leave without it.
  void ReadTitles();
  bool WriteTitles();
  void LabelHover(const char* label);
  void LabelLeave(const char* label);

  // Access to the configuration file, for the whole run.
  std::unique_ptr<TIniFile> config_;
  TskSkinPopupMenu* castMenu_ = nullptr;  // made on first use
  // Each title as the file holds it, as read at start-up or last written.
  std::string stored_[3];
};

}  // namespace corvane
