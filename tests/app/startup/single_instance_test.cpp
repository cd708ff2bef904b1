// One instance per user session: in process, then with two real programs,
// and against another local user's entries in the shared temp folder.
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <optional>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include "services/app_title.h"
#include "app/startup/single_instance.h"

namespace {
// A local socket bound to `path` (plain system calls only); -1 on failure.
int boundSocket(const char* path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    ::strncpy(addr.sun_path, path, sizeof(addr.sun_path) - 1);
    return ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) == 0 ? fd : -1;
}

// Leaves a socket file nobody listens on, as a crashed run does.
void leaveStaleSocket(const QString& path) {
    const int fd = boundSocket(QFile::encodeName(path).constData());
    QVERIFY(fd != -1);
    ::close(fd);
    QVERIFY(QFile::exists(path));
}

// Another local user (uid 65534) that puts entries at given paths: 'd' a
// folder, 'f' an ordinary file, 's' a socket it listens on, 'l' a file it
// holds locked (flock). The process stays alive, so its sockets keep
// answering and its locks stay held, until the object ends.
class OtherUser {
public:
    static constexpr uid_t kUid = 65534;
    OtherUser(const QList<QPair<char, QString>>& steps) {
        std::vector<std::pair<char, QByteArray>> todo;
        for (const auto& [op, path] : steps) todo.emplace_back(op, QFile::encodeName(path));
        int ready[2];
        if (::pipe(ready) != 0) return;
        pid_t pid = ::fork();
        if (pid == 0) {
            // Only plain system calls between fork and the end of the child.
            char ok = ::setgid(kUid) == 0 && ::setuid(kUid) == 0 ? 1 : 0;
            for (const auto& [op, path] : todo) {
                if (op == 'd') ok = ok && ::mkdir(path.constData(), 0700) == 0;
                if (op == 'f') ok = ok && ::close(::open(path.constData(), O_CREAT | O_WRONLY, 0644)) == 0;
                if (op == 's') ok = ok && ::listen(boundSocket(path.constData()), 8) == 0;
                if (op == 'l') ok = ok && ::flock(::open(path.constData(), O_CREAT | O_RDWR, 0666), LOCK_EX) == 0;
            }
            if (::write(ready[1], &ok, 1) != 1) ::_exit(1);
            for (;;) ::pause();
        }
        ::close(ready[1]);
        char ok = 0;
        done_ = pid > 0 && ::read(ready[0], &ok, 1) == 1 && ok == 1;
        ::close(ready[0]);
        pid_ = pid;
    }
    ~OtherUser() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    OtherUser(const OtherUser&) = delete;
    OtherUser& operator=(const OtherUser&) = delete;
    bool done() const { return done_; }

private:
    pid_t pid_ = -1;
    bool done_ = false;
};

// Sets (or with a null value unsets) an environment variable.
void setEnv(const char* name, const QByteArray& value) {
    if (value.isNull()) qunsetenv(name);
    else qputenv(name, value);
}

int modeOf(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? static_cast<int>(st.st_mode & 07777) : -1;
}

bool listeningOn(const QString& name) {
    QLocalSocket s;
    s.connectToServer(name);
    return s.waitForConnected(200);
}

// Every entry below a folder, with its size and time of change.
QStringList listing(const QString& path) {
    QStringList out;
    QDirIterator it(path, QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo fi(it.next());
        out << fi.filePath() + QLatin1Char(' ') + QString::number(fi.size()) + QLatin1Char(' ') +
                   fi.lastModified().toString(Qt::ISODateWithMs);
    }
    out.sort();
    return out;
}

bool isEmptyDir(const QString& path) {
    return QDir(path).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden).isEmpty();
}
}  // namespace

class TestFormSingleInstance : public QObject {
    Q_OBJECT
    // The folders the lock is placed by; each test sets its own.
    const QByteArray runtime_ = qgetenv("XDG_RUNTIME_DIR"), temp_ = qgetenv("TMPDIR");

private slots:
    void cleanup() {
        setEnv("XDG_RUNTIME_DIR", runtime_);
        setEnv("TMPDIR", temp_);
    }

