#include "batch/mapping.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include "batch/address_join.h"
#include "batch/header_recognition.h"
#include "batch/platform_layouts.h"
#include "store/atomic_file.h"
#include "store/csv_field.h"
#include "store/file_read.h"
#include "text/printable.h"

namespace batch {

namespace {

struct TargetInfo {
    Target target;
    std::string_view key, caption;
};
constexpr TargetInfo kTargets[] = {
    {Target::None, "-", "(使わない)"},
    {Target::Zip, "zip", "郵便番号"},
    {Target::Address, "address", "住所"},
    {Target::Address2, "address2", "住所2"},
    {Target::Pref, "pref", "都道府県"},
    {Target::City, "city", "市区町村"},
    {Target::Street, "street", "番地"},
    {Target::Building, "building", "建物名"},
    {Target::Name, "name", "おなまえ"},
    {Target::Company, "company", "会社名"},
    {Target::Department, "department", "部署名"},
    {Target::Honorific, "honorific", "敬称"},
    {Target::Tel, "tel", "でんわ"},
    {Target::G1, "g1", "品名1"},
    {Target::G2, "g2", "品名2"},
    {Target::G3, "g3", "品名3"},
    {Target::DeliveryDate, "delivery_date", "お届け日"},
    {Target::TimeBand, "time_band", "時間帯"},
    {Target::Special, "special", "特殊取扱"},
    {Target::ShipDate, "ship_date", "出荷日"},
    {Target::OrderNo, "order", "注文番号"},
    {Target::OrderItemId, "order_item", "注文商品ID"},
    {Target::Quantity, "quantity", "数量"},
    {Target::Family, "family", "姓"},
    {Target::ShipmentId, "shipment", "送付先ID"},
    {Target::ItemKind, "item_kind", "明細区分"},
    {Target::MyZip, "my_zip", "ご依頼主郵便番号"},
    {Target::MyAddress, "my_address", "ご依頼主住所"},
    {Target::MyBuilding, "my_building", "ご依頼主建物名"},
    {Target::MyName, "my_name", "ご依頼主名"},
    {Target::MyTel, "my_tel", "ご依頼主でんわ"},
};
static_assert(std::size(kTargets) == static_cast<std::size_t>(Target::Count));

// A cell's line breaks and tabs become blanks: a form line holds one line.
std::string oneLine(std::string s) {
    std::replace_if(s.begin(), s.end(), [](char c) { return c == '\n' || c == '\r' || c == '\t'; }, ' ');
    return s;
}

std::string trimAscii(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
    return std::string(s.substr(b, e - b));
}

std::string join(std::initializer_list<std::string_view> parts, std::string_view sep) {
    std::string out;
    for (std::string_view p : parts) {
        if (p.empty()) continue;
        if (!out.empty()) out += sep;
        out += p;
    }
    return out;
}

// Joins address parts in order; a part that already begins with what came
// before it (an address column that repeats the 都道府県) replaces it.
std::string joinParts(std::initializer_list<std::string_view> parts) {
    std::string out;
    for (std::string_view p : parts) {
        if (p.empty()) continue;
        if (!out.empty() && p.substr(0, out.size()) == out) out = p;
        else out += p;
    }
    return out;
}

// A mapping file's text, or the refusal: too large, not a plain file (a
// pipe, a device), or not readable.
std::string checkedMappingText(int err, const std::string& path, std::string&& text) {
    if (err == EFBIG)
        throw InputError(1, "対応表のファイルが大きすぎます (" + std::to_string(kMaxMappingBytes / 1024) + "KBまで)");
    if (err == EINVAL) throw FileError(err, path + ": 通常のファイルではありません");
    if (err != 0) throw FileError(err, path + ": " + systemErrorText(err));
    return std::move(text);
}

std::string mappingPath(const std::string& base, const std::string& name) {
    return base + "/" + kMappingFolder + "/" + name + ".txt";
}

}  // namespace

std::string_view targetKey(Target t) { return kTargets[static_cast<std::size_t>(t)].key; }
std::string_view targetCaption(Target t) { return kTargets[static_cast<std::size_t>(t)].caption; }

std::optional<Target> targetFromKey(std::string_view key) {
    for (const TargetInfo& i : kTargets)
        if (i.key == key) return i.target;
    return std::nullopt;
}

std::string normaliseHeader(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        // U+FF01..U+FF5E (full-width ASCII) is EF BC 81..EF BD 9E.
        if (c == 0xEF && i + 2 < s.size()) {
            const auto c1 = static_cast<unsigned char>(s[i + 1]);
            const auto c2 = static_cast<unsigned char>(s[i + 2]);
            unsigned cp = 0;
            if (c1 == 0xBC && c2 >= 0x81 && c2 <= 0xBF) cp = 0xFF00u + (c2 - 0x80u);
            else if (c1 == 0xBD && c2 >= 0x80 && c2 <= 0x9E) cp = 0xFF40u + (c2 - 0x80u);
            if (cp != 0) {
                const auto a = static_cast<char>(cp - 0xFEE0u);
                if (a != '_' && a != '-') out += static_cast<char>(a >= 'A' && a <= 'Z' ? a - 'A' + 'a' : a);
                i += 3;
                continue;
            }
        }
        if (s.substr(i, 3) == "\xE3\x80\x80") {  // U+3000, the full-width blank
            i += 3;
            continue;
        }
        if (c == ' ' || c == '\t' || c == '_' || c == '-' || c == '"') {
            ++i;
            continue;
        }
        out += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        ++i;
    }
    return out;
}

