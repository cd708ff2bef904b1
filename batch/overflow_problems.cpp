#include "batch/overflow_problems.h"

#include <algorithm>

#include "print/core/byte_limits.h"
#include "text/sjis_convert.h"

namespace batch {

Col colOf(print::FormItem item) {
    using print::FormItem;
    const auto at = [item](FormItem first, FormItem last) { return item >= first && item <= last; };
    if (at(FormItem::Zip1, FormItem::Zip7)) return Col::Zip;
    if (at(FormItem::ShipYear, FormItem::ShipDay)) return Col::ShipDate;
    if (at(FormItem::DeliveryYear, FormItem::DeliveryDay)) return Col::DeliveryDate;
    if (at(FormItem::MyZip1, FormItem::MyZip7)) return Col::MyZip;
    if (at(FormItem::TimeBand1, FormItem::TimeBand6)) return Col::TimeBand;
    if (at(FormItem::Golf, FormItem::Frozen)) return Col::Special;
    switch (item) {
    case FormItem::Add1: return Col::Add1;
    case FormItem::Add2: return Col::Add2;
    case FormItem::Goods1: return Col::G1;
    case FormItem::Goods2: return Col::G2;
    case FormItem::Goods3: return Col::G3;
    case FormItem::Name: return Col::Name;
    case FormItem::Tel: return Col::Tel;
    case FormItem::MyAdd1: return Col::MyAdd1;
    case FormItem::MyAdd2: return Col::MyAdd2;
    case FormItem::MyName: return Col::My;
    case FormItem::MyTel: return Col::MyTel;
    default: return Col::Count;
    }
}

WaybillCheck overflowCheckOf(OverflowFinder finder) {
    return [finder = std::move(finder)](const print::WaybillFields& fields, std::vector<Problem>& out) {
        std::vector<Col> seen;
        for (const print::Overflow& o : finder(fields)) {
            const Col col = colOf(o.item);
            // One problem per field: the seven postal code boxes are one.
            if (std::find(seen.begin(), seen.end(), col) != seen.end()) continue;
            seen.push_back(col);
            std::string text = sjis::toUtf8(print::formItem(o.item).label);
            text += o.outside ? "が印字できる範囲の外に出ます"
                              : "が枠からはみ出します (幅" + std::to_string(o.width) + "、枠" + std::to_string(o.room) + "ドット)";
            out.push_back({col, std::move(text), {}});
        }
        // Texts the form's carrier reads no further than so many bytes.
        for (const print::ByteOverflow& b : print::findByteOverflows(print::planWaybill(fields), print::formOf(fields))) {
            const Col col = colOf(b.item);
            if (std::find(seen.begin(), seen.end(), col) != seen.end()) continue;
            seen.push_back(col);
            out.push_back({col,
                           sjis::toUtf8(print::formItem(b.item).label) + "が長すぎます (" + std::to_string(b.bytes) +
                               "バイト、この用紙では" + std::to_string(b.limit) + "バイトまで)",
                           {}});
        }
    };
}

}  // namespace batch
