#include "store/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string_view>

namespace store {

namespace {

// Up to `limit` bytes from the start of a plain file; empty for anything
// else (a pipe is never waited on).
std::string head(const std::string& path, std::size_t limit) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return {};
    std::string out;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        out.resize(limit);
        std::size_t got = 0;
        while (got < limit) {
            const ssize_t n = ::read(fd, out.data() + got, limit - got);
            if (n <= 0) break;
            got += static_cast<std::size_t>(n);
        }
        out.resize(got);
    }
    ::close(fd);
    return out;
}

bool isKind(std::string_view bytes, OutputKind kind) {
    const bool pdf = bytes.substr(0, 5) == "%PDF-";
    if (kind == OutputKind::Pdf) return pdf;
    return !pdf && bytes.substr(0, 16) != std::string_view("SQLite format 3\0", 16) &&
           bytes.find('\0') == std::string_view::npos;
}

}  // namespace

void checkOutputFile(const std::string& path, OutputKind kind, std::initializer_list<std::string> inputs) {
    struct stat out {};
    if (::stat(path.c_str(), &out) != 0) return;  // a new file; writing reports its own errors
    for (const std::string& in : inputs) {
        struct stat st {};
        if (!in.empty() && ::stat(in.c_str(), &st) == 0 && st.st_dev == out.st_dev && st.st_ino == out.st_ino)
            throw OutputRefused(path + ": 読み込むファイルと同じファイルです。書き込みません");
    }
    if (!S_ISREG(out.st_mode) || out.st_size == 0) return;  // the writer refuses what is not a plain file
    if (!isKind(head(path, 4096), kind))
        throw OutputRefused(path + (kind == OutputKind::Pdf ? ": PDFではないファイルです。上書きしません"
                                                            : ": テキストではないファイルです。上書きしません"));
}

}  // namespace store
