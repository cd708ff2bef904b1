#include "print/Wbprn/WbPrinters.h"

#include <algorithm>

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include "print/Wbprn/cups/cups_printer_system.h"

using wbprn::CapabilityList;

TWbAllPrintersInfo::TWbAllPrintersInfo(wbprn::PrinterSystem& system)
    : records_(system.enumPrinters()) {}

bool TWbAllPrintersInfo::IsSame(const TWbAllPrintersInfo& other) const {
    if (records_.size() != other.records_.size()) return false;
    for (std::size_t i = 0; i < records_.size(); ++i) {
        if (records_[i].name != other.records_[i].name ||
            records_[i].attributes != other.records_[i].attributes)
            return false;
    }
    return true;
}

TWbPrinter::TWbPrinter(std::unique_ptr<wbprn::PrinterSystem> system) {
    ResetSystem(std::move(system));
}

TWbPrinter::~TWbPrinter() { delete watch_; }

void TWbPrinter::ResetSystem(std::unique_ptr<wbprn::PrinterSystem> system) {
    system_ = std::move(system);
    snapshot_ = std::make_unique<TWbAllPrintersInfo>(*system_);
    paperNumbers_.clear();
    paperNames_.clear();
    binNumbers_.clear();
    binNames_.clear();
    printerNames_.clear();
    portNames_.clear();
    cachedIndex_ = -1;
    papersAvailable_ = binsAvailable_ = false;
    devMode_.reset();
    withheld_.clear();
    reserved_.clear();
    feedAfterJob_ = false;
    docPages_ = lastDocumentPages_ = 0;
}

print::Surface& TWbPrinter::Canvas() { return system_->canvas(); }

void TWbPrinter::BeginDoc(const QString& title) {
    CheckDocumentsAllowed();
    system_->beginDoc(title);
    docPages_ = 1;
}

void TWbPrinter::CheckDocumentsAllowed() {
    if (!withheld_.isEmpty()) throw EWbPrinterWithheld(withheld_.toStdString());
    // Without any usable printer the document fails on its own, saying so.
    bool anyUsable = false;
    for (int i = 0; i < snapshot_->Count() && !anyUsable; ++i) anyUsable = !snapshot_->IsHidden(i);
    if (!reserved_.isEmpty() && anyUsable && system_->currentDeviceName() != reserved_)
        throw EWbPrinterWithheld(QStringLiteral("登録したプリンタ %1 が見つかりません").arg(reserved_).toStdString());
}

void TWbPrinter::NewPage() {
    system_->newPage();
    ++docPages_;
}

int TWbPrinter::EndDoc() {
    if (feedAfterJob_ && docPages_ > 0) NewPage();
    const int pages = docPages_;
    docPages_ = 0;
    const int job = system_->endDoc();
    lastDocumentPages_ = pages;
    return job;
}

void TWbPrinter::Abort() {
    docPages_ = 0;
    system_->abortDoc();
}

void TWbPrinter::CheckNoPrinter() {
    for (int i = 0; i < snapshot_->Count(); ++i)
        if (!snapshot_->IsHidden(i)) return;
    cachedIndex_ = -1;
    throw EWbPrinterNoPrinter("TWbPrinter.CheckNoPrinter: No Printer");
}

int TWbPrinter::SystemIndexOf(int usableIndex) const {
    if (usableIndex < 0) return -1;
    int usable = 0;
    for (int i = 0; i < snapshot_->Count(); ++i) {
        if (snapshot_->IsHidden(i)) continue;
        if (usable == usableIndex) return i;
        ++usable;
    }
    return -1;
}

int TWbPrinter::GetIndex() {
    CheckNoPrinter();
    const int s = system_->currentIndex();
    if (s == -1) return -1;
    if (s >= 0 && s < snapshot_->Count() && snapshot_->IsHidden(s))
        throw EWbPrinterIllegalIndex("TWbPrinter.GetIndex: Printers.PrinterIndex is Illegal");
    const QString device = system_->currentDeviceName();
    int p = -1;
    for (int i = 0; i < snapshot_->Count(); ++i) {
        if (snapshot_->Names(i) == device) {
            p = i;
            break;
        }
    }
    // The system object's list and the snapshot must agree.
    if (p < 0) throw EWbAssertionFailed();
    int hiddenBefore = 0;
    for (int i = 0; i < p; ++i)
        if (snapshot_->IsHidden(i)) ++hiddenBefore;
    return p - hiddenBefore;
}

void TWbPrinter::SetIndex(int index) {
    CheckNoPrinter();
    if (index < -1) throw EWBPrinterRangeError("TWbPrinter.SetIndex: Index is out of Range");
    // Same printer: keep its settings (a paper or bin chosen in a dialog).
    if (index == GetIndex()) return;
    int p = -1;
    if (index >= 0) {
        p = SystemIndexOf(index);
        if (p < 0) throw EWBPrinterRangeError("TWbPrinter.SetIndex: Index is out of Range");
    }
    system_->setCurrentIndex(p);
    // A newly chosen printer starts from its driver's default settings.
    system_->resetSettings();
    cachedIndex_ = -1;
    UpdateCapabilities();
    ClearDevMode();
}

