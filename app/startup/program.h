#pragma once
// The whole run of the program: one instance per user session, then the
// three windows of the run in their fixed order, then the event loop.
#include <functional>

struct ProgramHooks {
    // Runs once the instance check passed, before any window exists.
    std::function<void()> beforeWindows;
    // Runs once when the main window is shown and the event loop is idle.
    std::function<void()> whenIdle;
};

// Returns the process exit code: 0, or 1 when the program could not start
// (its data folder's lock or its windows could not be had; a box said why).
int runProgram(int argc, char** argv, const ProgramHooks& hooks = {});
