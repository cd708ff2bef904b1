// Restarts with real processes: a run is ended by the exit command, the
// close box or a stop signal, and the next run in the same folder finds
// the same values.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>

#include "tests/support/file_bytes.h"

namespace {

// Kept fields as the driver prints them.
using Fields = QMap<QString, QString>;

QProcessEnvironment environmentFor(const QString& dir) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    // The single-instance socket lives in the temp folder: one per test.
    env.insert(QStringLiteral("TMPDIR"), dir);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir);
    // Independent of the machine's own print scheduler, if one runs.
    env.insert(QStringLiteral("CUPS_SERVER"), dir + QStringLiteral("/no-cups.sock"));
    return env;
}

void startIn(QProcess& p, const QString& dir, const QString& program, const QStringList& args) {
    p.setWorkingDirectory(dir);
    p.setProcessEnvironment(environmentFor(dir));
    p.setProcessChannelMode(QProcess::SeparateChannels);
    p.start(program, args);
}

// The lines printed up to "end" (or up to `until`), as fields.
Fields waitForFields(QProcess& p, const QByteArray& until = "\nend\n") {
    QElapsedTimer t;
    t.start();
    QByteArray out;
    while (!out.contains(until) && t.elapsed() < 30000) {
        if (!p.waitForReadyRead(500) && p.state() == QProcess::NotRunning) break;
        out += p.readAllStandardOutput();
    }
    Fields f;
    const QString text = QString::fromUtf8(out);
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq > 0) f.insert(line.left(eq), line.mid(eq + 1));
    }
    f.insert(QStringLiteral("#complete"), out.contains("\nend\n") ? QStringLiteral("yes") : QStringLiteral("no"));
    return f;
}

// True once the process catches the signal (its handler is installed).
bool catches(qint64 pid, int signal) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) return false;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("SigCgt:")) return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (signal - 1)) & 1u;
    return false;
}

bool waitUntilCatches(const QProcess& p, int signal) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 30000) {
        if (p.state() != QProcess::Running) return false;
        if (catches(p.processId(), signal)) return true;
        QTest::qWait(20);
    }
    return false;
}

}  // namespace

class TestSettingsRestart : public QObject {
    Q_OBJECT

    const QString driver = QStringLiteral(VP_DRIVER_BINARY);

