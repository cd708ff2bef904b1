#include "history/history_file.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>

#include "history/history_schema.h"
#include "store/file_error.h"
#include "store/own_folder.h"

namespace store {

namespace {

constexpr const char* kJournalSuffixes[] = {"-wal", "-shm", "-journal"};

std::string fileName(const std::string& path) { return std::filesystem::path(path).filename().string(); }

bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

std::string userName(uid_t uid) {
    const passwd* user = ::getpwuid(uid);
    return user ? std::string(user->pw_name) : "uid " + std::to_string(uid);
}

// Refuses a file of another user to be written: in a folder others can
// write to, one they made (or linked) to receive this user's records.
void requireOwn(const std::string& path, const struct stat& st, bool forWriting) {
    if (forWriting && st.st_uid != ::geteuid())
        throw HistoryFileRefused("履歴ファイル " + fileName(path) + " の持ち主はほかのユーザー（" +
                                 userName(st.st_uid) + "）です。このファイルには記録しません");
}

// Refuses a link that is not to be followed and, for writing, a file of
// another user; `st` is the path's own lstat.
void requireUsable(const std::string& path, const struct stat& st, bool trusted, bool forWriting) {
    if (S_ISLNK(st.st_mode) && !trusted)
        throw HistoryFileRefused("履歴ファイル " + fileName(path) +
                                 " はシンボリックリンクです。ほかのユーザーも書き込めるフォルダーでは、"
                                 "リンクの先を履歴として使いません");
    if (!S_ISLNK(st.st_mode)) requireOwn(path, st, forWriting);
}

// The first 100 bytes of the file (SQLite's header), fewer when shorter.
std::string header(const std::string& path, bool trusted) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | (trusted ? 0 : O_NOFOLLOW));
    if (fd < 0) return {};
    char buffer[100];
    std::size_t got = 0;
    while (got < sizeof buffer) {
        const ssize_t n = ::read(fd, buffer + got, sizeof buffer - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return {buffer, got};
}

constexpr char kSqliteMagic[] = "SQLite format 3";  // and its terminating NUL: 16 bytes

}  // namespace

bool historyLinksTrusted(const std::string& path) { return isUsersOwnFolder(folderOfPath(path)); }

bool hasJournalFiles(const std::string& path) {
    for (const char* suffix : kJournalSuffixes)
        if (exists(path + suffix)) return true;
    return false;
}

HistoryFileKind inspectHistoryFile(const std::string& path, bool forWriting) {
    const bool trusted = historyLinksTrusted(path);
    for (const char* suffix : kJournalSuffixes) {
        struct stat st {};
        if (::lstat((path + suffix).c_str(), &st) == 0) requireUsable(path + suffix, st, trusted, forWriting);
    }
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        if (errno == ENOENT) return HistoryFileKind::Missing;
        const int err = errno;
        throw FileError(err, fileName(path) + ": " + systemErrorText(err));
    }
    requireUsable(path, st, trusted, forWriting);
    // A trusted link is judged by what it points at; a dangling one is a
    // file still to be made there.
    if (S_ISLNK(st.st_mode) && ::stat(path.c_str(), &st) != 0) return HistoryFileKind::Missing;
    requireOwn(path, st, forWriting);
    if (!S_ISREG(st.st_mode)) throw NotHistoryDatabase(path);
    if (st.st_size == 0) return HistoryFileKind::Empty;
    if (header(path, trusted).compare(0, sizeof kSqliteMagic, kSqliteMagic, sizeof kSqliteMagic) != 0)
        throw NotHistoryDatabase(path);
    return HistoryFileKind::Sqlite;
}

int headerSchemaVersion(const std::string& path) {
    const std::string h = header(path, historyLinksTrusted(path));
    if (h.size() < 100 || h.compare(0, sizeof kSqliteMagic, kSqliteMagic, sizeof kSqliteMagic) != 0) return -1;
    // The user version: a big-endian 32-bit integer at offset 60.
    std::uint32_t v = 0;
    for (std::size_t i = 60; i < 64; ++i) v = (v << 8) | static_cast<unsigned char>(h[i]);
    return v > 0x7fffffffU ? -1 : static_cast<int>(v);
}

std::string brokenFileName(const std::string& path) {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    ::localtime_r(&now, &tm);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &tm);
    std::string target = path + ".broken-" + stamp;
    for (int n = 2; exists(target); ++n) target = path + ".broken-" + stamp + "-" + std::to_string(n);
    return target;
}

void moveHistoryAside(const std::string& path, const std::string& target, bool keepInPlace) {
    const bool linked = keepInPlace && ::link(path.c_str(), target.c_str()) == 0;
    if (!linked && std::rename(path.c_str(), target.c_str()) != 0) {
        const int err = errno;
        throw FileError(err, fileName(path) + ": " + systemErrorText(err));
    }
    for (const char* suffix : {"-wal", "-shm"})
        if (exists(path + suffix)) std::rename((path + suffix).c_str(), (target + suffix).c_str());
}

void syncFolderOf(const std::string& path) {
    const int fd = ::open(folderOfPath(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    (void)::fsync(fd);
    ::close(fd);
}

std::string historyUri(const std::string& path, bool readOnly, bool immutable) {
    // An absolute path gets an empty authority, so that "//x" stays a path.
    std::string uri = path.starts_with('/') ? "file://" : "file:";
    for (const char c : path) {
        if (c == '%' || c == '?' || c == '#') {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", static_cast<unsigned char>(c));
            uri += escaped;
        } else {
            uri += c;
        }
    }
    if (readOnly) uri += immutable ? "?mode=ro&immutable=1" : "?mode=ro";
    return uri;
}

}  // namespace store
