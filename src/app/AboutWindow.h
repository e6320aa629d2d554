// The about window: the maker's about page in a web view above an OK button; when the page cannot
// be fetched, the program's own about page in its place.
#pragma once

#include <string>

#include "app/Conventions.h"

namespace corvane {

// The about page on the maker's web site. Nothing of it is built into the program: every creation
// of the about window asks the site for it anew.
inline constexpr const char* kAboutPageAddress = "http://www.corvane.com/about/";

// The address the about window navigates to. The program never changes it; tests point it at a
// server of their own on the loopback interface.
extern std::string gAboutPageAddress;

// The program's version, as the main window shows it.
inline constexpr const char* kProgramVersion = "1.5";

// The about page the program carries itself, shown when the maker's page cannot be fetched: the
// program's name, version, what it is and its licence, where this machine keeps the notes
// (`notesFolder`) and their titles (`titlesFile`), and why `address` could not be opened, on one
// line. HTML (UTF-8) for the window's web view.
std::string BuiltInAboutPage(const std::string& notesFolder, const std::string& titlesFile,
                             const std::string& address, const std::string& failure);

class TForm5 : public TForm {
 public:
  explicit TForm5(TComponent* owner);
  std::string ClassName() const override { return "TForm5"; }

 private:
  static constexpr int kDesignWidth = 550;
  // Keeps the pictures of the caption buttons where the skinned frame has the buttons.
  void PlaceCaptionButtons();
};

}  // namespace corvane
