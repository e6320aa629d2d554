// Program entry.
#include "app/Program.h"

int main(int argc, char** argv) { return corvane::RunProgram(argc, argv); }
