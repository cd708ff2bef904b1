#include "services/clock.h"

namespace {
class SystemClock final : public Clock {
public:
    QDate today() override { return QDate::currentDate(); }
};
SystemClock realClock;
Clock* current = &realClock;
}  // namespace

Clock& appClock() { return *current; }
void setAppClock(Clock* c) { current = c ? c : &realClock; }