    void socketNameIsPerUserAndAscii() {
        const QString name = SingleInstance::socketName(appTitle());
        QVERIFY(name.endsWith(QStringLiteral("-%1").arg(::getuid())));
        QVERIFY(name.contains(QStringLiteral("vamu_Pelican")));
        for (QChar c : name) QVERIFY(c.unicode() < 128 && c != u'/');
    }

    // The socket lives in $XDG_RUNTIME_DIR only when that folder is ours
    // and closed to others; else in a 0700 folder of our own in the temp
    // folder, never directly in the shared temp folder.
    void socketFolderIsPrivate_data() {
        QTest::addColumn<int>("runtimeMode");  // -1: variable unset
        QTest::addColumn<bool>("inRuntime");
        QTest::newRow("private runtime folder") << 0700 << true;
        QTest::newRow("runtime folder open to all") << 01777 << false;
        QTest::newRow("runtime folder readable by group") << 0750 << false;
        QTest::newRow("no runtime folder") << -1 << false;
    }
    void socketFolderIsPrivate() {
        QFETCH(int, runtimeMode);
        QFETCH(bool, inRuntime);
        QTemporaryDir runtime, temp;
        QVERIFY(::chmod(QFile::encodeName(runtime.path()).constData(), runtimeMode < 0 ? 0700 : static_cast<mode_t>(runtimeMode)) == 0);
        setEnv("XDG_RUNTIME_DIR", runtimeMode < 0 ? QByteArray() : QFile::encodeName(runtime.path()));
        setEnv("TMPDIR", QFile::encodeName(temp.path()));
        const QString path = SingleInstance::socketPath(appTitle());
        const QString folder = QFileInfo(path).path();
        QCOMPARE(QFileInfo(path).fileName(), SingleInstance::socketName(appTitle()));
        if (inRuntime) {
            QCOMPARE(folder, runtime.path());
        } else {
            QCOMPARE(folder, QDir(temp.path()).filePath(QStringLiteral("vamu_Pelican-%1").arg(::getuid())));
            QCOMPARE(modeOf(folder), 0700);
        }
    }

