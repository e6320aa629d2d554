// Start-up: names the application, creates the five windows in order and runs the event loop.
#pragma once

namespace corvane {
int RunProgram(int argc, char** argv);
}
