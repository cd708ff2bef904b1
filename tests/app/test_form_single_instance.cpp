// One instance per user session: in process, then with two real programs.
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "services/app_title.h"
#include "app/single_instance.h"

namespace {
QString uniqueName() {
    return QStringLiteral("vp-test-%1-%2").arg(QCoreApplication::applicationPid()).arg(QRandomGenerator::global()->generate());
}

// Leaves a socket file nobody listens on, as a crashed run does.
void leaveStaleSocket(const QString& name) {
    const QByteArray path = QFile::encodeName(QDir::temp().filePath(name));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    ::strncpy(addr.sun_path, path.constData(), sizeof(addr.sun_path) - 1);
    QVERIFY(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) == 0);
    ::close(fd);
    QVERIFY(QFile::exists(QFile::decodeName(path)));
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
private slots:
    void socketNameIsPerUserAndAscii() {
        const QString name = SingleInstance::socketName(appTitle());
        QVERIFY(name.endsWith(QStringLiteral("-%1").arg(::getuid())));
        QVERIFY(name.contains(QStringLiteral("vamu_Pelican")));
        for (QChar c : name) QVERIFY(c.unicode() < 128 && c != u'/');
    }

    void laterStartAsksTheFirstToRaise() {
        const QString name = uniqueName();
        SingleInstance first(name);
        QVERIFY(!first.anotherIsRunning());
        QSignalSpy raised(&first, &SingleInstance::raiseRequested);
        SingleInstance second(name);
        QVERIFY(second.anotherIsRunning());
        QVERIFY(raised.wait(2000));
    }

    void staleSocketOfACrashedRunIsTakenOver() {
        const QString name = uniqueName();
        leaveStaleSocket(name);
        SingleInstance first(name);
        QVERIFY(!first.anotherIsRunning());
        QVERIFY(listeningOn(name));
        SingleInstance second(name);
        QVERIFY(second.anotherIsRunning());
    }

    void secondProgramEndsAtOnceWithoutWindowOrFile() {
        QTemporaryDir firstDir, secondDir, sockets;
        const QString name = QDir(sockets.path()).filePath(SingleInstance::socketName(appTitle()));

        // Both programs keep their instance socket in a private temp folder,
        // so neither a running copy of the user's nor another test interferes.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("TMPDIR"), sockets.path());
        // Nor does the machine's own print scheduler, if one runs.
        env.insert(QStringLiteral("CUPS_SERVER"), QDir(sockets.path()).filePath(QStringLiteral("no-cups.sock")));
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
        QProcess second;
        second.setProcessEnvironment(env);
        second.setWorkingDirectory(secondDir.path());
        QElapsedTimer t;
        t.start();
        second.start(QStringLiteral(VP_APP_BINARY), {});
        QVERIFY(second.waitForFinished(5000));
        const qint64 ms = t.elapsed();
        QVERIFY2(ms < 1000, qPrintable(QStringLiteral("second start took %1 ms").arg(ms)));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QVERIFY(isEmptyDir(secondDir.path()));
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
#include "test_form_single_instance.moc"