    // Another local user's entries where ours would go neither keep this
    // user's program from starting nor let a second instance of it run.
    void otherUsersEntriesNeitherStopNorDouble_data() {
        QTest::addColumn<bool>("privateRuntime");  // else the temp folder's fallback
        QTest::addColumn<QString>("steps");        // op:path,...; $T temp folder, $N socket name
        QTest::addColumn<QString>("moveTo");       // an entry moved into the private folder by name
        QTest::addColumn<bool>("overRunning");     // moved there while our first instance runs
        QTest::newRow("socket in a folder that takes our name")
            << false << QStringLiteral("d:$T/vamu_Pelican-$U,s:$T/vamu_Pelican-$U/$N,s:$T/$N") << QString() << false;
        QTest::newRow("file that takes our folder's name") << false << QStringLiteral("f:$T/vamu_Pelican-$U") << QString() << false;
        QTest::newRow("listening socket at the socket path") << true << QStringLiteral("s:$T/x") << QStringLiteral("$N") << false;
        QTest::newRow("ordinary file at the socket path") << true << QStringLiteral("f:$T/x") << QStringLiteral("$N") << false;
        // Never talked to, and still no second instance.
        QTest::newRow("foreign socket over a running instance's")
            << true << QStringLiteral("s:$T/x") << QStringLiteral("$N") << true;
        QTest::newRow("ordinary file at the lock path") << true << QStringLiteral("f:$T/x") << QStringLiteral("$N.lock") << false;
    }
    void otherUsersEntriesNeitherStopNorDouble() {
        QFETCH(bool, privateRuntime);
        QFETCH(QString, steps);
        QFETCH(QString, moveTo);
        QFETCH(bool, overRunning);
        if (::geteuid() != 0) QSKIP("needs root to act as a second user id");
        QTemporaryDir runtime, temp;
        QVERIFY(::chmod(QFile::encodeName(temp.path()).constData(), 01777) == 0);
        setEnv("XDG_RUNTIME_DIR", privateRuntime ? QFile::encodeName(runtime.path()) : QByteArray());
        setEnv("TMPDIR", QFile::encodeName(temp.path()));
        const auto expand = [&](QString s) {
            return s.replace(QStringLiteral("$T"), temp.path())
                .replace(QStringLiteral("$U"), QString::number(::getuid()))
                .replace(QStringLiteral("$N"), SingleInstance::socketName(appTitle()));
        };
        QList<QPair<char, QString>> todo;
        for (const QString& step : steps.split(u','))
            todo.append({step.at(0).toLatin1(), expand(step.mid(2))});
        std::optional<SingleInstance> first;
        const auto startFirst = [&] {
            first.emplace(SingleInstance::socketPath(appTitle()));
            QVERIFY(!first->anotherIsRunning());
        };
        if (overRunning) startFirst();
        OtherUser other(todo);
        QVERIFY(other.done());
        if (!moveTo.isEmpty())
            QVERIFY(::rename(QFile::encodeName(todo.last().second).constData(),
                             QFile::encodeName(QDir(runtime.path()).filePath(expand(moveTo))).constData()) == 0);
        if (!overRunning) startFirst();
        QSignalSpy raised(&*first, &SingleInstance::raiseRequested);
        SingleInstance second(SingleInstance::socketPath(appTitle()));
        QVERIFY(second.anotherIsRunning());
        QCOMPARE(raised.wait(overRunning ? 300 : 2000), !overRunning);
    }

    // Two starts in one data folder that see different runtime folders meet
    // at the data folder's lock: the later one raises the first and ends.
    // Another user's locked file there stops no one.
    void dataFolderLockMeetsAcrossRuntimeFolders() {
        QTemporaryDir data, runtimeA, runtimeB;
        const QString name = SingleInstance::socketName(appTitle());
        SingleInstance first(QDir(runtimeA.path()).filePath(name), data.path());
        QVERIFY(!first.anotherIsRunning());
        QSignalSpy raised(&first, &SingleInstance::raiseRequested);
        SingleInstance second(QDir(runtimeB.path()).filePath(name), data.path());
        QVERIFY(second.anotherIsRunning());
        QVERIFY(raised.wait(2000));
        // The second start left no lock held: a start in another folder by
        // the second runtime folder runs.
        QTemporaryDir elsewhere;
        SingleInstance third(QDir(runtimeB.path()).filePath(name), elsewhere.path());
        QVERIFY(!third.anotherIsRunning());
    }

    // Another user's lock file in a shared data folder: the start ends at
    // once, saying whose file is in the way, and never runs unlocked.
    void otherUsersLockInTheDataFolderRefusesTheStart() {
        if (::geteuid() != 0) QSKIP("needs root to act as a second user id");
        QTemporaryDir data, runtime;
        QVERIFY(::chmod(QFile::encodeName(data.path()).constData(), 01777) == 0);
        const QString lock = QDir(data.path()).filePath(QLatin1String(SingleInstance::kDataFolderLockName));
        OtherUser other({{'l', lock}});
        QVERIFY(other.done());
        SingleInstance first(QDir(runtime.path()).filePath(SingleInstance::socketName(appTitle())), data.path());
        QElapsedTimer t;
        t.start();
        QVERIFY(first.anotherIsRunning());
        QVERIFY(t.elapsed() < 1000);
        QCOMPARE(first.refusal(), QStringLiteral("データフォルダのロックファイル ") + lock +
                                      QStringLiteral(" は別のユーザー nobody のものなので、このフォルダでは起動できません"));
        // The start left no lock of its own behind: a start elsewhere runs.
        QTemporaryDir elsewhere;
        SingleInstance second(QDir(runtime.path()).filePath(SingleInstance::socketName(appTitle())), elsewhere.path());
        QVERIFY(!second.anotherIsRunning());
        QVERIFY(second.refusal().isEmpty());
    }

