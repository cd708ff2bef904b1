#include "print/Wbprn/fake/fake_printer_system.h"

#include <stdexcept>

namespace wbprn {

FakePrinterSystem::FakePrinterSystem(std::vector<FakePrinter> list, int defaultIdx)
    : printers(std::move(list)), defaultIndex(defaultIdx) {}

void FakePrinterSystem::ensureObject() {
    if (built_) return;
    built_ = true;
    object_ = printers;
    current_ = object_.empty() ? -1 : (defaultIndex < static_cast<int>(object_.size()) ? defaultIndex : 0);
    settings_.reset();
    if (current_ >= 0 && !settingsCreatedLazily) settings_ = object_[static_cast<std::size_t>(current_)].defaults;
}

std::vector<PrinterRecord> FakePrinterSystem::enumPrinters() {
    std::vector<PrinterRecord> out;
    for (const auto& p : printers) out.push_back({p.name, p.hidden ? kAttributeHidden : 0u});
    return out;
}

QStringList FakePrinterSystem::enumPorts() { return ports; }

int FakePrinterSystem::currentIndex() {
    ensureObject();
    return current_;
}

void FakePrinterSystem::setCurrentIndex(int systemIndex) {
    ensureObject();
    const int target = systemIndex == -1 ? defaultIndex : systemIndex;
    if (target < 0 || target >= static_cast<int>(object_.size())) throw std::out_of_range("printer index");
    if (target != current_ || !settings_) settings_ = object_[static_cast<std::size_t>(target)].defaults;
    current_ = target;
}

QString FakePrinterSystem::currentDeviceName() {
    ensureObject();
    return current_ < 0 ? QString() : object_[static_cast<std::size_t>(current_)].name;
}

std::optional<DeviceSettings> FakePrinterSystem::currentSettings() {
    ensureObject();
    return settings_;
}

void FakePrinterSystem::resetSettings() {
    ensureObject();
    if (current_ >= 0) settings_ = object_[static_cast<std::size_t>(current_)].defaults;
}

void FakePrinterSystem::applySettings(const DeviceSettings& s) {
    ensureObject();
    settings_ = s;
}

void FakePrinterSystem::discard() {
    ++discards;
    built_ = false;
}

CapabilityList FakePrinterSystem::paperSizes(int systemIndex) {
    ensureObject();
    ++capabilityCalls;
    return object_.at(static_cast<std::size_t>(systemIndex)).papers;
}

CapabilityList FakePrinterSystem::bins(int systemIndex) {
    ensureObject();
    ++capabilityCalls;
    return object_.at(static_cast<std::size_t>(systemIndex)).bins;
}

PrinterSystem::Resolution FakePrinterSystem::resolution() {
    ensureObject();
    return current_ < 0 ? Resolution{} : object_[static_cast<std::size_t>(current_)].dpi;
}

PageGeometry FakePrinterSystem::pageGeometry() {
    ensureObject();
    if (current_ < 0) return PageGeometry{};
    const FakePrinter& p = object_[static_cast<std::size_t>(current_)];
    if (settings_) {
        const auto it = p.pagesByPaper.find(static_cast<std::uint16_t>(settings_->paperSize));
        if (it != p.pagesByPaper.end()) return it->second;
    }
    return p.page;
}

void FakePrinterSystem::beginDoc(const QString& title) {
    ensureObject();
    if (failBeginDoc) throw ESystemError("Printer is not ready");
    FakeDocument doc;
    doc.title = title;
    doc.printer = currentDeviceName();
    if (settings_) doc.settings = *settings_;
    documents.push_back(doc);
    page_.calls.clear();
    inDoc_ = true;
}

print::Surface& FakePrinterSystem::canvas() { return page_; }

void FakePrinterSystem::newPage() {
    if (!inDoc_) return;
    documents.back().pages.push_back(page_.calls);
    page_.calls.clear();
}

int FakePrinterSystem::endDoc() {
    if (!inDoc_) return 0;
    documents.back().pages.push_back(page_.calls);
    documents.back().ended = true;
    documents.back().job = ++jobsEnded_;
    inDoc_ = false;
    return documents.back().job;
}

void FakePrinterSystem::abortDoc() {
    if (!inDoc_) return;
    documents.back().aborted = true;
    inDoc_ = false;
}

}  // namespace wbprn
