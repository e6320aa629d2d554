// Start-up: names the application, creates the five windows in order and runs the event loop.
#pragma once

namespace corvane {

class TApplication;
// Creates Form1 to Form5 in order, each stored as its class's current reference.
void CreateStartupWindows(TApplication& app);
int RunProgram(int argc, char** argv);

}  // namespace corvane
