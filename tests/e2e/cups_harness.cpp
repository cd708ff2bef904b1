#include "tests/e2e/cups_harness.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <algorithm>
#include <cstdlib>
#include <thread>

#include <cups/cups.h>

#include "print/Wbprn/WbPrinters.h"
#include "print/Wbprn/cups/cups_printer_system.h"

namespace e2e {

QString fixtureDir(QString* why) {
    const QString dir = qEnvironmentVariable("VP_E2E_CUPS_DIR");
    if (dir.isEmpty()) {
        if (why) *why = QStringLiteral("VP_E2E_CUPS_DIR is not set (run through ctest)");
        return {};
    }
    QFile unavailable(dir + QStringLiteral("/unavailable"));
    if (unavailable.open(QIODevice::ReadOnly)) {
        if (why) *why = QString::fromUtf8(unavailable.readAll()).trimmed();
        return {};
    }
    if (!QFile::exists(dir + QStringLiteral("/main/cups.sock"))) {
        if (why) *why = QStringLiteral("the CUPS fixture has not been started");
        return {};
    }
    return dir;
}

QString mainSocket() { return qEnvironmentVariable("VP_E2E_CUPS_DIR") + QStringLiteral("/main/cups.sock"); }
QString emptySocket() { return qEnvironmentVariable("VP_E2E_CUPS_DIR") + QStringLiteral("/empty/cups.sock"); }

void useScheduler(const QString& server) {
    qputenv("CUPS_SERVER", server.toUtf8());
    cupsSetServer(nullptr);  // forget the cached server: read CUPS_SERVER again
    WbPrinter().ResetSystem(wbprn::makeCupsPrinterSystem());
}

static QDir captureDir() { return QDir(qEnvironmentVariable("VP_E2E_CUPS_DIR") + QStringLiteral("/capture")); }

void clearCaptures() {
    QDir dir = captureDir();
    for (const QString& f : dir.entryList(QDir::Files)) dir.remove(f);
}

static QString readText(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

std::vector<CapturedJob> waitForJobs(std::size_t count, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    QDir dir = captureDir();
    for (;;) {
        // The backend renames *.queue last, so a listed job is complete.
        QStringList done = dir.entryList({QStringLiteral("job-*.queue")}, QDir::Files, QDir::Name);
        // In the order the scheduler took them: job-9 before job-10.
        auto number = [](const QString& f) { return f.mid(4).chopped(6).toInt(); };
        std::sort(done.begin(), done.end(), [&](const QString& a, const QString& b) { return number(a) < number(b); });
        if (static_cast<std::size_t>(done.size()) >= count || std::chrono::steady_clock::now() >= end) {
            std::vector<CapturedJob> jobs;
            for (const QString& q : done) {
                const QString stem = dir.filePath(q.chopped(6));
                jobs.push_back({readText(stem + QStringLiteral(".queue")), readText(stem + QStringLiteral(".title")),
                                readText(stem + QStringLiteral(".options")), stem + QStringLiteral(".pdf")});
            }
            return jobs;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

bool addQueue(const QString& name, const QString& driver) {
    const bool model = driver.contains(QStringLiteral(":/"));
    return run(QStringLiteral("lpadmin"),
               {QStringLiteral("-h"), mainSocket(), QStringLiteral("-p"), name, QStringLiteral("-E"), QStringLiteral("-v"),
                QStringLiteral("capture:") + captureDir().path(), model ? QStringLiteral("-m") : QStringLiteral("-P"),
                driver})
        .has_value();
}

bool deleteQueue(const QString& name) {
    return run(QStringLiteral("lpadmin"), {QStringLiteral("-h"), mainSocket(), QStringLiteral("-x"), name}).has_value();
}

AddedQueue::AddedQueue(const QString& name, const QString& driver) : name_(name) {
    added_ = addQueue(name, driver);
    useScheduler(mainSocket());
}

AddedQueue::~AddedQueue() {
    deleteQueue(name_);
    useScheduler(mainSocket());
}

std::optional<QString> run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(20000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) return std::nullopt;
    return QString::fromUtf8(p.readAllStandardOutput());
}

QStringList notEmbedded(const QString& pdffontsOutput) {
    QStringList lines;
    for (const QString& line : pdffontsOutput.split(QLatin1Char('\n')).mid(2)) {
        const QStringList cols = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (cols.size() >= 5 && cols[cols.size() - 5] != QLatin1String("yes")) lines << line;
    }
    return lines;
}

std::vector<Word> pdfWords(const QString& pdfPath) {
    std::vector<Word> words;
    const auto html = run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdfPath, QStringLiteral("-")});
    if (!html) return words;
    static const QRegularExpression pageRe(QStringLiteral("<page "));
    static const QRegularExpression wordRe(QStringLiteral(
        R"re(<word xMin="([-\d.]+)" yMin="([-\d.]+)" xMax="([-\d.]+)" yMax="([-\d.]+)">([^<]*)</word>)re"));
    int page = 0;
    for (const QString& line : html->split(QLatin1Char('\n'))) {
        if (line.contains(pageRe)) ++page;
        const auto m = wordRe.match(line);
        if (!m.hasMatch()) continue;
        QString text = m.captured(5);
        text.replace(QStringLiteral("&amp;"), QStringLiteral("&"))
            .replace(QStringLiteral("&lt;"), QStringLiteral("<"))
            .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
            .replace(QStringLiteral("&quot;"), QStringLiteral("\""));
        words.push_back({page, m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                         m.captured(4).toDouble(), text});
    }
    return words;
}

}  // namespace e2e
