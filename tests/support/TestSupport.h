// Helpers shared by the window tests.
#pragma once

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "platform/layout/Layout.h"
#include "platform/windows/Forms.h"

namespace corvane::test {

// A file's bytes as they are on disk, or nothing when it cannot be read. Read here rather than
// through the program's own reader, which the tests check.
inline std::string FileBytes(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

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

// A form of its own class name, registered (with the platform's classes) for a layout to be read
// into it: the layout's root object names `className`.
class TLayoutTestForm : public TForm {
 public:
  explicit TLayoutTestForm(std::string className) : TForm(nullptr), className_(std::move(className)) {
    RegisterPlatformClasses();
    RegisterComponentClass(className_, "TForm", nullptr);
  }
  std::string ClassName() const override { return className_; }
 private:
  std::string className_;
};

// Runs the event loop every 2 ms until `done` holds or `ms` have passed; whether it holds.
template <class F>
bool RunUntil(F done, int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!done() && std::chrono::steady_clock::now() < end) {
    Application->ProcessMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return done();
}

// Runs the event loop for `ms` milliseconds.
inline void RunFor(int ms) {
  RunUntil([] { return false; }, ms);
}

// The source tree (for fixture files).
inline std::string SourceDir() { return CORVANE_SOURCE_DIR; }

}  // namespace corvane::test
