#pragma once
// The plain-paper calibration page as a print job on the current printer:
// the margin dialog prints it for the built-in form, the form designer for
// the form being designed.
#include <QString>

#include "print/core/waybill_fields.h"

namespace print {
struct Form;
}

// The fields the calibration page needs: the current printer's effective
// resolution, the margins as typed, and the form (nullptr: the built-in).
print::WaybillFields calibrationFields(const print::Form* form, const QString& top, const QString& left);

// Draws the page once without a printer, so that a bad margin starts no
// document, then prints it as one job titled like a waybill's. A failure
// while drawing aborts the job and propagates.
void printCalibrationPage(const print::WaybillFields& fields);
