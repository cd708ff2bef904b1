#include "print/Wbprn/cups/cups_connection.h"

namespace wbprn {

namespace {
// Called when a read or write stalls past the time-out: give up.
int giveUp(http_t*, void*) { return 0; }
}  // namespace

CupsConnection::CupsConnection(int timeoutMs) {
    http_ = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, timeoutMs, nullptr);
    if (http_) httpSetTimeout(http_, timeoutMs / 1000.0, giveUp, nullptr);
}

CupsConnection::~CupsConnection() {
    if (http_) httpClose(http_);
}

}  // namespace wbprn
