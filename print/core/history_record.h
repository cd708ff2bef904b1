#pragma once
// The history's record of a printed waybill: the fields the layout printed
// together with the print's feed mode, printer and job.
#include <cstdint>
#include <string>
#include <utility>

#include "print/core/layout.h"
#include "print/core/waybill_fields.h"
#include "history/waybill_record.h"

namespace print {

// Texts are Shift-JIS, as everywhere in the core. The time is left empty:
// the store stamps the row when it records it.
inline store::WaybillRecord historyRecordOf(const WaybillFields& f, std::string feedMode, std::string printer,
                                            std::int64_t job) {
    store::WaybillRecord r;
    r.consignee = {f.zip, f.add1, f.add2, f.custo1, f.tel};
    r.date = f.date;
    r.printDate = f.printDate;
    r.deDate1 = f.deDate1;
    r.deDate2 = f.deDate2;
    r.deDate3 = f.deDate3;
    r.g1 = f.g1;
    r.g2 = f.g2;
    r.g3 = f.g3;
    r.timeBand = f.timeBand;
    r.special = f.special;
    r.printSender = f.printSender;
    r.myZip = f.myZip;
    r.myAdd1 = f.myAdd1;
    r.myAdd2 = f.myAdd2;
    r.myName = f.my;
    r.myTel = f.myTel;
    r.feedMode = std::move(feedMode);
    r.printer = std::move(printer);
    r.job = job;
    r.form = formOf(f).id;
    return r;
}

}  // namespace print
