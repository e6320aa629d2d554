// The reading window: one hexagram's picture, the rules for changing lines and its commentary.
#pragma once

#include <string>

#include "app/Conventions.h"

namespace corvane {

class TForm2 : public TForm {
 public:
  explicit TForm2(TComponent* owner);
  std::string ClassName() const override { return "TForm2"; }
  // Loads dat\<code>.rtf into the document view, then shows the hexagram's picture.
  void Fill(const std::string& code);
};

}  // namespace corvane
