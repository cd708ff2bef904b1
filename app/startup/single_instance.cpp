#include "app/startup/single_instance.h"

#include <QDir>
#include <QSocketNotifier>
#include <QThread>
#include <QUrl>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <utility>

namespace {
constexpr char kRaise[] = "raise\n";
constexpr int kConnectMs = 500;
// How long a later start waits for an instance that holds the lock but is
// not listening yet (it is between the two steps of its own start).
constexpr int kStartingInstanceMs = 2000;

// A folder that only this user can change: a real folder (not a link),
// owned by us, with no access for group or others.
bool isPrivateFolder(const QByteArray& path) {
    struct stat st {};
    return ::lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
           (st.st_mode & 077) == 0;
}

// `path` as a private folder, created with mode 0700 when it is missing.
bool makePrivateFolder(const QByteArray& path) {
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST) return false;
    return isPrivateFolder(path);
}

// True when the peer of a connected local socket runs as this user. Any
// other user's socket, even at our own path, is never talked to.
bool peerIsThisUser(int fd) {
    ucred cred{};
    socklen_t len = sizeof cred;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) == 0 && cred.uid == ::getuid();
}

// The address of a local socket at `path`; false when the path is too long
// for one.
bool socketAddress(const QByteArray& path, sockaddr_un& addr) {
    addr = sockaddr_un{};
    addr.sun_family = AF_UNIX;
    if (path.isEmpty() || static_cast<std::size_t>(path.size()) >= sizeof addr.sun_path) return false;
    std::memcpy(addr.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    return true;
}

// A local socket connected to `path` within `timeoutMs`, or -1. Plain
// system calls: the program needs no networking library for this.
int connectLocal(const QByteArray& path, int timeoutMs) {
    sockaddr_un addr{};
    if (!socketAddress(path, addr)) return -1;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd == -1) return -1;
    bool connected = ::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0;
    if (!connected && (errno == EAGAIN || errno == EINPROGRESS)) {
        // The listener's queue is full: wait for room as long as allowed.
        pollfd p{fd, POLLOUT, 0};
        int error = 0;
        socklen_t len = sizeof error;
        connected = ::poll(&p, 1, timeoutMs) == 1 && ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &len) == 0 &&
                    error == 0;
    }
    if (!connected) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// The lock file, opened for flock(); a link is not followed and anything
// but a regular file of our own is refused. -1 when it cannot be had.
int openLockFile(const QByteArray& path) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        struct stat st {};
        if (fd != -1 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::getuid()) return fd;
        if (fd != -1) ::close(fd);
        // Something else is in the way (a link, a folder, a socket): it is
        // in our private folder, so nothing of value; clear it and retry.
        if (::unlink(path.constData()) != 0) ::rmdir(path.constData());
    }
    return -1;
}
// The data folder's lock file, opened for flock(). Unlike the private
// folder's, it may sit in a folder others can write to: a link is not
// followed, and only a regular file of our own is used; nothing in the way
// is removed. -1 when it cannot be had (a read-only folder, another
// user's file, say); `error` is then the errno of the opening, or 0 when
// something that is not ours was opened.
int openDataFolderLock(const QByteArray& path, int& error) {
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    error = fd == -1 ? errno : 0;
    struct stat st {};
    if (fd != -1 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::getuid()) return fd;
    if (fd != -1) ::close(fd);
    return -1;
}

// The user name of `uid`, or its number when it has none.
QString userName(uid_t uid) {
    const passwd* user = ::getpwuid(uid);
    return user && user->pw_name ? QString::fromLocal8Bit(user->pw_name) : QString::number(uid);
}

