#pragma once
// The order check's fit test: texts wider than their place on the form, or
// reaching outside what the printer can print, reported on the order's
// column. The caller measures (the print font needs the GUI side).
#include <functional>
#include <vector>

#include "batch/order_check.h"
#include "print/core/overflow.h"

namespace batch {

// The texts of a finished waybill that do not fit.
using OverflowFinder = std::function<std::vector<print::Overflow>(const print::WaybillFields&)>;

// A WaybillCheck that turns each overflow, and each text past its form's
// byte limit, into a problem of its column (the seven postal code boxes
// count as one field).
WaybillCheck overflowCheckOf(OverflowFinder finder);

// The order column a printed item comes from.
Col colOf(print::FormItem item);

}  // namespace batch
