// The program as it starts for the user, reporting on stdout the moment its
// main window is shown and the event loop idle, then ending normally.
// Boxes are answered silently so a start without printers cannot block.
#include <QCoreApplication>
#include <cstdio>

#include "app/startup/program.h"
#include "services/message_boxes.h"

namespace {
class SilentBoxes final : public MessageBoxes {
public:
    bool question(QWidget*, const QString&) override { return false; }
    void notice(QWidget*, const QString&) override {}
    void error(QWidget*, const QString& text) override { std::fprintf(stderr, "%s\n", qPrintable(text)); }
};
SilentBoxes silent;
}  // namespace

int main(int argc, char** argv) {
    ProgramHooks hooks;
    hooks.beforeWindows = [] { setMessageBoxes(&silent); };
    hooks.whenIdle = [] {
        std::fputs("idle\n", stdout);
        std::fflush(stdout);
        QCoreApplication::quit();
    };
    return runProgram(argc, argv, hooks);
}
