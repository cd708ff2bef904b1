#pragma once
// Asks the desktop to open a web page or a mailto: address.
#include <QUrl>

class ShellOpen {
public:
    virtual ~ShellOpen() = default;
    virtual void open(const QUrl& url) = 0;
};

ShellOpen& shellOpen();
void setShellOpen(ShellOpen* opener);  // tests; nullptr restores the real one
