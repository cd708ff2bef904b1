#pragma once
// The printing system on CUPS: the scheduler's local queues in name order
// (a queue that does not accept jobs is hidden), paper sizes and input
// slots from each queue's PPD, documents rendered to PDF and submitted as
// one job. Every scheduler call has a short time-out; an unreachable
// scheduler looks like a system without printers.
#include <memory>

#include "print/Wbprn/printer_system.h"

namespace wbprn {

// Time-out for connecting to and hearing from the scheduler.
inline constexpr int kCupsTimeoutMs = 2000;
// Resolution used when a queue declares none.
inline constexpr int kFallbackDpi = 300;

std::unique_ptr<PrinterSystem> makeCupsPrinterSystem();

// Starts asking the scheduler for its queues (and loading libcups) on a
// thread of its own, so that the answer is there when the first list of
// printers and the first printer object of this run want it, instead of
// each asking the scheduler in turn while the window is being built. Once
// per process; later askings go to the scheduler as always.
void prefetchQueues();

}  // namespace wbprn