const QStringList& TWbPrinter::PrinterNames() {
    CheckNoPrinter();
    printerNames_.clear();
    for (int i = 0; i < snapshot_->Count(); ++i)
        if (!snapshot_->IsHidden(i)) printerNames_ << snapshot_->Names(i);
    return printerNames_;
}

void TWbPrinter::LoadDevMode() {
    devMode_.reset();
    auto settings = system_->currentSettings();
    if (!settings) {
        // Writing the index back makes the system object create the block.
        system_->setCurrentIndex(system_->currentIndex());
        settings = system_->currentSettings();
    }
    if (!settings || settings->size <= 0) throw EWbAssertionFailed();
    devMode_ = *settings;
}

std::uint32_t TWbPrinter::GetDevModeFields() {
    CheckNoPrinter();
    if (!devMode_) LoadDevMode();
    return devMode_->fields;
}

void TWbPrinter::CheckFieldSupported(std::uint32_t flag, const char* message) {
    if ((GetDevModeFields() & flag) == 0) throw EWbPrinterNotSupported(message);
}

namespace {

// Driver names come in fixed slots: the text ends at the first zero byte or
// at the slot's width, whichever comes first.
QString slotText(const std::string& raw, int slotChars) {
    const std::string upToNul = raw.substr(0, raw.find('\0'));
    return QString::fromUtf8(upToNul).left(slotChars);
}

bool loadList(const CapabilityList& list, int slotChars, std::vector<std::uint16_t>& numbers,
              QStringList& names) {
    numbers.clear();
    names.clear();
    if (list.count <= 0) return false;  // -1: the driver gave no list
    const auto n = static_cast<std::size_t>(list.count);
    numbers.assign(n, 0);
    for (std::size_t i = 0; i < n && i < list.codes.size(); ++i) numbers[i] = list.codes[i];
    for (std::size_t i = 0; i < n; ++i)
        names << (i < list.names.size() ? slotText(list.names[i], slotChars) : QString());
    return true;
}

}  // namespace

void TWbPrinter::UpdateCapabilities() {
    const int current = system_->currentIndex();
    if (current == cachedIndex_) return;
    cachedIndex_ = current;
    GetDevModeFields();
    papersAvailable_ = loadList(system_->paperSizes(current), 64, paperNumbers_, paperNames_);
    binsAvailable_ = loadList(system_->bins(current), 24, binNumbers_, binNames_);
}

void TWbPrinter::ForceUpdateCapabilities() {
    ClearDevMode();
    cachedIndex_ = -1;
    UpdateCapabilities();
}

int TWbPrinter::GetPaperSizeNumber() {
    CheckNoPrinter();
    CheckFieldSupported(wbprn::kFieldPaperSize, "TWbPrinter.GetPaperSizeNumber: PaperSize is not Supported");
    if (!devMode_) LoadDevMode();
    return devMode_->paperSize;
}

const QStringList& TWbPrinter::GetPaperSizeNames() {
    CheckNoPrinter();
    CheckFieldSupported(wbprn::kFieldPaperSize, "TWbPrinter.GetPaperSizeNames: PaperSize is not Supported");
    UpdateCapabilities();
    if (!papersAvailable_) throw EWbPrinterNoInfo("TWbPrinter.GetPaperSizeNames: No Papersize Info Available");
    return paperNames_;
}

int TWbPrinter::GetPaperSizeIndex() {
    CheckNoPrinter();
    CheckFieldSupported(wbprn::kFieldPaperSize, "TWbPrinter.GetPaperSizeIndex: PaperSize is not Supported");
    const int code = GetPaperSizeNumber();
    UpdateCapabilities();
    if (!papersAvailable_) throw EWbPrinterNoInfo("TWbPrinter.GetPaperSizeIndex: No Papersize Info Available");
    for (std::size_t i = 0; i < paperNumbers_.size(); ++i)
        if (static_cast<int>(paperNumbers_[i]) == code) return static_cast<int>(i);  // first match
    throw EWBPrinterPaperSizeError("TWbPrinter.GetPaperSizeIndex: Cannot Get Paper Index");
}

int TWbPrinter::GetBinNumber() {
    CheckNoPrinter();
    CheckFieldSupported(wbprn::kFieldDefaultSource, "TWbPrinter.GetBinNumber: Bin is not Supported");
    if (!devMode_) LoadDevMode();
    return devMode_->defaultSource;
}

const QStringList& TWbPrinter::GetBinNames() {
    CheckNoPrinter();
    CheckFieldSupported(wbprn::kFieldDefaultSource, "TWbPrinter.GetBinNames: Bin is not Supported");
    UpdateCapabilities();
    if (!binsAvailable_) throw EWbPrinterNoInfo("TWbPrinter.GetBinNames: No Bin Info Available");
    return binNames_;
}

