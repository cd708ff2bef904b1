// One keystroke into the history window's search over a large history in
// the station's own file (no server): how long the window's event loop is
// held. A 1 ms timer ticks all along; the longest gap between its ticks,
// from the key until the key's rows show (and at least 300 ms), is the
// longest time the window could not answer. The window runs offscreen.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <unistd.h>
#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <iterator>
#include <random>
#include <vector>

#include "app/history/history_window.h"
#include "bench/app/offscreen_app.h"
#include "bench/history/sample_waybill.h"
#include "history/history_store.h"
#include "widgets/history_book.h"

namespace {

// The keys typed in turn; an empty one clears the search (all selected, then Backspace).
const char* const kKeys[] = {"1", "0", "0", "-", "0", "0", "0", "1", "", "山", "田", ""};

// The station's file with bench::historyRows() rows, written in one
// transaction; or a copy of the file VP_BENCH_STATION_FILE names (a
// million rows take many minutes to write on a small machine; set
// VP_BENCH_HISTORY_ROWS to its count of rows for the figures).
bool fillHistory(const QString& folder) {
    const QString file = QDir(folder).filePath(QString::fromLatin1(store::kHistoryFileName));
    if (const char* kept = std::getenv("VP_BENCH_STATION_FILE")) {
        const bool copied = QFile::copy(QString::fromLocal8Bit(kept), file);
        ::sync();  // the copy's writing-back would take a core from the measured keys
        return copied;
    }
    std::vector<store::WaybillRecord> rows;
    rows.reserve(static_cast<std::size_t>(bench::historyRows()));
    std::mt19937 random(1);
    for (int i = 0; i < bench::historyRows(); ++i) rows.push_back(bench::sampleRow(random));
    try {
        store::HistoryStore(file.toStdString()).record(rows);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

// The window thread's CPU time so far, in nanoseconds.
qint64 threadCpuNs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<qint64>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

// The longest gap between the ticks of a 1 ms timer since the last reset(),
// in wall time and in the CPU time the window's thread spent in a gap (on
// a busy machine a gap also holds the time the thread waited for a core).
class LoopWatch {
public:
    LoopWatch() {
        tick_.setTimerType(Qt::PreciseTimer);
        tick_.setInterval(1);
        QObject::connect(&tick_, &QTimer::timeout, [this] {
            worst_ = std::max(worst_, since_.nsecsElapsed());
            const qint64 cpu = threadCpuNs();
            worstCpu_ = std::max(worstCpu_, cpu - cpu_);
            cpu_ = cpu;
            since_.restart();
        });
        since_.start();
        tick_.start();
    }
    void reset() {
        worst_ = worstCpu_ = 0;
        cpu_ = threadCpuNs();
        since_.restart();
    }
    double worstMs() const { return static_cast<double>(worst_) / 1e6; }
    double worstCpuMs() const { return static_cast<double>(worstCpu_) / 1e6; }

private:
    QTimer tick_;
    QElapsedTimer since_;
    qint64 worst_ = 0;
    qint64 cpu_ = 0;
    qint64 worstCpu_ = 0;
};

// Runs the event loop for `ms` milliseconds (QTest::qWait() sleeps between
// its rounds, which would show as gaps of its own).
void runLoop(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

bool searching(const HistoryWindow& w) { return w.Label_Count->text() == QStringLiteral("検索しています…"); }

void typeIntoHistorySearch(benchmark::State& state) {
    const bench::OffscreenApp app("bench_history_keystroke");
    QTemporaryDir dir;
    if (!fillHistory(dir.path())) {
        state.SkipWithError("history not written");
        return;
    }
    HistoryBook book(nullptr);
    book.setFolder(dir.path());
    HistoryWindow window(book, nullptr);
    window.show();
    window.Edit_Search->setFocus();
    window.reload();
    for (int i = 0; i < 600 && searching(window); ++i) runLoop(50);

    LoopWatch watch;
    double worstHeld = 0;
    double worstBusy = 0;
    double worstKey = 0;
    double worstShown = 0;
    std::size_t step = 0;
    for (auto _ : state) {
        const QString key = QString::fromUtf8(kKeys[step++ % std::size(kKeys)]);
        watch.reset();
        QElapsedTimer shown;
        shown.start();
        if (key.isEmpty()) {
            window.Edit_Search->selectAll();
            QTest::keyClick(window.Edit_Search, Qt::Key_Backspace);
        } else {
            QTest::sendKeyEvent(QTest::Click, window.Edit_Search, Qt::Key_unknown, key, Qt::NoModifier);
        }
        worstKey = std::max(worstKey, static_cast<double>(shown.nsecsElapsed()) / 1e6);
        while (searching(window) && shown.elapsed() < 30000) runLoop(1);
        worstShown = std::max(worstShown, static_cast<double>(shown.nsecsElapsed()) / 1e6);
        runLoop(300);
        worstHeld = std::max(worstHeld, watch.worstMs());
        worstBusy = std::max(worstBusy, watch.worstCpuMs());
    }
    state.counters["max_held_ms"] = worstHeld;
    state.counters["max_busy_ms"] = worstBusy;
    state.counters["key_ms"] = worstKey;
    state.counters["shown_ms"] = worstShown;
    state.counters["rows"] = bench::historyRows();
}
BENCHMARK(typeIntoHistorySearch)->Unit(benchmark::kMillisecond)->Iterations(24);

}  // namespace
