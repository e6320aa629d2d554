// The notes editor: titles and rich-text bodies of the three notes.
#pragma once

#include "app/Conventions.h"

namespace corvane {

class TForm4 : public TForm {
 public:
  explicit TForm4(TComponent* owner);
  std::string ClassName() const override { return "TForm4"; }
};

}  // namespace corvane