int TWbPrinter::GetBinIndex() {
    CheckNoPrinter();
    CheckFieldSupported(wbprn::kFieldDefaultSource, "TWbPrinter.GetBinIndex: Bin is not Supported");
    const int code = GetBinNumber();
    UpdateCapabilities();
    if (!binsAvailable_) throw EWbPrinterNoInfo("TWbPrinter.GetBinIndex: No Bin Info Available");
    int found = -1;
    for (std::size_t i = 0; i < binNumbers_.size(); ++i)
        if (static_cast<int>(binNumbers_[i]) == code) found = static_cast<int>(i);  // last match
    if (found < 0) throw EWbPrinterBinError("TWbPrinter.GetBinIndex: Cannot Get Bin Index");
    return found;
}

void TWbPrinter::ChangeSettings(const std::function<void(wbprn::DeviceSettings&)>& change) {
    LoadDevMode();  // the live block, as the driver holds it now
    wbprn::DeviceSettings s = *devMode_;
    change(s);
    system_->applySettings(s);
    ClearDevMode();  // the next query reads the block just written
}

void TWbPrinter::SetPaperSizeIndex(int index) {
    CheckNoPrinter();
    CheckFieldSupported(wbprn::kFieldPaperSize, "TWbPrinter.SetPaperSizeIndex: PaperSize is not Supported");
    UpdateCapabilities();
    if (!papersAvailable_) throw EWbPrinterNoInfo("TWbPrinter.SetPaperSizeIndex: No Papersize Info Available");
    if (index < 0 || static_cast<std::size_t>(index) >= paperNumbers_.size())
        throw EWBPrinterPaperSizeError("TWbPrinter.SetPaperSizeIndex: Index is out of Range");
    const auto code = static_cast<std::int16_t>(paperNumbers_[static_cast<std::size_t>(index)]);
    ChangeSettings([code](wbprn::DeviceSettings& s) { s.paperSize = code; });
}

void TWbPrinter::SetBinIndex(int index) {
    CheckNoPrinter();
    CheckFieldSupported(wbprn::kFieldDefaultSource, "TWbPrinter.SetBinIndex: Bin is not Supported");
    UpdateCapabilities();
    if (!binsAvailable_) throw EWbPrinterNoInfo("TWbPrinter.SetBinIndex: No Bin Info Available");
    if (index < 0 || static_cast<std::size_t>(index) >= binNumbers_.size())
        throw EWbPrinterBinError("TWbPrinter.SetBinIndex: Index is out of Range");
    const auto code = static_cast<std::int16_t>(binNumbers_[static_cast<std::size_t>(index)]);
    ChangeSettings([code](wbprn::DeviceSettings& s) { s.defaultSource = code; });
}

void TWbPrinter::ResetSettings() {
    CheckNoPrinter();
    system_->resetSettings();
    ClearDevMode();
}

TPoint TWbPrinter::Dpi() {
    CheckNoPrinter();
    const auto r = system_->resolution();
    return {r.x, r.y};
}

std::uint16_t TWbPrinter::Scale() {
    CheckNoPrinter();
    if ((GetDevModeFields() & wbprn::kFieldScale) == 0) return 100;
    return static_cast<std::uint16_t>(devMode_->scale);
}

wbprn::PageGeometry TWbPrinter::PaperLayout() {
    CheckNoPrinter();
    return system_->pageGeometry();
}

const QStringList& TWbPrinter::PortNames() {
    portNames_.clear();
    for (const QString& port : system_->enumPorts()) {
        if (!portNames_.contains(port, Qt::CaseInsensitive)) portNames_ << port;
    }
    return portNames_;
}

void TWbPrinter::FireOnChange() {
    if (OnChange) OnChange(this);
}

void TWbPrinter::WindowHook() {
    QElapsedTimer took;
    took.start();
    auto fresh = std::make_unique<TWbAllPrintersInfo>(*system_);
    bool changed = true;
    if (fresh->IsSame(*snapshot_)) {
        const QStringList before = portNames_;
        changed = PortNames() != before;
    } else {
        system_->discard();
        snapshot_ = std::move(fresh);
        cachedIndex_ = -1;
        ClearDevMode();
    }
    // How long the print service took to answer, not counting what the
    // notification then does (taking a printer again reads its PPD).
    lastLookMs_ = took.elapsed();
    if (changed) FireOnChange();
}

void TWbPrinter::StartWatch(QObject* owner, int intervalMs) {
    delete watch_;
    watch_ = new QTimer(owner);
    watch_->setInterval(intervalMs);
    QObject::connect(watch_, &QTimer::timeout, owner, [this, intervalMs] {
        // A failing scheduler is noticed by the next print or selection; the
        // watch itself must never raise into the event loop.
        QElapsedTimer took;
        took.start();
        qint64 looked = 0;
        try {
            WindowHook();
            looked = lastLookMs_;
        } catch (...) {
            looked = took.elapsed();
        }
        // A slow answer (a scheduler timing out) must not stall the window
        // every few seconds: look less often while it lasts.
        if (watch_) watch_->setInterval(looked > 250 ? std::min(watch_->interval() * 4, 300000) : intervalMs);
    });
    QObject::connect(owner, &QObject::destroyed, watch_, [this] { watch_ = nullptr; });
    watch_->start();
}

TWbPrinter& WbPrinter() {
    static TWbPrinter instance(wbprn::makeCupsPrinterSystem());
    return instance;
}
