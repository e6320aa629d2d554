// The reference window: a read-only view of one reference text.
#pragma once

#include <string>

#include "app/Conventions.h"

namespace corvane {

class TForm3 : public TForm {
 public:
  explicit TForm3(TComponent* owner);
  std::string ClassName() const override { return "TForm3"; }
  void Fill(const std::string& document);
};

}  // namespace corvane
