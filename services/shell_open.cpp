#include "services/shell_open.h"

#include <QDesktopServices>

namespace {
class DesktopOpen final : public ShellOpen {
public:
    void open(const QUrl& url) override { QDesktopServices::openUrl(url); }
};
DesktopOpen realOpen;
ShellOpen* current = &realOpen;
}  // namespace

ShellOpen& shellOpen() { return *current; }
void setShellOpen(ShellOpen* opener) { current = opener ? opener : &realOpen; }
