#include "store/atomic_file.h"

#include <fcntl.h>
#include <signal.h>  // NOLINT(modernize-deprecated-headers): kill() is POSIX, declared only here
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <string>
#include <utility>

#include "store/own_folder.h"

namespace {

std::function<int(AtomicWriteStep)>& faultHook() {
    static std::function<int(AtomicWriteStep)> hook;
    return hook;
}

// errno of an injected failure at this step, or 0.
int injected(AtomicWriteStep step) {
    auto& hook = faultHook();
    return hook ? hook(step) : 0;
}

[[noreturn]] void fail(int errorNumber) { throw FileError(errorNumber, systemErrorText(errorNumber)); }

// A symbolic link is followed, so the link stays and its target is
// replaced; but only in a folder of the user's own: elsewhere a link may
// have been planted by another user, and the link itself is replaced.
std::string resolvedTarget(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_symlink(path, ec) && isUsersOwnFolder(folderOfPath(path))) {
        auto real = std::filesystem::weakly_canonical(path, ec);
        if (!ec) return real.string();
    }
    return path;
}

// Creates a fresh temporary file beside the target (O_EXCL, so an existing
// file is never reused). The mode 0666 is narrowed by the umask as for any
// new file.
int createTemporary(const std::string& target, std::string& tempPath) {
    static std::atomic<unsigned> counter{0};
    const auto p = std::filesystem::path(target);
    const std::string stem = (p.parent_path() / ("." + p.filename().string())).string();
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = stem + ".tmp" + std::to_string(::getpid()) + "_" + std::to_string(counter++);
        int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

// Removes temporary files that earlier saves of this target left behind
// when their process was killed midway (the name carries the writer's pid;
// a live writer's file is never touched).
void removeStaleTemporaries(const std::string& target) {
    const auto p = std::filesystem::path(target);
    const std::string prefix = "." + p.filename().string() + ".tmp";
    std::error_code ec;
    std::filesystem::directory_iterator it(folderOfPath(target), ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.rfind(prefix, 0) != 0) continue;
        const std::string rest = name.substr(prefix.size());
        const std::size_t underscore = rest.find('_');
        if (underscore == 0 || underscore == std::string::npos) continue;
        // Linux pids have at most 7 digits; a longer run is not one of our
        // files and would overflow the conversion below.
        if (underscore > 9 || rest.find_first_not_of("0123456789") != underscore) continue;
        const long pid = std::stol(rest.substr(0, underscore));
        if (pid == ::getpid() || pid <= 0) continue;
        if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) ::unlink(it->path().c_str());
    }
}

bool writeAll(int fd, std::string_view content) {
    while (!content.empty()) {
        ssize_t n = ::write(fd, content.data(), content.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        content.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Flushes the folder so the rename itself survives a power cut. Best
// effort: the new file is already in place, and some file systems refuse
// fsync on a folder.
void syncFolder(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    (void)::fsync(fd);
    ::close(fd);
}

}  // namespace

void setAtomicWriteFaultForTesting(std::function<int(AtomicWriteStep)> fault) { faultHook() = std::move(fault); }

void writeFileAtomically(const std::string& path, std::string_view content) {
    const std::string target = resolvedTarget(path);

    // A read-only file is not replaced behind the user's back: renaming
    // over it would succeed, but writing it would not.
    // A link still here is one not to follow: it is replaced like a
    // missing file, its target never looked at.
    struct stat old {};
    const bool exists = ::lstat(target.c_str(), &old) == 0 && !S_ISLNK(old.st_mode);
    if (exists && ::access(target.c_str(), W_OK) != 0) fail(errno);
    // Only a plain file is replaced: never a folder, a pipe or a device
    // that a link might point to.
    if (exists && !S_ISREG(old.st_mode)) fail(S_ISDIR(old.st_mode) ? EISDIR : EINVAL);

    removeStaleTemporaries(target);
    std::string tempPath;
    int err = injected(AtomicWriteStep::Open);
    int fd = err ? -1 : createTemporary(target, tempPath);
    if (fd < 0) fail(err ? err : errno);

    // From here on every failure removes the temporary file, so the old
    // file stays whole and nothing is left behind.
    auto abandon = [&](int errorNumber) {
        if (fd >= 0) ::close(fd);
        ::unlink(tempPath.c_str());
        fail(errorNumber);
    };
    if (exists) (void)::fchmod(fd, old.st_mode & 07777);

    if ((err = injected(AtomicWriteStep::Write)) != 0) abandon(err);
    if (!writeAll(fd, content)) abandon(errno);
    if ((err = injected(AtomicWriteStep::Sync)) != 0) abandon(err);
    if (::fsync(fd) != 0) abandon(errno);
    if ((err = injected(AtomicWriteStep::Close)) != 0) abandon(err);
    int closed = ::close(fd);
    fd = -1;
    if (closed != 0) abandon(errno);
    if ((err = injected(AtomicWriteStep::Rename)) != 0) abandon(err);
    if (::rename(tempPath.c_str(), target.c_str()) != 0) abandon(errno);

    syncFolder(folderOfPath(target));
}
