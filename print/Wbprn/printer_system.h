#pragma once
// The platform side of the printer access layer: what TWbPrinter needs from
// the operating system's printing, kept small so that a CUPS implementation
// and a scripted fake can both provide it.
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "print/core/surface.h"

namespace wbprn {

// Attribute bit of a printer record that hides it from the program.
inline constexpr std::uint32_t kAttributeHidden = 0x20;

struct PrinterRecord {
    QString name;
    std::uint32_t attributes = 0;
};

// Flags of the settings block telling which values the driver fills.
inline constexpr std::uint32_t kFieldOrientation = 0x1;
inline constexpr std::uint32_t kFieldPaperSize = 0x2;
inline constexpr std::uint32_t kFieldScale = 0x10;
inline constexpr std::uint32_t kFieldDefaultSource = 0x200;

// The current printer's device settings (the values the layer reads).
struct DeviceSettings {
    std::uint32_t fields = 0;
    std::int16_t paperSize = 0;
    std::int16_t scale = 100;
    std::int16_t defaultSource = 0;
    std::int16_t orientation = 1;  // 1 portrait, 2 landscape
    // Size of the settings block in bytes; 0 or less marks a broken driver.
    int size = 1;
};

// One capability list as the driver reports it: `count` is the number of
// entries, -1 on failure; names are the driver's raw slot texts.
struct CapabilityList {
    int count = -1;
    std::vector<std::uint16_t> codes;
    std::vector<std::string> names;  // UTF-8, possibly NUL-padded
};

// The current printer's paper and the printable area on it, in points
// (1/72 inch) from the paper's top-left corner.
struct PageGeometry {
    QSizeF paper{595, 842};  // A4 when the printer names no paper
    QRectF printable{0, 0, 595, 842};
    friend bool operator==(const PageGeometry&, const PageGeometry&) = default;
};

// An operating-system failure (enumeration, scheduler); UTF-8 message.
class ESystemError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class PrinterSystem {
public:
    virtual ~PrinterSystem() = default;

    // All installed printers in a fixed order; the system printer object's
    // indices refer to this same order.
    virtual std::vector<PrinterRecord> enumPrinters() = 0;
    virtual QStringList enumPorts() = 0;

    // The system printer object: current printer by system index, -1 none.
    virtual int currentIndex() = 0;
    // -1 selects the system's default printer.
    virtual void setCurrentIndex(int systemIndex) = 0;
    virtual QString currentDeviceName() = 0;
    // Live settings block of the current printer, or none when the object
    // has not created one yet.
    virtual std::optional<DeviceSettings> currentSettings() = 0;
    // Makes the current printer start again from its driver's defaults.
    virtual void resetSettings() = 0;
    // Writes a settings block for the current printer (printer set-up dialog).
    virtual void applySettings(const DeviceSettings& settings) = 0;
    // Discards the object: its printer list is rebuilt from the system on next use.
    virtual void discard() = 0;

    // Capability lists of the printer at a system index (the current one or
    // another, e.g. for the set-up dialog).
    virtual CapabilityList paperSizes(int systemIndex) = 0;
    virtual CapabilityList bins(int systemIndex) = 0;
    struct Resolution { int x = 0; int y = 0; };
    virtual Resolution resolution() = 0;

    // The paper and printable area that a document on the current printer
    // gets (the current paper size).
    virtual PageGeometry pageGeometry() { return {}; }

    // Documents on the current printer.
    virtual void beginDoc(const QString& title) = 0;
    virtual print::Surface& canvas() = 0;
    virtual void newPage() = 0;
    // Ends the document and hands it to the print service; returns the
    // service's job id (0 when it gives none).
    virtual int endDoc() = 0;
    virtual void abortDoc() = 0;
};

}  // namespace wbprn
