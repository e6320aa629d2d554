// The about window.
#pragma once

#include "app/Conventions.h"

namespace corvane {

class TForm5 : public TForm {
 public:
  explicit TForm5(TComponent* owner);
  std::string ClassName() const override { return "TForm5"; }
};

}  // namespace corvane
