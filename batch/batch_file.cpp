#include "batch/batch_file.h"

#include <algorithm>
#include <cerrno>
#include <unordered_set>

#include "batch/order_grouping.h"
#include "batch/platform_layouts.h"
#include "store/csv_field.h"
#include "store/file_error.h"
#include "store/file_read.h"

namespace batch {

namespace {

std::string joinedFields(const Record& r) {
    std::string out;
    for (const std::string& f : r.fields) {
        out += f;
        out += '\x1f';
    }
    return out;
}

}  // namespace

OrderFile readOrderFile(std::string_view bytes, EncodingChoice choice) {
    OrderFile f;
    DecodedText text = decodeText(bytes, choice);
    f.encoding = text.encoding;
    f.encodingAmbiguous = text.ambiguous;
    f.delimiter = guessDelimiter(text.utf8);
    f.records = parseRecords(text.utf8, f.delimiter);
    if (f.records.empty()) throw InputError(1, "ファイルが空です");
    f.header = std::move(f.records.front().fields);
    f.records.erase(f.records.begin());
    if (f.records.empty()) throw InputError(2, "見出しの後に注文の行がありません");
    f.b2 = isB2Header(f.header);
    const std::vector<const PlatformLayout*> layouts = matchingLayouts(f.header);
    if (!layouts.empty()) f.layout = layouts.front()->name;
    if (layouts.size() > 1) f.otherLayout = layouts[1]->name;
    return f;
}

std::string encodingNote(const OrderFile& file) {
    if (!file.encodingAmbiguous) return {};
    return file.encoding == Encoding::Cp932 ? "文字コード: Shift-JIS として読みました (UTF-8 としても読めます)"
                                            : "文字コード: UTF-8 として読みました (Shift-JIS としても読めます)";
}

std::vector<Order> ordersOf(const OrderFile& file, const Mapping& mapping, std::size_t addressRoom) {
    if (const PlatformLayout* layout = layoutNamed(file.layout); layout && layout->itemsOnly)
        throw InputError(1, file.layout + " のファイルには届け先がありません。注文ファイルを開いてください (商品のファイルは一緒に読み込みます)");
    if (!hasConsigneeColumn(mapping))
        throw InputError(1, "見出しにお届け先の列 (郵便番号・住所・氏名・電話番号) が見つかりません");
    std::vector<Order> orders;
    orders.reserve(file.records.size());
    // A line of an order written twice to the letter (au PAY マーケット
    // does) is one line; lines without an order number are each a parcel.
    std::unordered_set<std::string> seen;
    for (const Record& r : file.records) {
        Order o = extractOrder(r, mapping, file.header.size(), addressRoom);
        o.platform = file.layout;
        if (!o.orderNo.empty() && !seen.insert(joinedFields(r)).second) continue;
        orders.push_back(std::move(o));
    }
    std::vector<Order> grouped = groupOrders(std::move(orders));
    if (grouped.size() > kMaxOrders)
        throw InputError(grouped[kMaxOrders].line,
                         "注文が多すぎます (" + std::to_string(kMaxOrders) + "件まで、この行は" +
                             std::to_string(kMaxOrders + 1) + "件目の注文です)");
    return grouped;
}

std::string ordersToCsv(const std::vector<Order>& orders) {
    const bool sender = std::any_of(orders.begin(), orders.end(), [](const Order& o) {
        return !o[Col::MyZip].empty() || !o[Col::MyAdd1].empty() || !o[Col::My].empty();
    });
    const std::size_t cols = sender ? kColCount : idx(Col::MyZip);
    // The order number leads when there is one, so that orders printed
    // later from this file are still recorded with it.
    const bool orderNumbers =
        std::any_of(orders.begin(), orders.end(), [](const Order& o) { return !o.orderNo.empty(); });
    std::string out = "\xEF\xBB\xBF";
    if (orderNumbers) out += store::csvField("注文番号") + ',';
    for (std::size_t c = 0; c < cols; ++c) {
        if (c > 0) out += ',';
        out += store::csvField(colCaption(static_cast<Col>(c)));
    }
    out += "\r\n";
    for (const Order& o : orders) {
        if (orderNumbers) {
            // The cell as it came, so that orders told apart by it stay apart.
            out += store::csvField(o.orderCell.empty() ? o.orderNo : o.orderCell);
            out += ',';
        }
        for (std::size_t c = 0; c < cols; ++c) {
            if (c > 0) out += ',';
            out += store::csvField(o.text[c]);
        }
        out += "\r\n";
    }
    return out;
}

}  // namespace batch

namespace batch {

std::string readFileBytes(const std::string& path) {
    // Read without waiting and only when it is a plain file: a named pipe
    // or a device chosen as an order file must not hang the program.
    std::string out;
    const int err = readFileCapped(path, kMaxFileBytes, out);
    if (err == EFBIG) throw InputError(1, "ファイルが大きすぎます (" + std::to_string(kMaxFileMegabytes) + "MBまで)");
    if (err == EINVAL) throw FileError(err, path + ": 通常のファイルではありません");
    if (err != 0) throw FileError(err, path + ": " + systemErrorText(err));
    return out;
}

}  // namespace batch
