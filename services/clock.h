#pragma once
// Today's date, replaceable in tests.
#include <QDate>

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDate today() = 0;
};

Clock& appClock();
void setAppClock(Clock* c);  // tests; nullptr restores the system clock