    // Runs the driver to its end; returns the fields it found at start.
    Fields runDriver(const QString& dir, const QString& action, const QStringList& assignments = {},
                     int stopSignal = 0) {
        QProcess p;
        startIn(p, dir, driver, QStringList{action} + assignments);
        const bool modal = action == QLatin1String("modal") || action == QLatin1String("startbox");
        const Fields f = waitForFields(p, modal ? "modal\n" : "\nend\n");
        if (stopSignal) ::kill(static_cast<pid_t>(p.processId()), stopSignal);
        const bool finished = p.waitForFinished(30000);
        if (!finished) p.kill();
        Fields all = f;
        for (const QByteArray& line : p.readAllStandardOutput().split('\n'))
            if (line.startsWith("error=")) all.insert(QStringLiteral("error"), QString::fromUtf8(line.mid(6)));
        [&] {
            QVERIFY2(finished, "the run did not end");
            QCOMPARE(p.exitStatus(), QProcess::NormalExit);
            QCOMPARE(p.exitCode(), 0);
        }();
        return all;
    }

private slots:
    void everyEndingKeepsTheValues_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("stopSignal");
        QTest::newRow("F2 answered Yes") << QStringLiteral("F2") << 0;
        QTest::newRow("close box") << QStringLiteral("close") << 0;
        QTest::newRow("SIGTERM") << QStringLiteral("wait") << int(SIGTERM);
        QTest::newRow("SIGINT") << QStringLiteral("wait") << int(SIGINT);
        QTest::newRow("SIGHUP") << QStringLiteral("wait") << int(SIGHUP);
        QTest::newRow("SIGTERM during a modal box") << QStringLiteral("modal") << int(SIGTERM);
    }
    void everyEndingKeepsTheValues() {
        QFETCH(QString, action);
        QFETCH(int, stopSignal);
        QTemporaryDir dir;
        const Fields typed = {
            {QStringLiteral("Edit_Zip"), QStringLiteral("100-0001")},
            {QStringLiteral("Edit_Add1"), QStringLiteral("東京都千代田区丸の内")},
            {QStringLiteral("Edit_Custo1"), QStringLiteral("ペリカン 太郎")},
            {QStringLiteral("Edit_G2"), QStringLiteral("書籍")},
            {QStringLiteral("Edit_My"), QStringLiteral("ソ表能")},
            {QStringLiteral("Edit_MyZip"), QStringLiteral("105-0004")},
            {QStringLiteral("ComboBox_SEL"), QStringLiteral("1")},
            {QStringLiteral("ComboBox_FontSize"), QStringLiteral("0")},
            {QStringLiteral("PageControl_My"), QStringLiteral("4")},
            {QStringLiteral("Edit_Add3"), QStringLiteral("never kept")},
            {QStringLiteral("NumEdit_KOSUU"), QStringLiteral("7")},
        };
        QStringList args;
        for (auto it = typed.begin(); it != typed.end(); ++it) args << it.key() + QLatin1Char('=') + it.value();

        const Fields first = runDriver(dir.path(), action, args, stopSignal);
        QCOMPARE(first.value(QStringLiteral("#complete")), QStringLiteral("yes"));
        QCOMPARE(first.value(QStringLiteral("error")), QStringLiteral("File not found."));  // my0.txt
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("vamu_Pelican.ini"))));

        const Fields second = runDriver(dir.path(), QStringLiteral("close"));
        Fields expected = typed;
        expected[QStringLiteral("Edit_Add3")] = QString();
        expected[QStringLiteral("NumEdit_KOSUU")] = QStringLiteral("1");  // saved as KOSUU3
        for (auto it = expected.begin(); it != expected.end(); ++it)
            QCOMPARE(second.value(it.key()), it.value());
        QCOMPARE(second.value(QStringLiteral("Edit_tel")), QString());
    }

    // A stop signal while the first showing still waits in a modal box
    // (before the main event loop has started) ends the run and saves.
    void stopDuringABoxOfTheFirstShowing() {
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("vamu_Pelican.ini"));
        writeFile(ini, "[vm_Pelicanprn]\r\nE_ZIP=100-0001\r\n");
        runDriver(dir.path(), QStringLiteral("startbox"), {}, SIGTERM);
        const QByteArray after = readFile(ini);
        QVERIFY(after.startsWith("[vm_Pelicanprn]\r\nE_ZIP=100-0001\r\nAddr_Font=1\r\n"));
        QVERIFY(after.endsWith("Tab_My=0\r\n"));
    }

    // The program itself, stopped by SIGTERM while it may still show a
    // box about the printers: the settings are written, unknown lines stay,
    // and a second run writes the very same bytes.
    void realProgramStoppedBySigtermRewritesTheFile() {
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("vamu_Pelican.ini"));
        writeFile(ini, "[vm_pelicanprn]\ne_cus = \"Sato\"\nop023myzip=100-0001\nKOSUU=5\n; note\n");
        writeFile(dir.filePath(QStringLiteral("my0.txt")), "105-0004\r\nTokyo\r\nMinato\r\nYamada\r\n03\r\n");
        const QByteArray expected =
            "[vm_pelicanprn]\nE_CUS=Sato\nOP023MyZip=105-0004\nKOSUU=5\n"
            "Addr_Font=1\r\nE_ZIP=\r\nE_AD1=\r\nE_AD2=\r\nE_TEL=\r\nE_G1=\r\nE_G2=\r\nE_G3=\r\nKOSUU3=5\r\n"
            "OP023My=Yamada\r\nOP023MyADD1=Tokyo\r\nOP023MyADD2=Minato\r\nOP023MyTEL=03\r\n"
            "ComboBox_SEL=0\r\nTab_My=0\r\n; note\n";
        for (int run = 1; run <= 2; ++run) {
            QProcess p;
            startIn(p, dir.path(), QStringLiteral(VP_APP_BINARY), {});
            const bool ready = p.waitForStarted(30000) && waitUntilCatches(p, SIGTERM);
            if (!ready) {
                p.kill();
                p.waitForFinished();
            }
            QVERIFY2(ready, "the program never got ready for SIGTERM");
            ::kill(static_cast<pid_t>(p.processId()), SIGTERM);
            const bool finished = p.waitForFinished(30000);
            if (!finished) p.kill();
            QVERIFY2(finished, "SIGTERM did not end the program");
            QCOMPARE(p.exitStatus(), QProcess::NormalExit);
            QCOMPARE(readFile(ini), expected);
            QCOMPARE(QDir(dir.path()).entryList({QStringLiteral(".vamu*")}, QDir::Files | QDir::Hidden).size(), 0);
        }
    }
};

QTEST_GUILESS_MAIN(TestSettingsRestart)
#include "settings_restart_test.moc"
