// Helpers shared by the window tests.
#pragma once

#include <string>
#include <vector>

#include "platform/Forms.h"

namespace corvane::test {

// Records every message box instead of showing it, answering OK, for the life of the object.
class MessageBoxRecorder {
 public:
  MessageBoxRecorder() {
    previous_ = gMessageBoxSeam;
    gMessageBoxSeam = [this](const TMessageBoxRecord& r) {
      boxes.push_back(r);
      return answer;
    };
  }
  ~MessageBoxRecorder() { gMessageBoxSeam = previous_; }
  std::vector<TMessageBoxRecord> boxes;
  int answer = IDOK;
 private:
  std::function<int(const TMessageBoxRecord&)> previous_;
};

// The source tree (for fixture files).
inline std::string SourceDir() { return CORVANE_SOURCE_DIR; }

}  // namespace corvane::test