Mapping guessMapping(const std::vector<std::string>& header, bool fileSender) {
    Mapping m = recogniseColumns(header, fileSender);
    if (const PlatformLayout* layout = recogniseLayout(header)) applyLayout(*layout, header, m);
    return m;
}

bool isB2Header(const std::vector<std::string>& header) {
    int found = 0;
    for (const std::string& h : header) {
        const std::string n = normaliseHeader(h);
        if (n == "お届け先郵便番号" || n == "お届け先住所" || n == "お届け先名" || n == "お届け予定(指定)日") ++found;
    }
    return found == 4;
}

bool hasConsigneeColumn(const Mapping& m) {
    return std::any_of(m.begin(), m.end(), [](Target t) {
        return t == Target::Zip || t == Target::Address || t == Target::Pref || t == Target::City ||
               t == Target::Street || t == Target::Name || t == Target::Family || t == Target::Tel;
    });
}

namespace {

// A cell added to what earlier columns of the same field gave: the parts
// of a postal code or telephone number with hyphens, the sender's name and
// address parts as the consignee's are joined; other fields take their
// first cell that is not empty.
void addCell(Target t, std::string& slot, const std::string& cell) {
    switch (t) {
    case Target::Zip:
    case Target::Tel:
    case Target::MyZip:
    case Target::MyTel: slot = join({slot, cell}, "-"); break;
    case Target::Special:
    case Target::MyBuilding: slot = join({slot, cell}, " "); break;
    case Target::MyName: slot = join({slot, cell}, "\u3000"); break;
    case Target::MyAddress: slot = joinParts({slot, cell}); break;
    // Two columns can feed one field (a header that fits two platforms'
    // layouts has two order-number columns): the first cell with a value
    // counts, an empty one never wipes it out.
    default:
        if (slot.empty()) slot = cell;
    }
}

// One person's name from a family-name column and a name column. A file
// with a full-name column and split ones (Yahoo!'s ShipName, ShipLastName,
// ShipFirstName) feeds the name with the full one: the family name it
// already begins with is not put before it again.
std::string personName(const std::string& family, const std::string& name) {
    if (!family.empty() && name.compare(0, family.size(), family) == 0) return name;
    return join({family, name}, "\u3000");
}

// An order line's kind as EC-CUBE writes it (明細区分: 1 or 商品 for goods);
// no kind column: every line is goods.
bool isGoodsLine(const std::string& kind) { return kind.empty() || kind == "1" || kind == "商品"; }

}  // namespace

