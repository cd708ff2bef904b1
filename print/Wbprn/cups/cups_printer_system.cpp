#include "print/Wbprn/cups/cups_printer_system.h"

#include <QDir>
#include <QFile>
#include <QSizeF>
#include <cerrno>
#include <cstring>
#include <QTemporaryFile>
#include <algorithm>
#include <future>
#include <map>
#include <mutex>
#include <optional>

#include "print/Wbprn/cups/cups_connection.h"
#include "print/Wbprn/cups/queue_capabilities.h"
#include "print/Wbprn/pdf_canvas.h"

namespace wbprn {

namespace {

struct Queue {
    QString name;
    bool accepting = true;
    QString deviceUri;
};

// The scheduler's local queues sorted by name (a stable order), or an empty
// list when the scheduler cannot be reached in time.
std::vector<Queue> fetchQueues(QString* defaultName) {
    std::vector<Queue> queues;
    CupsConnection http(kCupsTimeoutMs);
    if (!http) return queues;
    ipp_t* request = ippNewRequest(IPP_OP_CUPS_GET_PRINTERS);
    static const char* const wanted[] = {"printer-name", "printer-is-accepting-jobs", "printer-type", "device-uri"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 4, nullptr, wanted);
    ipp_t* response = cupsDoRequest(http.get(), request, "/");
    if (response) {
        Queue q;
        bool remote = false;
        auto flush = [&] {
            if (!q.name.isEmpty() && !remote) queues.push_back(q);
            q = Queue{};
            remote = false;
        };
        for (ipp_attribute_t* a = ippFirstAttribute(response); a; a = ippNextAttribute(response)) {
            const char* n = ippGetName(a);
            if (!n) {  // group separator: one printer ends here
                flush();
                continue;
            }
            if (std::strcmp(n, "printer-name") == 0) q.name = QString::fromUtf8(ippGetString(a, 0, nullptr));
            else if (std::strcmp(n, "printer-is-accepting-jobs") == 0) q.accepting = ippGetBoolean(a, 0) != 0;
            else if (std::strcmp(n, "device-uri") == 0) q.deviceUri = QString::fromUtf8(ippGetString(a, 0, nullptr));
            else if (std::strcmp(n, "printer-type") == 0)
                remote = (ippGetInteger(a, 0) & (CUPS_PRINTER_REMOTE | CUPS_PRINTER_DISCOVERED)) != 0;
        }
        flush();
        ippDelete(response);
    }
    std::stable_sort(queues.begin(), queues.end(), [](const Queue& a, const Queue& b) { return a.name < b.name; });
    if (defaultName) {
        defaultName->clear();
        ipp_t* req = ippNewRequest(IPP_OP_CUPS_GET_DEFAULT);
        if (ipp_t* resp = cupsDoRequest(http.get(), req, "/")) {
            if (ipp_attribute_t* a = ippFindAttribute(resp, "printer-name", IPP_TAG_NAME))
                *defaultName = QString::fromUtf8(ippGetString(a, 0, nullptr));
            ippDelete(resp);
        }
    }
    return queues;
}

// The queue list asked for ahead by prefetchQueues(), for the two askings
// of a start: the first list of printers and the first printer object.
struct QueueList {
    std::vector<Queue> queues;
    QString defaultName;
};
struct Prefetch {
    std::mutex mutex;
    std::shared_future<QueueList> list;
    bool listTaken = false, objectTaken = false;
};
Prefetch& prefetch() {
    static Prefetch p;
    return p;
}

// The prefetched list if one is there and this asking (`taken`) has not
// had it yet; waits for it while it is still on its way.
std::optional<QueueList> takePrefetched(bool Prefetch::*taken) {
    Prefetch& p = prefetch();
    std::shared_future<QueueList> list;
    {
        const std::lock_guard lock(p.mutex);
        if (!p.list.valid() || p.*taken) return std::nullopt;
        p.*taken = true;
        list = p.list;
    }
    return list.get();
}

class CupsPrinterSystem final : public PrinterSystem {
public:
    std::vector<PrinterRecord> enumPrinters() override {
        std::vector<PrinterRecord> out;
        const std::optional<QueueList> ahead = takePrefetched(&Prefetch::listTaken);
        for (const Queue& q : ahead ? ahead->queues : fetchQueues(nullptr))
            out.push_back({q.name, q.accepting ? 0u : kAttributeHidden});
        return out;
    }

