// Program entry: no arguments are read, no exit code is set.
#include "app/startup/program.h"

int main(int argc, char** argv) { return runProgram(argc, argv); }
