// TskResourceStrData: a table of user-interface texts ("NAME=text" lines) that skinned surfaces
// use in place of their built-in texts.
#pragma once

#include <string>
#include <vector>

#include "platform/core/Classes.h"

namespace corvane {

class TskResourceStrData : public TComponent {
 public:
  explicit TskResourceStrData(TComponent* owner);
  std::string ClassName() const override { return "TskResourceStrData"; }

  const std::vector<std::string>& ResStrings() const { return resStrings_; }
  void SetResStrings(const std::vector<std::string>& lines) { resStrings_ = lines; }
  // The character set consumers give their fonts (1: the platform's default).
  int CharSet = 1;

  // The text after the first "=" of the first line whose name equals `name` without regard to
  // letter case; empty when there is none.
  std::string GetString(const std::string& name) const;

  // The 115 lines a new table holds.
  static const std::vector<std::string>& DefaultStrings();

 private:
  std::vector<std::string> resStrings_;
};

}  // namespace corvane