    void laterStartAsksTheFirstToRaise() {
        QTemporaryDir dir;
        const QString name = dir.filePath(QStringLiteral("s"));
        SingleInstance first(name);
        QVERIFY(!first.anotherIsRunning());
        QSignalSpy raised(&first, &SingleInstance::raiseRequested);
        SingleInstance second(name);
        QVERIFY(second.anotherIsRunning());
        QVERIFY(raised.wait(2000));
    }

    void staleSocketOfACrashedRunIsTakenOver() {
        QTemporaryDir dir;
        const QString name = dir.filePath(QStringLiteral("s"));
        leaveStaleSocket(name);
        SingleInstance first(name);
        QVERIFY(!first.anotherIsRunning());
        QVERIFY(listeningOn(name));
        SingleInstance second(name);
        QVERIFY(second.anotherIsRunning());
    }

    // A second program ends at once: by the same runtime folder from another
    // data folder, or by another runtime folder in the same data folder.
    void secondProgramEndsAtOnceWithoutWindowOrFile_data() {
        QTest::addColumn<bool>("sameRuntime");
        QTest::newRow("same runtime folder, other data folder") << true;
        QTest::newRow("other runtime folder, same data folder") << false;
    }
    void secondProgramEndsAtOnceWithoutWindowOrFile() {
        QFETCH(bool, sameRuntime);
        QTemporaryDir firstDir, otherDir, sockets, otherSockets;
        const QString secondDir = sameRuntime ? otherDir.path() : firstDir.path();
        const QString name = QDir(sockets.path()).filePath(SingleInstance::socketName(appTitle()));

        // Both programs keep their instance socket in a private temp folder,
        // so neither a running copy of the user's nor another test interferes.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("TMPDIR"), sockets.path());
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), sockets.path());
        // Nor does the machine's own print scheduler, if one runs.
        env.insert(QStringLiteral("CUPS_SERVER"), QDir(sockets.path()).filePath(QStringLiteral("no-cups.sock")));
        QProcessEnvironment secondEnv = env;
        if (!sameRuntime) {
            secondEnv.insert(QStringLiteral("TMPDIR"), otherSockets.path());
            secondEnv.insert(QStringLiteral("XDG_RUNTIME_DIR"), otherSockets.path());
        }
        QProcess first;
        first.setProcessEnvironment(env);
        first.setWorkingDirectory(firstDir.path());
        first.start(QStringLiteral(VP_APP_BINARY), {});
        QVERIFY(first.waitForStarted());
        QElapsedTimer up;
        up.start();
        while (!listeningOn(name) && up.elapsed() < 15000) QTest::qWait(50);
        QVERIFY(listeningOn(name));

        const QStringList tempBefore = listing(sockets.path());
        const QStringList secondDirBefore = listing(secondDir);
        QProcess second;
        second.setProcessEnvironment(secondEnv);
        second.setWorkingDirectory(secondDir);
        QElapsedTimer t;
        t.start();
        second.start(QStringLiteral(VP_APP_BINARY), {});
        QVERIFY(second.waitForFinished(5000));
        const qint64 ms = t.elapsed();
        QVERIFY2(ms < 1000, qPrintable(QStringLiteral("second start took %1 ms").arg(ms)));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        if (sameRuntime) QVERIFY(isEmptyDir(secondDir));
        QCOMPARE(listing(secondDir), secondDirBefore);
        QCOMPARE(listing(sockets.path()), tempBefore);
        QCOMPARE(first.state(), QProcess::Running);

        first.terminate();
        if (!first.waitForFinished(5000)) {
            first.kill();
            first.waitForFinished(2000);
        }
    }
};

QTEST_MAIN(TestFormSingleInstance)
#include "single_instance_test.moc"
