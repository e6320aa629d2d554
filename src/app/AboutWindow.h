// The about window: the maker's about page in a web view above an OK button.
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

class TForm5 : public TForm {
 public:
  explicit TForm5(TComponent* owner);
  std::string ClassName() const override { return "TForm5"; }
};

}  // namespace corvane
