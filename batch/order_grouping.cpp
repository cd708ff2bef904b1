#include "batch/order_grouping.h"

#include <algorithm>
#include <unordered_map>
#include <iterator>
#include <optional>

#include "batch/address_join.h"
#include "batch/order_check.h"
#include "text/sjis_convert.h"

namespace batch {

namespace {

constexpr Col kConsignee[] = {Col::Zip, Col::Add1, Col::Add2, Col::Name, Col::Tel};
constexpr Col kGoods[] = {Col::G1, Col::G2, Col::G3};

bool noConsignee(const Order& o) {
    return std::all_of(std::begin(kConsignee), std::end(kConsignee), [&](Col c) { return o[c].empty(); });
}

// The first consignee column in which two orders differ, or Col::Count.
Col firstDifference(const Order& a, const Order& b) {
    for (Col c : kConsignee)
        if (a[c] != b[c]) return c;
    return Col::Count;
}

// The quantity as plain digits, or nullopt when it is not a number.
std::optional<std::string> quantityOf(const std::string& raw) {
    const std::string q = halfWidthDigits(raw);
    if (q.empty() || q.size() > 6 || !std::all_of(q.begin(), q.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const std::size_t lead = std::min(q.find_first_not_of('0'), q.size() - 1);
    return q.substr(lead);
}

// The name cut at a whole character so that it and the suffix fit.
std::string fitted(const std::string& name, const std::string& suffix) {
    const std::size_t room = kGoodsBytes - sjisWidth(suffix);
    if (sjisWidth(name) <= room) return name + suffix;
    const std::string ellipsis = "…";
    std::size_t end = 0, width = 0;
    while (end < name.size()) {
        const std::size_t len = std::min(sjis::utf8SeqLen(static_cast<unsigned char>(name[end])), name.size() - end);
        const std::size_t w = sjisWidth(std::string_view(name).substr(end, len));
        if (width + w + sjisWidth(ellipsis) > room) break;
        width += w;
        end += len;
    }
    return name.substr(0, end) + ellipsis + suffix;
}

// Later rows fill what the first row of the order left empty (the dates,
// time band, handling and sender a platform writes once per order).
void fillFrom(Order& into, const Order& row) {
    for (std::size_t c = idx(Col::DeliveryDate); c < kColCount; ++c)
        if (into.text[c].empty()) into.text[c] = row.text[c];
}

void addRow(Order& into, Order&& row) {
    fillFrom(into, row);
    if (row.fieldCount != row.headerCount)
        into.notes.push_back({Col::Count,
                              std::to_string(row.line) + "行目の列の数 (" + std::to_string(row.fieldCount) +
                                  ") が見出し (" + std::to_string(row.headerCount) + ") と違います",
                              {}});
    std::move(row.items.begin(), row.items.end(), std::back_inserter(into.items));
    std::move(row.notes.begin(), row.notes.end(), std::back_inserter(into.notes));
}

// Two rows of one order to the same name at different addresses: both
// waybills print only once the user has looked at them.
void noteDisagreement(Order& a, const Order& b, Col c) {
    a.notes.push_back({c,
                       "同じ注文 (" + a.orderNo + ") の " + std::to_string(b.line) + "行目と" +
                           std::string(colCaption(c)) + "が違います",
                       a[c]});
}

}  // namespace

GoodsLines goodsLines(const std::vector<OrderItem>& items) {
    GoodsLines out;
    const std::size_t shown = items.size() > 3 ? 2 : items.size();
    for (std::size_t i = 0; i < shown; ++i) {
        const OrderItem& item = items[i];
        const std::optional<std::string> q = quantityOf(item.quantity);
        out.lines[i] = fitted(item.name, q ? " ×" + *q : std::string());
        if (!q && !item.quantity.empty())
            out.notes.push_back({kGoods[i], "数量が数字ではありません: " + item.quantity, out.lines[i]});
    }
    if (items.size() > 3) {
        out.lines[2] = "他" + std::to_string(items.size() - 2) + "点";
        for (std::size_t i = 2; i < items.size(); ++i)
            if (!items[i].quantity.empty() && !quantityOf(items[i].quantity))
                out.notes.push_back({Col::G3, "数量が数字ではありません: " + items[i].quantity, out.lines[2]});
    }
    return out;
}

std::vector<Order> groupOrders(std::vector<Order> rows) {
    std::vector<Order> out;
    out.reserve(rows.size());
    // The waybills of each order number (its cell as the file has it), by
    // their index in out.
    std::unordered_map<std::string, std::vector<std::size_t>> byOrder;
    for (Order& row : rows) {
        if (row.orderNo.empty()) {
            out.push_back(std::move(row));
            continue;
        }
        const std::string& key = row.orderCell.empty() ? row.orderNo : row.orderCell;
        std::vector<std::size_t>& waybills = byOrder[key];
        if (waybills.empty() && !noConsignee(row)) {
            // A spreadsheet's text mark (') before a copy of the number may
            // be the same order: one waybill only when the consignee is the
            // same to the letter.
            const std::string twin = key.front() == '\'' ? key.substr(1) : "'" + key;
            const auto found = byOrder.find(twin);
            if (found != byOrder.end()) {
                const auto same = std::find_if(found->second.begin(), found->second.end(), [&](std::size_t w) {
                    return firstDifference(out[w], row) == Col::Count;
                });
                if (same != found->second.end()) {
                    waybills.push_back(*same);
                    addRow(out[*same], std::move(row));
                    continue;
                }
            }
        }
        if (!waybills.empty() && noConsignee(row)) {
            addRow(out[waybills.back()], std::move(row));
            continue;
        }
        // One parcel: the same consignee and, where the platform numbers
        // the parcels of an order, the same parcel.
        const auto same = std::find_if(waybills.begin(), waybills.end(), [&](std::size_t w) {
            return out[w].shipmentId == row.shipmentId && firstDifference(out[w], row) == Col::Count;
        });
        if (same != waybills.end()) {
            addRow(out[*same], std::move(row));
            continue;
        }
        for (std::size_t w : waybills) {
            Order& other = out[w];
            if (other[Col::Name] != row[Col::Name]) continue;  // a gift to someone else
            if (other.shipmentId != row.shipmentId) continue;  // parcels the platform tells apart
            const Col c = firstDifference(other, row);
            noteDisagreement(other, row, c);
            noteDisagreement(row, other, c);
        }
        waybills.push_back(out.size());
        out.push_back(std::move(row));
    }
    // Platform orders get their goods lines from their items; other rows
    // keep their goods columns as they are, a quantity aside.
    for (Order& o : out) {
        const bool quantities = std::any_of(o.items.begin(), o.items.end(),
                                            [](const OrderItem& i) { return !i.quantity.empty(); });
        if (o.orderNo.empty() && !quantities) continue;
        GoodsLines g = goodsLines(o.items);
        for (std::size_t i = 0; i < 3; ++i) o[kGoods[i]] = std::move(g.lines[i]);
        std::move(g.notes.begin(), g.notes.end(), std::back_inserter(o.notes));
    }
    return out;
}

}  // namespace batch
