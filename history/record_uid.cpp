#include <sys/random.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "history/history_backend.h"

namespace store {

std::string newRecordUid() {
    std::array<std::uint8_t, 16> bytes{};
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::getrandom(bytes.data() + got, bytes.size() - got, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw std::runtime_error("no random bytes for a record id");
        got += static_cast<std::size_t>(n);
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(32);
    for (const std::uint8_t b : bytes) {
        out += kHex[b >> 4];
        out += kHex[b & 0x0f];
    }
    return out;
}

}  // namespace store
