#include "app/Program.h"

#include "platform/Forms.h"

namespace corvane {

int RunProgram(int argc, char** argv) {
  TApplication::Initialize(argc, argv);
  TApplication app;
  app.Title = "Corvane";
  app.Run();
  return 0;
}

}  // namespace corvane
