#include "print/calibration_print.h"

#include "print/Wbprn/WbPrinters.h"
#include "print/core/calibration.h"
#include "print/core/layout.h"
#include "print/core/recording_surface.h"
#include "text/sjis_qt.h"

print::WaybillFields calibrationFields(const print::Form* form, const QString& top, const QString& left) {
    print::WaybillFields fields;
    fields.form = form;
    fields.dpix = std::to_string(print::effectiveResolution(WbPrinter().Dpi().x, WbPrinter().Scale()));
    fields.dpiy = std::to_string(print::effectiveResolution(WbPrinter().Dpi().y, WbPrinter().Scale()));
    fields.prnTop = sjis::fromQString(top);
    fields.prnLeft = sjis::fromQString(left);
    return fields;
}

void printCalibrationPage(const print::WaybillFields& fields) {
    print::RecordingSurface dryRun;
    print::drawCalibration(fields, dryRun);

    // A job like the waybill's: the same printer with its paper, bin and
    // scale, the same title.
    WbPrinter().BeginDoc(QStringLiteral("vamu_Pelican  "));
    try {
        print::drawCalibration(fields, WbPrinter().Canvas());
    } catch (...) {
        try {
            WbPrinter().Abort();
        } catch (...) {
        }
        throw;
    }
    WbPrinter().EndDoc();
}