    QStringList enumPorts() override {
        QStringList ports;
        for (const Queue& q : fetchQueues(nullptr))
            if (!q.deviceUri.isEmpty()) ports << q.deviceUri;
        return ports;
    }

    int currentIndex() override {
        ensureObject();
        return current_;
    }

    void setCurrentIndex(int systemIndex) override {
        ensureObject();
        int target = systemIndex;
        if (systemIndex == -1) target = defaultIndex_;
        if (target < 0 || target >= static_cast<int>(queues_.size())) return;
        current_ = target;
        // The object creates a settings block for its printer when it has none.
        if (!settings_.count(queues_[static_cast<std::size_t>(current_)].name)) resetSettings();
    }

    QString currentDeviceName() override {
        ensureObject();
        return current_ < 0 ? QString() : queues_[static_cast<std::size_t>(current_)].name;
    }

    std::optional<DeviceSettings> currentSettings() override {
        ensureObject();
        if (current_ < 0) return std::nullopt;
        auto it = settings_.find(queues_[static_cast<std::size_t>(current_)].name);
        if (it == settings_.end()) return std::nullopt;
        return it->second;
    }

    void resetSettings() override {
        ensureObject();
        if (current_ < 0) return;
        const QueueCapabilities& caps = capabilities(current_);
        DeviceSettings s;
        s.fields = kFieldOrientation;
        if (!caps.papers.empty()) s.fields |= kFieldPaperSize;
        if (!caps.bins.empty()) s.fields |= kFieldDefaultSource;
        // CUPS prints unscaled here (print-scaling=none): no driver scale.
        s.scale = 100;
        s.paperSize = static_cast<std::int16_t>(caps.defaultPaper.value_or(caps.papers.empty() ? 0 : caps.papers[0].code));
        s.defaultSource = static_cast<std::int16_t>(caps.defaultBin.value_or(caps.bins.empty() ? 0 : caps.bins[0].code));
        settings_[queues_[static_cast<std::size_t>(current_)].name] = s;
    }

    void applySettings(const DeviceSettings& s) override {
        ensureObject();
        if (current_ >= 0) settings_[queues_[static_cast<std::size_t>(current_)].name] = s;
    }

    void discard() override {
        built_ = false;
        caps_.clear();
    }

    CapabilityList paperSizes(int systemIndex) override {
        const QueueCapabilities& caps = capabilities(systemIndex);
        CapabilityList list{static_cast<int>(caps.papers.size()), {}, {}};
        for (const auto& p : caps.papers) {
            list.codes.push_back(p.code);
            list.names.push_back(p.name.toStdString());
        }
        return list;
    }

    CapabilityList bins(int systemIndex) override {
        const QueueCapabilities& caps = capabilities(systemIndex);
        CapabilityList list{static_cast<int>(caps.bins.size()), {}, {}};
        for (const auto& b : caps.bins) {
            list.codes.push_back(b.code);
            list.names.push_back(b.name.toStdString());
        }
        return list;
    }

    Resolution resolution() override {
        ensureObject();
        if (current_ < 0) return {kFallbackDpi, kFallbackDpi};
        const QueueCapabilities& caps = capabilities(current_);
        if (caps.dpiX <= 0) return {kFallbackDpi, kFallbackDpi};
        return {caps.dpiX, caps.dpiY};
    }

    void beginDoc(const QString& title) override {
        abortDoc();
        ensureObject();
        if (current_ < 0) throw ESystemError("No printer is selected");
        job_ = std::make_unique<Job>();
        job_->queue = queues_[static_cast<std::size_t>(current_)].name;
        job_->title = title;
        const DeviceSettings s = currentSettings().value_or(DeviceSettings{});
        const QueueCapabilities& caps = capabilities(current_);
        PdfPageSetup setup;
        setup.dpi = resolution().y;
        setup.dpiX = resolution().x;
        if (const QueuePaper* p = currentPaper()) {
            job_->media = p->keyword;
            const PageGeometry page = pageGeometry();
            setup.pageSize = QPageSize(page.paper, QPageSize::Point, QString(), QPageSize::ExactMatch);
            setup.printableOrigin = page.printable.topLeft();
        }
        for (const auto& b : caps.bins)
            if (b.code == static_cast<std::uint16_t>(s.defaultSource)) job_->inputSlot = b.keyword;
        job_->landscape = (s.fields & kFieldOrientation) && s.orientation == 2;
        job_->file.setFileTemplate(QDir::tempPath() + QStringLiteral("/vamu_pelican_XXXXXX.pdf"));
        if (!job_->file.open()) {
            job_.reset();
            throw ESystemError("Cannot create the print document");
        }
        // The canvas writes through this open file, so its checks (every
        // write, flush) cover the very bytes that are submitted.
        job_->canvas = std::make_unique<PdfCanvas>(job_->file, setup, title);
    }

