#include "batch/item_file.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>
#include <unordered_map>
#include <unordered_set>

namespace batch {

namespace {

// Files of a folder looked at for the other file of an order.
constexpr std::size_t kMaxCandidates = 64;

// The column holding the order number, or the header's size.
std::size_t orderColumn(const std::vector<std::string>& header) {
    const Mapping m = guessMapping(header, false);
    return static_cast<std::size_t>(std::find(m.begin(), m.end(), Target::OrderNo) - m.begin());
}

// The record's fields made as wide as its header (the difference is noted
// on the row: a shifted row would give one order another's goods).
std::vector<std::string> fitted(const Record& r, std::size_t width) {
    std::vector<std::string> f = r.fields;
    f.resize(width);
    return f;
}

std::string widthNote(const Record& r, std::size_t width, const std::string& fileName) {
    return fileName + "の" + std::to_string(r.line) + "行目の列の数 (" + std::to_string(r.fields.size()) +
           ") が見出し (" + std::to_string(width) + ") と違います";
}

std::string listed(const std::vector<std::string>& ids) {
    std::string out;
    const std::size_t shown = std::min<std::size_t>(ids.size(), 10);
    for (std::size_t i = 0; i < shown; ++i) out += (i ? ", " : "") + ids[i];
    if (ids.size() > shown) out += " ほか" + std::to_string(ids.size() - shown) + "件";
    return out;
}

}  // namespace

const PlatformLayout* companionLayout(const OrderFile& file) {
    const PlatformLayout* layout = layoutNamed(file.layout);
    if (!layout) return nullptr;
    if (!layout->itemFile.empty()) return layoutNamed(layout->itemFile);
    if (layout->itemsOnly)
        for (const PlatformLayout& l : platformLayouts())
            if (l.itemFile == layout->name) return &l;
    return nullptr;
}

std::string findCompanionFile(const std::string& path, const PlatformLayout& companion) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path self = fs::absolute(path, ec);
    std::vector<fs::path> candidates;
    fs::directory_iterator it(self.parent_path(), ec);
    for (const fs::directory_iterator end; !ec && it != end; it.increment(ec)) {
        std::string ext = it->path().extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if ((ext == ".csv" || ext == ".txt") && it->path().filename() != self.filename()) candidates.push_back(it->path());
    }
    std::sort(candidates.begin(), candidates.end());
    if (candidates.size() > kMaxCandidates) candidates.resize(kMaxCandidates);
    for (const fs::path& p : candidates) {
        try {
            // Only the header line is read as a table.
            const std::string bytes = readFileBytes(p.string());
            const DecodedText head = decodeText(std::string_view(bytes).substr(0, bytes.find('\n')));
            const std::vector<Record> header = parseRecords(head.utf8, guessDelimiter(head.utf8));
            if (header.empty()) continue;
            const PlatformLayout* layout = recogniseLayout(header.front().fields);
            if (layout && layout->name == companion.name) return p.string();
        } catch (const std::exception&) {
            // Not an order file: the next one.
        }
    }
    return {};
}

OrderFile joinItemFile(OrderFile orders, const OrderFile& items) {
    const std::size_t orderAt = orderColumn(orders.header), itemAt = orderColumn(items.header);
    const std::size_t orderWidth = orders.header.size(), itemWidth = items.header.size();
    std::unordered_map<std::string, std::vector<const Record*>> byOrder;
    std::vector<std::string> order;  // the item file's order numbers, first seen first
    for (const Record& r : items.records) {
        const std::string id = itemAt < r.fields.size() ? r.fields[itemAt] : std::string();
        std::vector<const Record*>& rows = byOrder[id];
        if (rows.empty()) order.push_back(id);
        rows.push_back(&r);
    }
    std::vector<Record> joined;
    joined.reserve(std::max(orders.records.size(), items.records.size()));
    std::unordered_set<std::string> used;
    for (const Record& o : orders.records) {
        Record base{o.line, fitted(o, orderWidth), o.notes};
        if (o.fields.size() != orderWidth) base.notes.push_back(widthNote(o, orderWidth, "注文ファイル"));
        const std::string id = orderAt < o.fields.size() ? o.fields[orderAt] : std::string();
        const auto found = id.empty() ? byOrder.end() : byOrder.find(id);
        if (found == byOrder.end()) {
            base.fields.resize(orderWidth + itemWidth);
            joined.push_back(std::move(base));
            continue;
        }
        used.insert(id);
        for (const Record* item : found->second) {
            Record r = base;
            const std::vector<std::string> f = fitted(*item, itemWidth);
            r.fields.insert(r.fields.end(), f.begin(), f.end());
            r.notes.insert(r.notes.end(), item->notes.begin(), item->notes.end());
            if (item->fields.size() != itemWidth) r.notes.push_back(widthNote(*item, itemWidth, "商品ファイル"));
            joined.push_back(std::move(r));
        }
    }
    std::vector<std::string> strays;
    for (const std::string& id : order)
        if (!used.count(id)) strays.push_back(id.empty() ? "(空)" : id);
    orders.header.insert(orders.header.end(), items.header.begin(), items.header.end());
    orders.records = std::move(joined);
    if (orders.records.size() > kMaxRecords)
        throw InputError(1, "商品の行が多すぎます (" + std::to_string(kMaxRecords) + "行まで)");
    if (!strays.empty())
        orders.notices.push_back("商品ファイルの注文 " + listed(strays) + " は注文ファイルにありません (印刷されません)");
    return orders;
}

OrderFile joinCompanion(OrderFile file, const std::string& otherPath, EncodingChoice choice) {
    const PlatformLayout* own = layoutNamed(file.layout);
    const PlatformLayout* other = companionLayout(file);
    if (!own || !other) return file;
    OrderFile second = readOrderFile(readFileBytes(otherPath), choice);
    const std::string otherName = std::filesystem::path(otherPath).filename().string();
    if (second.layout != other->name)
        throw InputError(1, otherName + " は " + std::string(other->name) + " のファイルではありません");
    const bool itemsOnly = own->itemsOnly;
    OrderFile joined;
    if (itemsOnly) joined = joinItemFile(std::move(second), file);
    else joined = joinItemFile(std::move(file), second);
    joined.notices.insert(joined.notices.begin(),
                          (itemsOnly ? "注文ファイル " : "商品ファイル ") + otherName + " と合わせて読み込みました");
    return joined;
}

std::string missingItemFileNotice(const PlatformLayout& itemLayout) {
    return std::string(itemLayout.name) + " のファイルがないため、品名なしで読み込みました";
}

OrderFile readOrderFiles(const std::string& path, const std::string& itemsPath, EncodingChoice choice) {
    OrderFile file = readOrderFile(readFileBytes(path), choice);
    const PlatformLayout* other = companionLayout(file);
    if (!other) return file;
    const bool itemsOnly = layoutNamed(file.layout)->itemsOnly;
    std::string otherPath = itemsOnly ? std::string() : itemsPath;
    if (otherPath.empty()) otherPath = findCompanionFile(path, *other);
    // The item file alone has no consignee: ordersOf() refuses it by name.
    if (otherPath.empty()) {
        if (!itemsOnly) file.notices.push_back(missingItemFileNotice(*other));
        return file;
    }
    return joinCompanion(std::move(file), otherPath, choice);
}

}  // namespace batch
