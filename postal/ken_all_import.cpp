#include "postal/ken_all_import.h"

#include <algorithm>
#include <cerrno>
#include <set>
#include <tuple>

#include "postal/postal_table.h"
#include "postal/table_format.h"
#include "store/atomic_file.h"
#include "store/file_error.h"
#include "store/file_read.h"
#include "text/sjis.h"
#include "text/sjis_convert.h"

namespace postal {

namespace {

// Japan Post's full file is about 18 MB; anything far beyond is not one.
constexpr std::size_t kMaxCsvBytes = 256u << 20;

// Japan Post splits a town that is too long for one row over the next few
// rows of the same code; none of theirs takes more than a handful.
constexpr std::size_t kMaxContinuedRows = 16;

std::string sj(std::string_view utf8) { return sjis::fromUtf8(utf8).value_or(std::string()); }

struct Words {
    std::string notListed = sj("以下に掲載がない場合");
    std::string nextTo = sj("の次に");
    std::string comes = sj("がくる場合");
    std::string whole = sj("一円");
    std::string open = sj("（");
    std::string close = sj("）");
    std::string floor = sj("階");
};
const Words& words() {
    static const Words w;
    return w;
}

std::string message(std::string_view fileName, std::size_t line, std::string_view what) {
    return std::string(fileName) + " " + std::to_string(line) + "行目: " + std::string(what);
}

// One CSV record: its fields and the line it starts on.
struct Record {
    std::vector<std::string> fields;
    std::size_t line = 0;
};

// Splits CSV text into records. Fields may be quoted ("" is a quote inside
// one). A quote or comma byte never occurs inside a Shift-JIS double-byte
// character, so the bytes can be scanned directly.
std::vector<Record> readCsv(std::string_view text, std::string_view fileName) {
    std::vector<Record> records;
    // An end-of-file mark (Ctrl-Z) left by old DOS tools ends the data.
    if (!text.empty() && text.back() == '\x1A') text.remove_suffix(1);
    std::size_t line = 1;
    std::size_t pos = 0;
    while (pos < text.size()) {
        Record r;
        r.line = line;
        std::string field;
        bool quoted = false;
        bool wasQuoted = false;
        for (;;) {
            if (pos == text.size()) {
                if (quoted) throw ImportError(message(fileName, r.line, "引用符が閉じていません"), r.line);
                r.fields.push_back(std::move(field));
                break;
            }
            const char c = text[pos++];
            if (quoted) {
                if (c == '"') {
                    if (pos < text.size() && text[pos] == '"') {
                        field += '"';
                        ++pos;
                    } else {
                        quoted = false;
                    }
                } else {
                    if (c == '\n') ++line;
                    field += c;
                }
            } else if (c == '"' && field.empty() && !wasQuoted) {
                quoted = wasQuoted = true;
            } else if (c == ',') {
                r.fields.push_back(std::move(field));
                field.clear();
                wasQuoted = false;
            } else if (c == '\r' || c == '\n') {
                if (c == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
                ++line;
                r.fields.push_back(std::move(field));
                break;
            } else if (wasQuoted) {
                throw ImportError(message(fileName, r.line, "引用符の後に余分な文字があります"), r.line);
            } else {
                field += c;
            }
        }
        // A blank line carries no record.
        if (r.fields.size() == 1 && r.fields[0].empty()) continue;
        records.push_back(std::move(r));
    }
    if (records.empty()) throw ImportError(message(fileName, 1, "データがありません"), 1);
    return records;
}

bool isSevenDigits(std::string_view s) {
    return s.size() == 7 && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

void checkRecord(const Record& r, std::size_t columns, std::size_t zipColumn, std::string_view fileName) {
    if (r.fields.size() != columns)
        throw ImportError(message(fileName, r.line,
                                  "列の数が" + std::to_string(columns) + "ではありません（" +
                                      std::to_string(r.fields.size()) + "列）"),
                          r.line);
    if (!isSevenDigits(r.fields[zipColumn]))
        throw ImportError(message(fileName, r.line, "郵便番号が7桁の数字ではありません"), r.line);
    for (const std::string& f : r.fields)
        if (!sjis::isWellFormed(f) || f.size() > 0xFFFF)
            throw ImportError(message(fileName, r.line, "Shift-JISの文字として読めません"), r.line);
}

// Whether pos is where a character starts (not the trail byte of a pair).
bool isBoundary(std::string_view text, std::size_t pos) {
    std::size_t at = 0;
    while (at < pos) at += sjis::charBytes(text, at);
    return at == pos;
}

// Position of what in text at a character boundary, or npos.
std::size_t findChar(std::string_view text, std::string_view what) {
    for (std::size_t pos = 0; pos < text.size(); pos += sjis::charBytes(text, pos))
        if (text.substr(pos, what.size()) == what) return pos;
    return std::string_view::npos;
}

// Position of the last what in text at a character boundary, or npos.
std::size_t findLastChar(std::string_view text, std::string_view what) {
    std::size_t last = std::string_view::npos;
    for (std::size_t pos = 0; pos < text.size(); pos += sjis::charBytes(text, pos))
        if (text.substr(pos, what.size()) == what) last = pos;
    return last;
}

std::size_t count(std::string_view text, std::string_view what) {
    std::size_t n = 0;
    for (std::size_t pos = 0; pos < text.size(); pos += sjis::charBytes(text, pos))
        if (text.substr(pos, what.size()) == what) ++n;
    return n;
}

bool endsWith(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail &&
           isBoundary(text, text.size() - tail.size());
}

// Whether the bracket content is a high-rise's floor: full-width digits
// followed by "階" ("（１階）", "（３０階）").
bool isFloor(std::string_view inner) {
    const std::string& floor = words().floor;
    if (inner.size() <= floor.size() || !endsWith(inner, floor)) return false;
    const std::string_view digits = inner.substr(0, inner.size() - floor.size());
    if (digits.size() % 2 != 0) return false;
    for (std::size_t i = 0; i < digits.size(); i += 2)
        if (digits[i] != '\x82' || digits[i + 1] < '\x4F' || digits[i + 1] > '\x58') return false;
    return true;
}

struct CleanTown {
    std::string town;
    bool floor = false;  // the bracket held a floor, kept without brackets
};

// The town as an address begins with it (see readKenAll).
CleanTown cleanTown(const std::string& town) {
    const Words& w = words();
    if (town == w.notListed) return {};
    if (endsWith(town, w.comes) && findChar(town, w.nextTo) != std::string::npos) return {};
    if (town != w.whole && endsWith(town, w.whole)) return {};
    const std::size_t open = findChar(town, w.open);
    if (open == std::string::npos) return {town, false};
    CleanTown out{town.substr(0, open), false};
    const std::size_t close = findLastChar(town, w.close);
    if (close != std::string::npos && close > open) {
        const std::string_view inner =
            std::string_view(town).substr(open + w.open.size(), close - open - w.open.size());
        if (isFloor(inner)) {
            out.town += inner;
            out.floor = true;
        }
    }
    return out;
}

// The reading, cleaned the same way (its brackets are half-width).
std::string cleanKana(const std::string& kana, const CleanTown& town) {
    if (town.town.empty()) return {};
    // Searched by characters: a stray lead byte before "(" takes it as
    // its second byte, and cutting there would leave half a character.
    const std::size_t open = findChar(kana, "(");
    if (open == std::string::npos) return kana;
    std::string out = kana.substr(0, open);
    const std::size_t close = findLastChar(kana, ")");
    if (town.floor && close != std::string::npos && close > open) out += kana.substr(open + 1, close - open - 1);
    return out;
}

}  // namespace

std::vector<TableRow> readKenAll(std::string_view csv, std::string_view fileName) {
    const std::vector<Record> records = readCsv(csv, fileName);
    const Words& w = words();
    std::vector<TableRow> rows;
    std::set<std::tuple<std::string, std::string, std::string>> seen;  // code, city, town
    for (std::size_t i = 0; i < records.size(); ++i) {
        const Record& r = records[i];
        checkRecord(r, 15, 2, fileName);
        std::string town = r.fields[8];
        std::string kana = r.fields[5];
        // A long town is split over the following rows of the same code;
        // its bracket stays open until the last of them. The brackets are
        // counted piece by piece, and a bracket that has not closed after
        // kMaxContinuedRows rows is left open: a file that never closes it
        // must not make joining take time quadratic in its length.
        std::size_t opened = count(town, w.open);
        std::size_t closed = count(town, w.close);
        for (std::size_t joined = 1; opened > closed && joined < kMaxContinuedRows && i + 1 < records.size() &&
                                     records[i + 1].fields.size() == 15 && records[i + 1].fields[2] == r.fields[2];
             ++joined) {
            checkRecord(records[++i], 15, 2, fileName);
            const std::string& piece = records[i].fields[8];
            opened += count(piece, w.open);
            closed += count(piece, w.close);
            town += piece;
            kana += records[i].fields[5];
        }
        TableRow row;
        row.zip = r.fields[2];
        row.prefKana = r.fields[3];
        row.cityKana = r.fields[4];
        row.pref = r.fields[6];
        row.city = r.fields[7];
        if (row.pref.empty() || row.city.empty())
            throw ImportError(message(fileName, r.line, "都道府県名か市区町村名が空です"), r.line);
        const CleanTown clean = cleanTown(town);
        row.town = clean.town;
        row.townKana = cleanKana(kana, clean);
        if (!seen.insert({row.zip, row.city, row.town}).second) continue;
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<TableRow> readJigyosyo(std::string_view csv, std::string_view fileName) {
    const std::vector<Record> records = readCsv(csv, fileName);
    std::vector<TableRow> rows;
    rows.reserve(records.size());
    for (const Record& r : records) {
        checkRecord(r, 13, 7, fileName);
        TableRow row;
        row.zip = r.fields[7];
        row.pref = r.fields[3];
        row.city = r.fields[4];
        row.town = r.fields[5] + r.fields[6];
        row.office = r.fields[2];
        row.business = true;
        if (row.pref.empty() || row.city.empty())
            throw ImportError(message(fileName, r.line, "都道府県名か市区町村名が空です"), r.line);
        rows.push_back(std::move(row));
    }
    return rows;
}

namespace {

std::string readInput(const std::string& path) {
    std::string bytes;
    const int err = readFileCapped(path, kMaxCsvBytes, bytes);
    if (err != 0) throw FileError(err, path + ": " + systemErrorText(err));
    return bytes;
}

std::string baseName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::size_t importTable(const std::string& kenAllPath, const std::string& jigyosyoPath, const std::string& outPath) {
    std::vector<TableRow> rows = readKenAll(readInput(kenAllPath), baseName(kenAllPath));
    if (!jigyosyoPath.empty()) {
        std::vector<TableRow> business = readJigyosyo(readInput(jigyosyoPath), baseName(jigyosyoPath));
        rows.insert(rows.end(), std::make_move_iterator(business.begin()), std::make_move_iterator(business.end()));
    }
    std::string table;
    try {
        table = encodeTable(rows);
    } catch (const std::invalid_argument& e) {
        throw ImportError(e.what(), 0);
    }
    // A table the reader would refuse (over its size limit, or failing its
    // checks) is refused here, before the old one is replaced by it.
    if (table.size() > format::kMaxFileBytes)
        throw ImportError("郵便番号データが大きすぎます (" + std::to_string(format::kMaxFileBytes >> 20) + "MBまで)", 0);
    try {
        (void)Table(table);
    } catch (const TableError& e) {
        throw ImportError(e.what(), 0);
    }
    // The new table replaces the old one whole or not at all.
    writeFileAtomically(outPath, table);
    return rows.size();
}

}  // namespace postal