    PageGeometry pageGeometry() override {
        PageGeometry page;
        const QueuePaper* p = currentPaper();
        if (!p || p->widthPt <= 0 || p->lengthPt <= 0) return page;
        page.paper = QSizeF(p->widthPt, p->lengthPt);
        const double right = p->rightPt > p->leftPt ? p->rightPt : p->widthPt;
        const double bottom = p->bottomPt > p->topPt ? p->bottomPt : p->lengthPt;
        page.printable = QRectF(QPointF(p->leftPt, p->topPt), QPointF(right, bottom));
        return page;
    }

    print::Surface& canvas() override {
        if (job_) return *job_->canvas;
        return idle_;
    }

    void newPage() override {
        if (job_) job_->canvas->newPage();
    }

    int endDoc() override {
        if (!job_) return 0;
        std::unique_ptr<Job> job = std::move(job_);
        // A document that was not written whole never reaches the printer.
        if (!job->canvas->finish())
            throw ESystemError("Cannot write the print document: " + job->canvas->errorString().toStdString());
        return submit(*job);
    }

    void abortDoc() override {
        if (!job_) return;
        job_->canvas->finish();
        job_.reset();  // the temporary file goes with it; nothing is submitted
    }

private:
    struct Job {
        QString queue, title;
        std::string media, inputSlot;
        bool landscape = false;
        QTemporaryFile file;
        std::unique_ptr<PdfCanvas> canvas;
    };

    // Drawing outside a document goes nowhere, as on an idle device.
    class IdleSurface final : public print::Surface {
    public:
        void setFontName(const std::string&) override {}
        void setFontSize(int) override {}
        void setFontColor(print::Color) override {}
        void setBrushColor(print::Color) override {}
        void textOut(int, int, const std::string&) override {}
    };

    // The current printer's paper in its current settings, if it is known.
    const QueuePaper* currentPaper() {
        ensureObject();
        if (current_ < 0) return nullptr;
        const DeviceSettings s = currentSettings().value_or(DeviceSettings{});
        for (const auto& p : capabilities(current_).papers)
            if (p.code == static_cast<std::uint16_t>(s.paperSize)) return &p;
        return nullptr;
    }

    void ensureObject() {
        if (built_) return;
        built_ = true;
        QString defaultName;
        if (std::optional<QueueList> ahead = takePrefetched(&Prefetch::objectTaken)) {
            queues_ = std::move(ahead->queues);
            defaultName = ahead->defaultName;
        } else {
            queues_ = fetchQueues(&defaultName);
        }
        settings_.clear();
        defaultIndex_ = -1;
        for (std::size_t i = 0; i < queues_.size(); ++i)
            if (queues_[i].name == defaultName) defaultIndex_ = static_cast<int>(i);
        // Without a usable default the first queue that accepts jobs is current.
        current_ = defaultIndex_;
        if (current_ < 0 || !queues_[static_cast<std::size_t>(current_)].accepting) {
            current_ = -1;
            for (std::size_t i = 0; i < queues_.size() && current_ < 0; ++i)
                if (queues_[i].accepting) current_ = static_cast<int>(i);
        }
        if (current_ < 0 && !queues_.empty()) current_ = 0;
    }

    const QueueCapabilities& capabilities(int systemIndex) {
        ensureObject();
        static const QueueCapabilities none;
        if (systemIndex < 0 || systemIndex >= static_cast<int>(queues_.size())) return none;
        const QString& name = queues_[static_cast<std::size_t>(systemIndex)].name;
        auto it = caps_.find(name);
        if (it != caps_.end()) return it->second;
        CupsConnection http(kCupsTimeoutMs);
        QueueCapabilities caps = http ? loadQueueCapabilities(http.get(), name) : QueueCapabilities{};
        return caps_.emplace(name, std::move(caps)).first->second;
    }

