#pragma once
// Helpers for the tests that run against the private CUPS schedulers
// started by cups_fixture.sh: where they are, how to point the printer
// layer at one, and how to read back the captured jobs (the PDF readers
// also serve the tests of the PDF surface itself).
#include <QString>
#include <QStringList>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

// Folder of the fixture (VP_E2E_CUPS_DIR); empty with a reason in `why`
// when the schedulers are not available.
QString fixtureDir(QString* why);

// Points libcups (and so the printer layer) at a scheduler socket or
// host:port and rebuilds WbPrinter() on the CUPS system.
void useScheduler(const QString& server);
QString mainSocket();
QString emptySocket();

struct CapturedJob {
    QString queue, title, options;
    QString pdfPath;
};

// Removes every captured job.
void clearCaptures();
// Waits until `count` jobs are captured (or the time-out passes).
std::vector<CapturedJob> waitForJobs(std::size_t count, std::chrono::milliseconds timeout);

// Adds (or deletes) a queue on the main scheduler as an administrator
// would while the program runs: the printer layer is not told.
bool addQueue(const QString& name, const QString& driver);
bool deleteQueue(const QString& name);

// A queue added to the main scheduler, printing into the capture folder,
// for one test and removed after it. Both times the printer layer is
// pointed at the scheduler afresh, as a program started then sees it.
class AddedQueue {
public:
    // `driver`: a PPD file, or a driver model such as
    // drv:///sample.drv/epson24.ppd.
    AddedQueue(const QString& name, const QString& driver);
    ~AddedQueue();
    AddedQueue(const AddedQueue&) = delete;
    AddedQueue& operator=(const AddedQueue&) = delete;
    bool added() const { return added_; }

private:
    QString name_;
    bool added_ = false;
};

// Runs a program and returns its standard output (nullopt if it failed).
std::optional<QString> run(const QString& program, const QStringList& args);

// The lines of `pdffonts` output whose font is not embedded (the "emb"
// column, fifth from the end).
QStringList notEmbedded(const QString& pdffontsOutput);

// A word of `pdftotext -bbox` output, in points from the page's top-left.
struct Word {
    int page = 0;
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    QString text;
};
std::vector<Word> pdfWords(const QString& pdfPath);

}  // namespace e2e
