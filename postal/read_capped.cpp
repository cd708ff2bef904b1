#include "postal/read_capped.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace postal {

int readFileCapped(const std::string& path, std::size_t maxBytes, std::string& out) {
    out.clear();
    // O_NONBLOCK: opening a named pipe must not wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return errno;
    struct stat st {};
    int err = 0;
    if (::fstat(fd, &st) != 0) err = errno;
    else if (S_ISDIR(st.st_mode)) err = EISDIR;
    else if (!S_ISREG(st.st_mode) || st.st_size < 0) err = EINVAL;
    else if (static_cast<std::uint64_t>(st.st_size) > maxBytes) err = EFBIG;
    if (err != 0) {
        ::close(fd);
        return err;
    }
    // Reads to the end (or to one byte past the limit, for a file that
    // grew since fstat) so the caller never sees a silently cut file.
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            err = errno;
            break;
        }
        if (n == 0) break;
        out.append(buffer, static_cast<std::size_t>(n));
        if (out.size() > maxBytes) {
            err = EFBIG;
            break;
        }
    }
    ::close(fd);
    if (err != 0) out.clear();
    return err;
}

}  // namespace postal