    // Create-Job on this connection, with its time-out. cupsCreateJob would
    // first look the queue up over libcups' shared connection, which waits
    // a minute per answer, so a scheduler that stops answering would freeze
    // the window for minutes. Returns the job id, 0 on failure.
    static int createJob(http_t* http, const QByteArray& queue, const QByteArray& title, int n,
                         cups_option_t* options) {
        char uri[HTTP_MAX_URI];
        const QByteArray resource = "/printers/" + queue;
        httpAssembleURI(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(),
                        resource.constData());
        ipp_t* request = ippNewRequest(IPP_OP_CREATE_JOB);
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr, title.constData());
        cupsEncodeOptions2(request, n, options, IPP_TAG_OPERATION);
        cupsEncodeOptions2(request, n, options, IPP_TAG_JOB);
        ipp_t* response = cupsDoRequest(http, request, resource.constData());
        int id = 0;
        if (ipp_attribute_t* a = response ? ippFindAttribute(response, "job-id", IPP_TAG_INTEGER) : nullptr)
            id = ippGetInteger(a, 0);
        ippDelete(response);
        return id;
    }

    // Why the last request failed. A request that got no answer at all
    // leaves only "Success" in libcups' text, so say what happened.
    static std::string failureText(http_t* http) {
        if (httpError(http) == ETIMEDOUT) return "The print service did not answer";
        return cupsLastErrorString();
    }

    // Returns the job id the scheduler gave.
    static int submit(Job& job) {
        CupsConnection http(kCupsTimeoutMs);
        if (!http) throw ESystemError("The print service cannot be reached");
        cups_option_t* options = nullptr;
        int n = 0;
        if (!job.media.empty()) n = cupsAddOption("media", job.media.c_str(), n, &options);
        if (!job.inputSlot.empty()) n = cupsAddOption("InputSlot", job.inputSlot.c_str(), n, &options);
        // Positions must reach the paper unscaled.
        n = cupsAddOption("print-scaling", "none", n, &options);
        n = cupsAddOption("fit-to-page", "false", n, &options);
        if (job.landscape) n = cupsAddOption("orientation-requested", "4", n, &options);
        const QByteArray queue = job.queue.toUtf8();
        const QByteArray title = job.title.toUtf8();
        const int id = createJob(http.get(), queue, title, n, options);
        cupsFreeOptions(n, options);
        if (id <= 0) {
            // The queue was deleted after the program listed it.
            if (cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND)
                throw ESystemError("プリンタ " + job.queue.toStdString() + " が見つかりません");
            throw ESystemError(failureText(http.get()));
        }
        QFile pdf(job.file.fileName());
        bool ok = pdf.open(QIODevice::ReadOnly) &&
                  cupsStartDocument(http.get(), queue.constData(), id, title.constData(), CUPS_FORMAT_PDF, 1) ==
                      HTTP_STATUS_CONTINUE;
        if (ok) {
            const QByteArray data = pdf.readAll();
            ok = cupsWriteRequestData(http.get(), data.constData(), static_cast<size_t>(data.size())) ==
                 HTTP_STATUS_CONTINUE;
            ok = cupsFinishDocument(http.get(), queue.constData()) == IPP_STATUS_OK && ok;
        }
        if (!ok) {
            const std::string why = failureText(http.get());
            cupsCancelJob2(http.get(), queue.constData(), id, 0);
            throw ESystemError(why);
        }
        return id;
    }

    bool built_ = false;
    std::vector<Queue> queues_;
    int defaultIndex_ = -1;
    int current_ = -1;
    std::map<QString, DeviceSettings> settings_;
    std::map<QString, QueueCapabilities> caps_;
    std::unique_ptr<Job> job_;
    IdleSurface idle_;
};

}  // namespace

std::unique_ptr<PrinterSystem> makeCupsPrinterSystem() { return std::make_unique<CupsPrinterSystem>(); }

void prefetchQueues() {
    Prefetch& p = prefetch();
    const std::lock_guard lock(p.mutex);
    if (p.list.valid()) return;
    p.list = std::async(std::launch::async, [] {
        QueueList list;
        list.queues = fetchQueues(&list.defaultName);
        return list;
    });
}

}  // namespace wbprn
