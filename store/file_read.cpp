#include "store/file_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <limits>

#include "store/own_folder.h"

namespace {

enum class Links { Follow, OnlyInOwnFolder };

// Opens a plain file for reading; -1 with errno set otherwise.
int openPlainFile(const std::string& path, Links links, struct stat& st) {
    // O_NONBLOCK: opening a named pipe must not wait for a writer.
    const bool follow = links == Links::Follow || isUsersOwnFolder(folderOfPath(path));
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | (follow ? 0 : O_NOFOLLOW));
    if (fd < 0) return -1;
    // Only a plain file is read: a pipe could block and a device such as
    // /dev/zero would never end.
    int err = 0;
    if (::fstat(fd, &st) != 0) err = errno;
    else if (S_ISDIR(st.st_mode)) err = EISDIR;
    else if (!S_ISREG(st.st_mode) || st.st_size < 0) err = EINVAL;
    if (err == 0) return fd;
    ::close(fd);
    errno = err;
    return -1;
}

// Reads chunks until EOF, until maxLines line feeds were seen or until more
// than maxBytes bytes came (EFBIG); the rest of the file is never read, so
// a huge file costs only what is needed.
int readUpTo(int fd, std::size_t maxLines, std::size_t maxBytes, std::string& out) {
    std::size_t lines = 0;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return 0;
        const auto got = static_cast<std::size_t>(n);
        std::size_t take = got;
        for (std::size_t i = 0; i < got && maxLines != 0; ++i) {
            if (buffer[i] == '\n' && ++lines == maxLines) {
                take = i + 1;
                break;
            }
        }
        out.append(buffer, take);
        if (out.size() > maxBytes) return EFBIG;
        if (maxLines != 0 && lines == maxLines) return 0;
    }
}

// maxLines 0: no line limit.
int readPlainFile(const std::string& path, Links links, std::size_t maxLines, std::size_t maxBytes,
                  std::string& out) {
    out.clear();
    struct stat st {};
    const int fd = openPlainFile(path, links, st);
    if (fd < 0) return errno;
    // A file already known to be too large is not read at all.
    int err = static_cast<std::uint64_t>(st.st_size) > maxBytes && maxLines == 0 ? EFBIG : 0;
    // Reading goes on to the end (or one byte past the limit, for a file that
    // grew since fstat) so the caller never sees a silently cut file.
    if (err == 0) err = readUpTo(fd, maxLines, maxBytes, out);
    ::close(fd);
    if (err != 0) out.clear();
    return err;
}

constexpr std::size_t kNoLimit = std::numeric_limits<std::size_t>::max();

}  // namespace

int readWholeFile(const std::string& path, std::string& out) {
    return readPlainFile(path, Links::OnlyInOwnFolder, 0, kNoLimit, out);
}

int readFileLines(const std::string& path, std::size_t maxLines, std::string& out) {
    if (maxLines == 0) {
        out.clear();
        return 0;
    }
    return readPlainFile(path, Links::OnlyInOwnFolder, maxLines, kNoLimit, out);
}

int readOwnFileCapped(const std::string& path, std::size_t maxBytes, std::string& out) {
    return readPlainFile(path, Links::OnlyInOwnFolder, 0, maxBytes, out);
}

int readFileCapped(const std::string& path, std::size_t maxBytes, std::string& out) {
    return readPlainFile(path, Links::Follow, 0, maxBytes, out);
}