Order extractOrder(const Record& record, const Mapping& m, std::size_t headerCount, std::size_t addressRoom) {
    std::array<std::string, static_cast<std::size_t>(Target::Count)> v{};
    std::string orderCell;
    for (std::size_t i = 0; i < m.size() && i < record.fields.size(); ++i) {
        if (m[i] == Target::None) continue;
        // A file we saved carries an apostrophe before formula-like texts.
        std::string cell = trimAscii(oneLine(std::string(store::withoutFormulaMark(record.fields[i]))));
        // A leading apostrophe is how a spreadsheet keeps digits as text.
        const bool digits = m[i] == Target::Zip || m[i] == Target::Tel || m[i] == Target::MyZip ||
                            m[i] == Target::MyTel;
        if (digits && !cell.empty() && cell.front() == '\'') cell.erase(0, 1);
        std::string& slot = v[static_cast<std::size_t>(m[i])];
        // The order number's own cell, as the file has it, tells orders apart.
        if (m[i] == Target::OrderNo && slot.empty() && !cell.empty())
            orderCell = store::withoutFormulaMark(record.fields[i]);
        addCell(m[i], slot, cell);
    }
    auto get = [&](Target t) -> const std::string& { return v[static_cast<std::size_t>(t)]; };

    Order o;
    o.line = record.line;
    o.fieldCount = record.fields.size();
    o.headerCount = headerCount;
    o[Col::Zip] = get(Target::Zip);
    const std::string pref = prefectureOfCode(get(Target::Pref));
    const std::string rest = join({get(Target::Address2), get(Target::Building)}, " ");
    // An address that the file gives in one column, prefecture first, is
    // placed as the form wants it; address parts in columns of their own
    // are joined.
    const bool oneField = pref.empty() && get(Target::City).empty() && get(Target::Street).empty() &&
                          std::none_of(m.begin(), m.end(), [](Target t) { return t == Target::Address2 || t == Target::Building; }) &&
                          startsWithPrefecture(get(Target::Address));
    const AddressLines lines =
        oneField ? splitOneFieldAddress(get(Target::Address), rest, addressRoom)
                 : joinAddress(joinParts({pref, get(Target::City), get(Target::Address), get(Target::Street)}), rest,
                               addressRoom);
    o[Col::Add1] = lines.add1;
    o[Col::Add2] = lines.add2;
    o[Col::Name] = join({get(Target::Company), get(Target::Department), personName(get(Target::Family), get(Target::Name)),
                         get(Target::Honorific)},
                        "\u3000");
    o[Col::Tel] = get(Target::Tel);
    o[Col::G1] = get(Target::G1);
    o[Col::G2] = get(Target::G2);
    o[Col::G3] = get(Target::G3);
    o[Col::DeliveryDate] = get(Target::DeliveryDate);
    o[Col::TimeBand] = get(Target::TimeBand);
    o[Col::Special] = get(Target::Special);
    o[Col::ShipDate] = get(Target::ShipDate);
    o[Col::MyZip] = get(Target::MyZip);
    const AddressLines my = joinAddress(get(Target::MyAddress), get(Target::MyBuilding), addressRoom);
    o[Col::MyAdd1] = my.add1;
    o[Col::MyAdd2] = my.add2;
    o[Col::My] = get(Target::MyName);
    o[Col::MyTel] = get(Target::MyTel);
    o.orderNo = get(Target::OrderNo);
    o.orderCell = std::move(orderCell);
    o.shipmentId = get(Target::ShipmentId);
    // What reading the record found (a quote running across lines) holds
    // the waybill until the user has looked at the file.
    for (const std::string& note : record.notes) o.notes.push_back({Col::Count, note, {}});
    // The row's items: a line item of a platform's file (name, quantity,
    // item id), and any further goods columns.
    // Lines that are no goods (EC-CUBE's 送料, 手数料, 割引 lines) carry none.
    if (!isGoodsLine(get(Target::ItemKind))) {
        for (Col g : {Col::G1, Col::G2, Col::G3}) o[g].clear();
        return o;
    }
    if (!o[Col::G1].empty() || !get(Target::OrderItemId).empty())
        o.items.push_back({o[Col::G1], get(Target::Quantity), get(Target::OrderItemId)});
    for (Col g : {Col::G2, Col::G3})
        if (!o[g].empty()) o.items.push_back({o[g], {}, {}});
    return o;
}

