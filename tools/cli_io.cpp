#include "tools/cli_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <unistd.h>

#include "history/conninfo_password.h"
#include "text/printable.h"

namespace cli {

namespace {

[[noreturn]] void fail(const char* what, int err) {
    throw IoError(std::string(what) + ": " + std::strerror(err));
}

}  // namespace

void guardStandardStreams() {
    // Standard input gets a write-only /dev/null and the outputs a
    // read-only one, so a closed stream stays an error when it is used.
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        const int filler = open("/dev/null", fd == 0 ? O_WRONLY : O_RDONLY);
        if (filler != -1 && filler != fd) {
            dup2(filler, fd);
            close(filler);
        }
    }
}

std::string readStdin(std::size_t limit) {
    std::string in;
    char buf[65536];
    for (;;) {
        const ssize_t n = read(STDIN_FILENO, buf, sizeof buf);
        if (n == 0) return in;
        if (n < 0) {
            if (errno == EINTR) continue;
            fail("cannot read standard input", errno);
        }
        if (static_cast<std::size_t>(n) > limit - in.size())
            throw IoError("standard input is longer than " + std::to_string(limit / (std::size_t{1024} * 1024)) +
                          " MB; refused");
        in.append(buf, static_cast<std::size_t>(n));
    }
}

void writeStdout(std::string_view bytes) {
    if (bytes.empty()) return;
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size())
        fail("cannot write standard output", errno != 0 ? errno : EIO);
}

void finishStdout() {
    errno = 0;
    const bool flushed = std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
    const int flushErr = errno != 0 ? errno : EIO;
    // Closing reports what a flush cannot (a network file system's deferred
    // error); once closed, nothing else writes to standard output.
    const bool closed = std::fclose(stdout) == 0;
    if (!flushed) fail("cannot write standard output", flushErr);
    if (!closed) fail("cannot close standard output", errno != 0 ? errno : EIO);
}

int runChecked(const std::function<void()>& work) {
    try {
        work();
        finishStdout();
        return 0;
    } catch (const std::exception& e) {
        // Messages may carry what a file held: shown escaped, never raw.
        std::fprintf(stderr, "%s\n", text::printable(e.what(), 4096).c_str());
        return 1;
    }
}

bool conninfoAccepted(const char* conninfo) {
    if (!store::conninfoHasPassword(conninfo)) return true;
    std::fprintf(stderr, "%s\n", store::kPasswordInConninfo);
    return false;
}

}  // namespace cli
