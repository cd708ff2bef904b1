#include "store/file_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <limits>

namespace {

// Reads chunks until EOF, until maxLines line feeds were seen or until
// maxBytes bytes are read; the rest of the file is never read, so a huge
// file costs only what is needed.
int readUpTo(const std::string& path, std::size_t maxLines, std::string& out,
             std::size_t maxBytes = std::numeric_limits<std::size_t>::max()) {
    out.clear();
    // O_NONBLOCK: opening a named pipe must not wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return errno;
    // Only a plain file is read: a pipe could block and a device such as
    // /dev/zero would never end.
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int err = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        ::close(fd);
        return err;
    }
    std::size_t lines = 0;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int err = errno;
            ::close(fd);
            return err;
        }
        if (n == 0) break;
        const auto got = static_cast<std::size_t>(n);
        std::size_t take = got;
        for (std::size_t i = 0; i < got; ++i) {
            if (buffer[i] == '\n' && ++lines == maxLines) {
                take = i + 1;
                break;
            }
        }
        take = std::min(take, maxBytes - out.size());
        out.append(buffer, take);
        if (lines == maxLines || out.size() == maxBytes) break;
    }
    ::close(fd);
    return 0;
}

}  // namespace

int readWholeFile(const std::string& path, std::string& out) {
    return readUpTo(path, std::numeric_limits<std::size_t>::max(), out);
}

int readFileLines(const std::string& path, std::size_t maxLines, std::string& out) {
    if (maxLines == 0) {
        out.clear();
        return 0;
    }
    return readUpTo(path, maxLines, out);
}

int readFileAtMost(const std::string& path, std::size_t maxBytes, std::string& out) {
    // One byte past the limit tells "too large" without reading the rest.
    const int err = readUpTo(path, std::numeric_limits<std::size_t>::max(), out, maxBytes + 1);
    if (err != 0) return err;
    if (out.size() > maxBytes) {
        out.clear();
        return EFBIG;
    }
    return 0;
}
