#pragma once
// A connection to the scheduler named by cupsServer() (CUPS_SERVER and
// client.conf are honoured), opened with a time-out so that an unreachable
// scheduler fails quickly instead of hanging the window.
#include <cups/cups.h>

namespace wbprn {

class CupsConnection {
public:
    explicit CupsConnection(int timeoutMs);
    ~CupsConnection();
    CupsConnection(const CupsConnection&) = delete;
    CupsConnection& operator=(const CupsConnection&) = delete;

    http_t* get() const { return http_; }
    explicit operator bool() const { return http_ != nullptr; }

private:
    http_t* http_ = nullptr;
};

}  // namespace wbprn
