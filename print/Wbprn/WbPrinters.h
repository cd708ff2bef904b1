#pragma once
// The one door to the printer: a snapshot of the installed printers without
// the hidden ones (usable indices 0, 1, 2 … without gaps), the current
// printer's paper sizes and bins cached per printer, its resolution and
// scale, the port list, a watch on the printer set, and documents.
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

#include "print/Wbprn/printer_system.h"
#include "print/core/surface.h"

class QObject;
class QTimer;

struct TPoint {
    int x;
    int y;
};

// Printer layer errors; catch EWbPrinter to catch them all. UTF-8 messages.
class EWbPrinter : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
class EWBPrinterRangeError : public EWbPrinter { using EWbPrinter::EWbPrinter; };
class EWBPrinterPaperSizeError : public EWbPrinter { using EWbPrinter::EWbPrinter; };
class EWbPrinterBinError : public EWbPrinter { using EWbPrinter::EWbPrinter; };
class EWbPrinterNoPrinter : public EWbPrinter { using EWbPrinter::EWbPrinter; };
class EWbPrinterNotSupported : public EWbPrinter { using EWbPrinter::EWbPrinter; };
class EWbPrinterNoInfo : public EWbPrinter { using EWbPrinter::EWbPrinter; };
class EWbPrinterIllegalIndex : public EWbPrinter { using EWbPrinter::EWbPrinter; };
// Documents are refused until a printer is chosen (the registered one is gone).
class EWbPrinterWithheld : public EWbPrinter { using EWbPrinter::EWbPrinter; };

// An internal fault of the layer (a broken driver answer); not an
// EWbPrinter, so callers that handle printer errors do not swallow it.
class EWbAssertionFailed : public std::logic_error {
public:
    EWbAssertionFailed() : std::logic_error("Assertion failure") {}
};

// The installed printers as enumerated at construction; never updated.
class TWbAllPrintersInfo {
public:
    explicit TWbAllPrintersInfo(wbprn::PrinterSystem& system);
    TWbAllPrintersInfo() = default;

    int Count() const { return static_cast<int>(records_.size()); }
    const QString& Names(int i) const { return records_.at(static_cast<std::size_t>(i)).name; }
    std::uint32_t Attributes(int i) const { return records_.at(static_cast<std::size_t>(i)).attributes; }
    bool IsHidden(int i) const { return (Attributes(i) & wbprn::kAttributeHidden) != 0; }
    bool IsSame(const TWbAllPrintersInfo& other) const;

private:
    std::vector<wbprn::PrinterRecord> records_;
};

class TWbPrinter {
public:
    explicit TWbPrinter(std::unique_ptr<wbprn::PrinterSystem> system);
    ~TWbPrinter();
    TWbPrinter(const TWbPrinter&) = delete;
    TWbPrinter& operator=(const TWbPrinter&) = delete;

    // Swaps the printing system and starts afresh as if newly constructed.
    void ResetSystem(std::unique_ptr<wbprn::PrinterSystem> system);
    wbprn::PrinterSystem& System() { return *system_; }

    // Documents (not guarded). A document is its pages with NewPage
    // between them: it ends after its last page, with no empty one.
    print::Surface& Canvas();
    void BeginDoc(const QString& title);
    void NewPage();
    // Ends the document (first feeding one blank page when FeedFormAfterJob
    // is set) and hands it over; returns the print service's job id (0 when
    // none).
    int EndDoc();
    void Abort();
    // Pages the last ended document sent, the blank one included.
    int LastDocumentPages() const { return lastDocumentPages_; }
    // One blank page after every document: a printer without a tear-off
    // position then feeds the last printed form out to be torn off.
    void FeedFormAfterJob(bool feed) { feedAfterJob_ = feed; }
    bool FeedsFormAfterJob() const { return feedAfterJob_; }

    void CheckNoPrinter();
    int GetIndex();
    void SetIndex(int index);
    const QStringList& PrinterNames();
    int GetPaperSizeNumber();
    const QStringList& GetPaperSizeNames();
    int GetPaperSizeIndex();
    int GetBinNumber();
    const QStringList& GetBinNames();
    int GetBinIndex();
    // Make the entry at this position of GetPaperSizeNames / GetBinNames the
    // current printer's paper size or bin (its settings, until another
    // printer is selected).
    void SetPaperSizeIndex(int index);
    void SetBinIndex(int index);
    // The current printer's settings back to its driver's defaults.
    void ResetSettings();
    TPoint Dpi();
    std::uint16_t Scale();
    // The current printer's paper and printable area (points).
    wbprn::PageGeometry PaperLayout();
    const QStringList& PortNames();

    // While a reason is set, BeginDoc refuses with it: the printer a feed
    // mode is registered for is gone, and its waybills must not go to
    // whichever printer happens to be current. An empty reason allows
    // documents again.
    void WithholdDocuments(const QString& reason) { withheld_ = reason; }
    const QString& WithheldReason() const { return withheld_; }
    // Documents go to this printer only (empty: to the current one): should
    // another printer have become current, BeginDoc refuses rather than
    // print the waybill on it.
    void ReserveDocumentsFor(const QString& printerName) { reserved_ = printerName; }
    // Raises EWbPrinterWithheld while documents are withheld, or while
    // printers are there but the reserved one is not current.
    void CheckDocumentsAllowed();

    // After a confirmed dialog: drop the settings copy and reload the lists.
    void ForceUpdateCapabilities();
    // Reacts to a possible change of the installed printers or ports.
    void WindowHook();
    // Runs WindowHook every `intervalMs` while `owner` lives (the GUI
    // thread's event loop; never blocks longer than the system's time-out),
    // less often while the print service is slow to answer.
    void StartWatch(QObject* owner, int intervalMs = 5000);

    std::function<void(TWbPrinter*)> OnChange;

    // System index of a usable index (-1 when there is none).
    int SystemIndexOf(int usableIndex) const;
    const TWbAllPrintersInfo& Snapshot() const { return *snapshot_; }

private:
    void LoadDevMode();
    void ClearDevMode() { devMode_.reset(); }
    std::uint32_t GetDevModeFields();
    void CheckFieldSupported(std::uint32_t flag, const char* message);
    void UpdateCapabilities();
    void ChangeSettings(const std::function<void(wbprn::DeviceSettings&)>& change);
    void FireOnChange();

    std::unique_ptr<wbprn::PrinterSystem> system_;
    std::unique_ptr<TWbAllPrintersInfo> snapshot_;
    std::vector<std::uint16_t> paperNumbers_;
    QStringList paperNames_;
    std::vector<std::uint16_t> binNumbers_;
    QStringList binNames_;
    QStringList printerNames_;
    QStringList portNames_;
    int cachedIndex_ = -1;
    bool papersAvailable_ = false;
    bool binsAvailable_ = false;
    std::optional<wbprn::DeviceSettings> devMode_;
    QTimer* watch_ = nullptr;
    QString withheld_;
    QString reserved_;
    bool feedAfterJob_ = false;
    int docPages_ = 0;
    int lastDocumentPages_ = 0;
    qint64 lastLookMs_ = 0;  // the last WindowHook's wait for the print service
};

// The single process-wide printer object (CUPS unless a test installed
// another system with WbPrinter().ResetSystem()).
TWbPrinter& WbPrinter();
