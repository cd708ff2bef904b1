#include "print/Wbprn/continuous_form.h"

#include <cmath>

namespace wbprn {

QString continuousFormPaperName() { return QStringLiteral("送り状（連続 4インチ）"); }

FormFeed formFeedOf(double pageLengthPt) {
    // Half a point either way: sizes given in millimetres or rounded to
    // whole points are still one form long.
    constexpr double kTolerancePt = 0.5;
    const double whole = std::round(pageLengthPt / kFormLengthPt);
    if (whole >= 1 && std::abs(pageLengthPt - whole * kFormLengthPt) <= kTolerancePt) return {whole, true};
    return {pageLengthPt / kFormLengthPt, false};
}

}  // namespace wbprn
