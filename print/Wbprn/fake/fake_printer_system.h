#pragma once
// A scripted printing system for tests: printers with hidden flags, paper
// and bin lists, settings, resolution and ports, and a recording of every
// document (pages of drawing calls, title, ended or aborted).
#include <QString>
#include <QStringList>
#include <map>
#include <vector>

#include "print/Wbprn/printer_system.h"
#include "print/core/recording_surface.h"

namespace wbprn {

struct FakePrinter {
    QString name;
    bool hidden = false;
    CapabilityList papers{0, {}, {}};
    CapabilityList bins{0, {}, {}};
    DeviceSettings defaults{kFieldPaperSize | kFieldDefaultSource, 9, 100, 1, 1, 1};
    PrinterSystem::Resolution dpi{360, 360};
    PageGeometry page{};
    // Pages of particular paper codes; other papers get `page`.
    std::map<std::uint16_t, PageGeometry> pagesByPaper{};
};

struct FakeDocument {
    QString title;
    QString printer;
    DeviceSettings settings;
    std::vector<std::vector<print::RecordingSurface::Call>> pages;
    bool ended = false;
    bool aborted = false;
    int job = 0;  // the job id endDoc() returned (1, 2, … per ended document)
};

class FakePrinterSystem final : public PrinterSystem {
public:
    explicit FakePrinterSystem(std::vector<FakePrinter> printers = {}, int defaultIndex = 0);

    std::vector<PrinterRecord> enumPrinters() override;
    QStringList enumPorts() override;
    int currentIndex() override;
    void setCurrentIndex(int systemIndex) override;
    QString currentDeviceName() override;
    std::optional<DeviceSettings> currentSettings() override;
    void resetSettings() override;
    void applySettings(const DeviceSettings& settings) override;
    void discard() override;
    CapabilityList paperSizes(int systemIndex) override;
    CapabilityList bins(int systemIndex) override;
    Resolution resolution() override;
    PageGeometry pageGeometry() override;
    void beginDoc(const QString& title) override;
    print::Surface& canvas() override;
    void newPage() override;
    int endDoc() override;
    void abortDoc() override;

    // The scripted state, changeable between calls (e.g. a printer added;
    // it takes effect for the object after discard(), as on the system).
    std::vector<FakePrinter> printers;
    int defaultIndex = 0;
    QStringList ports;
    // When set, the current printer reports no settings block at first.
    bool settingsCreatedLazily = false;
    bool failBeginDoc = false;

    // What happened.
    std::vector<FakeDocument> documents;
    int capabilityCalls = 0;
    int discards = 0;

private:
    void ensureObject();
    bool built_ = false;
    std::vector<FakePrinter> object_;  // the system object's own list
    int current_ = -1;
    std::optional<DeviceSettings> settings_;
    print::RecordingSurface page_;
    bool inDoc_ = false;
    int jobsEnded_ = 0;
};

}  // namespace wbprn