// Why the data folder's lock file could not be had, for the user.
QString lockRefusal(const QString& folder, const QByteArray& path, int error) {
    const QString file = QFile::decodeName(path);
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0)
        return QStringLiteral("データフォルダ %1 にロックファイルを作れないため、このフォルダでは起動できません（%2）")
            .arg(folder, QString::fromLocal8Bit(std::strerror(error)));
    if (st.st_uid != ::getuid())
        return QStringLiteral("データフォルダのロックファイル %1 は別のユーザー %2 のものなので、"
                              "このフォルダでは起動できません")
            .arg(file, userName(st.st_uid));
    const QString why = error != 0 ? QString::fromLocal8Bit(std::strerror(error))
                                   : QStringLiteral("通常のファイルではありません");
    return QStringLiteral("データフォルダのロックファイル %1（持ち主 %2）を開けないため、このフォルダでは起動できません（%3）")
        .arg(file, userName(st.st_uid), why);
}

// The socket path written in the data folder's lock file by its holder
// (its first line); empty while it has written none.
QString socketNamedIn(int lockFd) {
    char buffer[4096];
    const ssize_t n = ::pread(lockFd, buffer, sizeof buffer, 0);
    if (n <= 0) return {};
    const QByteArray text(buffer, static_cast<qsizetype>(n));
    const qsizetype end = text.indexOf('\n');
    return end <= 0 ? QString() : QFile::decodeName(text.left(end));
}
}  // namespace

SingleInstance::SingleInstance(QString socketPath, QString dataFolder, QObject* parent)
    : QObject(parent), path_(std::move(socketPath)), dataFolder_(std::move(dataFolder)) {}

SingleInstance::~SingleInstance() {
    // The listening socket goes first (its file is removed while the lock
    // is still held), then the locks are released for the next start.
    if (listenFd_ != -1) {
        delete listenNotifier_;
        ::close(listenFd_);
        ::unlink(QFile::encodeName(path_).constData());
    }
    if (lockFd_ != -1) ::close(lockFd_);
    if (folderLockFd_ != -1) ::close(folderLockFd_);
}

QString SingleInstance::socketName(const QString& title) {
    // Socket names become file names: keep them ASCII and one per user.
    const QString safeTitle = QString::fromLatin1(QUrl::toPercentEncoding(title));
    return safeTitle + QStringLiteral("-") + QString::number(::getuid());
}

QString SingleInstance::socketPath(const QString& title) {
    const QString name = socketName(title);
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (runtime.startsWith('/') && isPrivateFolder(runtime)) return QDir(QFile::decodeName(runtime)).filePath(name);
    // A folder of our own in the shared temp folder. Another user may have
    // taken its name first; then the next numbered name is tried, in the same
    // order by every start, so all starts of this user meet in one folder.
    const QString uid = QString::number(::getuid());
    const QString base = QDir(QDir::tempPath()).filePath(QStringLiteral("vamu_Pelican-") + uid);
    for (int i = 0; i < 8; ++i) {
        const QString folder = i == 0 ? base : base + QLatin1Char('.') + QString::number(i);
        if (makePrivateFolder(QFile::encodeName(folder))) return QDir(folder).filePath(name);
    }
    const QString home = QDir::home().filePath(QStringLiteral(".vamu_Pelican-run"));
    if (makePrivateFolder(QFile::encodeName(home))) return QDir(home).filePath(name);
    return {};
}

bool SingleInstance::askRunningInstance(const QString& socketPath) {
    const int fd = connectLocal(QFile::encodeName(socketPath), kConnectMs);
    if (fd == -1) return false;
    bool asked = false;
    if (peerIsThisUser(fd)) {
        pollfd p{fd, POLLOUT, 0};
        const auto size = sizeof kRaise - 1;
        asked = ::poll(&p, 1, kConnectMs) == 1 &&
                ::send(fd, kRaise, size, MSG_NOSIGNAL) == static_cast<ssize_t>(size);
    }
    ::close(fd);
    return asked;
}