std::string mappingToText(const std::vector<std::string>& header, const Mapping& m) {
    std::string out = "# vamu_Pelican CSV mapping: header<TAB>field\n";
    // Unused columns are written too ("-"), so the text names the whole
    // header it was made for.
    for (std::size_t i = 0; i < header.size(); ++i) {
        // A header with a tab or line break cannot be written as a line; it
        // is left out and falls back to the guess next time.
        if (header[i].find_first_of("\t\r\n") != std::string::npos) continue;
        const Target t = i < m.size() ? m[i] : Target::None;
        out += trimAscii(header[i]) + "\t" + std::string(targetKey(t)) + "\n";
    }
    return out;
}

namespace {

// The lines of a saved mapping: header name and key, both trimmed. A line
// without a tab raises InputError.
template <class F>
void forEachMappingLine(std::string_view text, F&& take) {
    int line = 0;
    while (!text.empty()) {
        ++line;
        const std::size_t nl = text.find('\n');
        std::string_view l = text.substr(0, nl);
        text = nl == std::string_view::npos ? std::string_view{} : text.substr(nl + 1);
        if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
        if (l.empty() || l.front() == '#') continue;
        const std::size_t tab = l.rfind('\t');
        if (tab == std::string_view::npos) throw InputError(line, "対応表の行にタブがありません");
        take(line, trimAscii(l.substr(0, tab)), trimAscii(l.substr(tab + 1)));
    }
}

}  // namespace

Mapping mappingFromText(std::string_view text, const std::vector<std::string>& header) {
    Mapping m(header.size(), Target::None);
    // Each line takes the first column of its name not taken yet, so
    // columns of the same name keep their own fields.
    std::vector<bool> taken(header.size(), false);
    forEachMappingLine(text, [&](int line, const std::string& name, const std::string& key) {
        const auto target = targetFromKey(key);
        // The key is shown escaped: a line of the file must not drive the terminal.
        if (!target) throw InputError(line, "対応表に知らない項目があります: " + text::printable(key, 64, text::LineEnds::Blank));
        for (std::size_t i = 0; i < header.size(); ++i) {
            if (!taken[i] && trimAscii(header[i]) == name) {
                m[i] = *target;
                taken[i] = true;
                break;
            }
        }
    });
    return m;
}

bool mappingFitsHeader(std::string_view text, const std::vector<std::string>& header) {
    std::vector<std::string> saved, columns;
    try {
        forEachMappingLine(text, [&](int, const std::string& name, const std::string&) { saved.push_back(name); });
    } catch (const InputError&) {
        return false;
    }
    for (const std::string& h : header) columns.push_back(trimAscii(h));
    std::sort(saved.begin(), saved.end());
    std::sort(columns.begin(), columns.end());
    return !columns.empty() && saved == columns;
}

bool isValidMappingName(std::string_view name) {
    if (name.empty() || name.size() > 64 || name.front() == '.') return false;
    return std::none_of(name.begin(), name.end(), [](char c) {
        return c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
    });
}

std::vector<std::string> savedMappingNames(const std::string& base) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(base + "/" + kMappingFolder, ec)) {
        const std::filesystem::path& p = e.path();
        if (p.extension() == ".txt" && isValidMappingName(p.stem().string())) names.push_back(p.stem().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

void saveMapping(const std::string& base, const std::string& name, const std::string& text) {
    if (!isValidMappingName(name)) throw InputError(1, "対応表の名前に使えない文字があります");
    std::error_code ec;
    std::filesystem::create_directories(base + "/" + kMappingFolder, ec);
    if (ec) throw FileError(ec.value(), ec.message());
    writeFileAtomically(mappingPath(base, name), text);
}

std::optional<std::string> loadMapping(const std::string& base, const std::string& name) {
    if (!isValidMappingName(name)) return std::nullopt;
    std::string text;
    const std::string path = mappingPath(base, name);
    const int err = readOwnFileCapped(path, kMaxMappingBytes, text);
    if (err == ENOENT) return std::nullopt;
    return checkedMappingText(err, path, std::move(text));
}

std::string readMappingFile(const std::string& path) {
    std::string text;
    const int err = readFileCapped(path, kMaxMappingBytes, text);
    return checkedMappingText(err, path, std::move(text));
}

}  // namespace batch
