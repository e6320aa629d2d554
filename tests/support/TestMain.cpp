// Test entry: starts the toolkit application and the platform's application object once, then runs
// every test. Window tests need a display; scripts/test provides a virtual one when there is none.
#include <gtest/gtest.h>

#include "platform/windows/Forms.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  corvane::TApplication::Initialize(argc, argv);
  corvane::TApplication app;
  app.Title = "Corvane";
  return RUN_ALL_TESTS();
}