bool SingleInstance::listen() {
    sockaddr_un addr{};
    const QByteArray path = QFile::encodeName(path_);
    if (!socketAddress(path, addr)) return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd == -1) return false;
    // Only this user may connect; the folder is private to it as well.
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0 ||
        ::chmod(path.constData(), 0600) != 0 || ::listen(fd, 8) != 0) {
        ::close(fd);
        return false;
    }
    listenFd_ = fd;
    listenNotifier_ = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(listenNotifier_, &QSocketNotifier::activated, this, [this] {
        for (;;) {
            const int client = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
            if (client == -1) return;
            if (!peerIsThisUser(client)) {
                ::close(client);
                continue;
            }
            readRequest(client);
        }
    });
    return true;
}

void SingleInstance::readRequest(int client) {
    // The request comes in one short write; the connection ends with it.
    auto* notifier = new QSocketNotifier(client, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this, notifier, client] {
        char buffer[64];
        const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
        notifier->setEnabled(false);
        notifier->deleteLater();
        ::close(client);
        if (n > 0 && QByteArray(buffer, n).contains("raise")) emit raiseRequested();
    });
}

bool SingleInstance::lockDataFolder() {
    if (dataFolder_.isEmpty()) return true;
    const QByteArray lockFile = QFile::encodeName(QDir(dataFolder_).filePath(QLatin1String(kDataFolderLockName)));
    int error = 0;
    const int fd = openDataFolderLock(lockFile, error);
    if (fd == -1) {
        // Without the lock a second window could work on the same files:
        // this start ends, and says why.
        refusal_ = lockRefusal(dataFolder_, lockFile, error);
        std::fprintf(stderr, "%s\n", refusal_.toLocal8Bit().constData());
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        folderLockFd_ = fd;
        // Names this instance's socket for a later start that comes by
        // another runtime folder.
        const QByteArray line = QFile::encodeName(path_) + '\n';
        if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, line.constData(), static_cast<std::size_t>(line.size()), 0) != line.size())
            std::fputs("cannot name the socket in the data folder's lock\n", stderr);
        return true;
    }
    // An instance of ours runs on this data folder; it may still be on its
    // way to naming its socket and listening.
    bool answered = false;
    for (int waited = 0; waited < kStartingInstanceMs && !answered; waited += 100) {
        const QString socket = socketNamedIn(fd);
        answered = !socket.isEmpty() && askRunningInstance(socket);
        if (!answered) QThread::msleep(100);
    }
    ::close(fd);
    if (!answered) std::fputs("another instance uses this data folder but does not answer\n", stderr);
    return false;
}

bool SingleInstance::anotherIsRunning() {
    if (path_.isEmpty()) {
        std::fputs("no private folder for the single-instance lock; only the data folder is locked\n", stderr);
        return !lockDataFolder();
    }
    const QByteArray socketFile = QFile::encodeName(path_);
    lockFd_ = openLockFile(socketFile + ".lock");
    if (lockFd_ == -1) {
        std::fputs("cannot open the single-instance lock; only the data folder is locked\n", stderr);
        return !lockDataFolder();
    }
    if (::flock(lockFd_, LOCK_EX | LOCK_NB) == 0) {
        // The one instance of this runtime folder; another start of ours may
        // still use the same data folder by another one.
        if (!lockDataFolder()) {
            ::close(lockFd_);
            lockFd_ = -1;
            return true;
        }
        // The one instance now. Whatever is at the socket path belongs to no
        // live instance (a crashed run's socket, a stray file): replace it.
        ::unlink(socketFile.constData());
        if (!listen()) std::fputs("cannot listen for later starts; they will not raise this window\n", stderr);
        return false;
    }
    // The lock is held, so an instance of ours runs. It may still be on its
    // way to listening; in any case this start ends and no second instance
    // runs, even when the one at the socket is not ours to talk to.
    ::close(lockFd_);
    lockFd_ = -1;
    for (int waited = 0; waited < kStartingInstanceMs; waited += 100) {
        if (askRunningInstance(path_)) return true;
        QThread::msleep(100);
    }
    std::fputs("another instance holds the lock but does not answer\n", stderr);
    return true;
}
