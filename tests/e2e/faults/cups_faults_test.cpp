// The main window against a private CUPS scheduler that fails under it:
// the scheduler killed in the middle of a session, and the registered
// printer's queue deleted after registration.
#include <gtest/gtest.h>
#include <signal.h>

#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QThread>
#include <chrono>
#include <iostream>

#include "print/Wbprn/WbPrinters.h"
#include "tests/e2e/cups_program.h"
#include "tests/e2e/cups_test.h"

using namespace std::chrono_literals;

namespace {

QString fixtureBase() { return qEnvironmentVariable("VP_E2E_CUPS_DIR"); }

// Runs the scheduler fixture script (start gives a fresh scheduler with
// the queues Wb203, Wb300Reject (hidden) and Wb360).
bool fixture(const char* command) {
    QProcess p;
    p.start(QStringLiteral("sh"), {QStringLiteral(VP_CUPS_FIXTURE), QString::fromLatin1(command), fixtureBase()});
    return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// Kills a scheduler of the fixture ("main" or "empty") outright and waits
// until it is gone.
void killScheduler(const char* which = "main") {
    QFile pidFile(fixtureBase() + QStringLiteral("/%1/cupsd.pid").arg(QString::fromLatin1(which)));
    if (!pidFile.open(QIODevice::ReadOnly)) return;
    const qint64 pid = pidFile.readAll().trimmed().toLongLong();
    ASSERT_GT(pid, 0);
    if (::kill(static_cast<pid_t>(pid), SIGKILL) != 0) return;  // already gone
    // Gone or a zombie: either way its socket is closed.
    for (int i = 0; i < 100; ++i) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly) || stat.readAll().contains(") Z ")) return;
        QThread::msleep(20);
    }
    FAIL() << "the scheduler did not end";
}

using e2e::Program;
using e2e::sj;

// Clears earlier error boxes and jobs, answers F11 with Yes and expects no
// error box; returns the jobs the printer received.
std::vector<e2e::CapturedJob> printAgain(Program& p) {
    e2e::clearCaptures();
    p.boxes.errors.clear();
    p.printYes();
    EXPECT_TRUE(p.boxes.errors.isEmpty()) << p.boxes.errors.join(u'|').toStdString();
    return e2e::waitForJobs(1, 10s);
}

class CupsFaults : public e2e::MainSchedulerTest {
protected:
    void SetUp() override {
        if (fixtureBase().isEmpty()) GTEST_SKIP() << "VP_E2E_CUPS_DIR is not set (run through ctest)";
        ASSERT_TRUE(fixture("start"));
        MainSchedulerTest::SetUp();
    }
    // Each test starts its own schedulers; ending these at once keeps the
    // next start from waiting for an orderly shutdown.
    void TearDown() override {
        killScheduler("main");
        killScheduler("empty");
    }
};

// Schedulers left by the last test are stopped when the program ends.
class StopSchedulers : public ::testing::Environment {
public:
    void TearDown() override {
        if (!fixtureBase().isEmpty()) fixture("stop");
    }
};
const auto* const kStop = ::testing::AddGlobalTestEnvironment(new StopSchedulers);

}  // namespace

TEST_F(CupsFaults, SchedulerKilledMidSession) {
    Program p;
    ASSERT_EQ(printAgain(p).size(), 1u);

    killScheduler();
    if (HasFatalFailure()) return;
    const qint64 failedMs = p.printYes();
    std::cout << "[ figures  ] print with the scheduler gone: error after " << failedMs << " ms: "
              << p.boxes.errors.join(u'|').toStdString() << "\n";
    EXPECT_EQ(p.boxes.errors, QStringList{QStringLiteral("The print service cannot be reached.")});
    EXPECT_LT(failedMs, 5000) << "no hang";
    EXPECT_EQ(p.boxes.questions.size(), 2);

    // The window goes on: editing works, and once the scheduler is back the
    // next print is a job again.
    p.form->Edit_G1->setText(QStringLiteral("衣類"));
    EXPECT_EQ(p.form->Edit_G1->text(), QStringLiteral("衣類"));
    EXPECT_TRUE(p.form->isVisible());
    ASSERT_TRUE(fixture("start"));
    const auto jobs = printAgain(p);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].queue, QStringLiteral("Wb203"));
}

// Sends a signal to the main scheduler.
void signalScheduler(int signal) {
    QFile pidFile(fixtureBase() + QStringLiteral("/main/cupsd.pid"));
    ASSERT_TRUE(pidFile.open(QIODevice::ReadOnly));
    ASSERT_EQ(::kill(static_cast<pid_t>(pidFile.readAll().trimmed().toLongLong()), signal), 0);
}

// A scheduler that still accepts connections but never answers (stopped
// by SIGSTOP): the print gives up with an error after the time-outs
// instead of hanging the window, and works again once it answers.
TEST_F(CupsFaults, SchedulerFrozenMidSession) {
    Program p;
    ASSERT_EQ(printAgain(p).size(), 1u);

    signalScheduler(SIGSTOP);
    if (HasFatalFailure()) return;
    const qint64 failedMs = p.printYes();
    signalScheduler(SIGCONT);
    std::cout << "[ figures  ] print with the scheduler frozen: error after " << failedMs << " ms: "
              << p.boxes.errors.join(u'|').toStdString() << "\n";
    EXPECT_EQ(p.boxes.errors, QStringList{QStringLiteral("The print service did not answer.")});
    EXPECT_LT(failedMs, 8000) << "gives up after the time-out";

    EXPECT_EQ(printAgain(p).size(), 1u);
}

// A scheduler frozen before the start: the window still comes up within a
// few time-outs, and prints once the scheduler answers again (the watch
// notices the printers).
TEST_F(CupsFaults, StartWithFrozenScheduler) {
    signalScheduler(SIGSTOP);
    if (HasFatalFailure()) return;
    QElapsedTimer t;
    t.start();
    e2e::useScheduler(e2e::mainSocket());  // the printer layer as the program starts it
    Program p;
    const qint64 startMs = t.elapsed();
    signalScheduler(SIGCONT);
    std::cout << "[ figures  ] start with the scheduler frozen: window up after " << startMs << " ms\n";
    EXPECT_TRUE(p.form->isVisible());
    EXPECT_LT(startMs, 15000);

    WbPrinter().WindowHook();  // the watch's next tick
    EXPECT_EQ(printAgain(p).size(), 1u);
}

// Both feed modes registered on usable printer 1 (Wb360).
QByteArray registeredOnWb360() {
    return sj("[手差し]\r\nPrnName=Wb360\r\nPrnNoIndex=1\r\nvamPrn_Top=0\r\nvamPrn_Left=0\r\n"
              "[連続(４インチ)]\r\nPrnName=Wb360\r\nPrnNoIndex=1\r\nvamPrn_Top=0\r\nvamPrn_Left=0\r\n");
}

bool deleteQueue(const char* name) {
    QProcess p;
    p.start(QStringLiteral("lpadmin"), {QStringLiteral("-h"), e2e::mainSocket(), QStringLiteral("-x"), QString::fromLatin1(name)});
    return p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// With Wb360 gone: the box and the prompt line say so, and F11 prints
// nowhere (not on Wb203, which is now usable printer 0 and current).
void expectNothingPrinted(Program& p) {
    const QString gone = QStringLiteral("登録したプリンタ Wb360 が見つかりません");
    EXPECT_EQ(p.form->ComboBox1->currentText(), gone);
    EXPECT_EQ(p.form->Panel_HelpMess->text(), gone);
    e2e::clearCaptures();
    p.boxes.errors.clear();
    p.printYes();
    EXPECT_EQ(p.boxes.errors, QStringList{gone + u'.'});
    EXPECT_TRUE(e2e::waitForJobs(1, 1s).empty());
}

TEST_F(CupsFaults, RegisteredQueueDeletedDuringSession) {
    Program p(registeredOnWb360());
    ASSERT_EQ(p.form->ComboBox1->currentText(), QStringLiteral("Wb360"));

    ASSERT_TRUE(deleteQueue("Wb360"));
    // What the printer-set watch does on its next tick.
    WbPrinter().WindowHook();
    p.selectFeed(1);

    EXPECT_EQ(WbPrinter().PrinterNames(), QStringList{QStringLiteral("Wb203")});
    expectNothingPrinted(p);
}

TEST_F(CupsFaults, RegisteredQueueDeletedBeforeStart) {
    ASSERT_TRUE(deleteQueue("Wb360"));
    e2e::useScheduler(e2e::mainSocket());  // a new run sees the queues as they are now
    Program p(registeredOnWb360());
    expectNothingPrinted(p);
}

// Every usable queue deleted: the next print gives the no-printer message
// and the window stays.
TEST_F(CupsFaults, EveryUsableQueueDeletedDuringSession) {
    Program p;
    ASSERT_TRUE(deleteQueue("Wb203"));
    ASSERT_TRUE(deleteQueue("Wb360"));
    WbPrinter().WindowHook();
    p.printYes();
    EXPECT_EQ(p.boxes.errors, QStringList{QStringLiteral("TWbPrinter.CheckNoPrinter: No Printer.")});
    EXPECT_TRUE(p.form->isVisible());
}
