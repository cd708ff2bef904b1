// Fuzz target: untrusted text (a pasted order, a search typed or given on
// the command line) on its way into and out of the history. The input is
// split at 0x01 into name, telephone, address, goods, search text and
// completion prefix (Shift-JIS bytes, possibly malformed). Checked: keys
// and folding stay within their alphabets, a CSV field reads back as the
// text it quotes, a CSV row has all its fields, and recording, searching
// and completing never fail.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "history/history_csv.h"
#include "history/history_store.h"
#include "history/history_text.h"
#include "text/sjis_convert.h"

namespace {

// Reads one quoted CSV field at pos (RFC 4180); returns its text and moves
// pos past it.
std::string readField(std::string_view csv, std::size_t& pos) {
    if (pos >= csv.size() || csv[pos] != '"') std::abort();
    std::string out;
    for (++pos; pos < csv.size(); ++pos) {
        if (csv[pos] != '"') {
            out += csv[pos];
        } else if (pos + 1 < csv.size() && csv[pos + 1] == '"') {
            out += '"';
            ++pos;
        } else {
            ++pos;
            return out;
        }
    }
    std::abort();  // an unterminated quote
}

std::size_t fieldsOfLine(std::string_view csv, std::size_t& pos) {
    std::size_t n = 0;
    for (;;) {
        readField(csv, pos);
        ++n;
        if (csv.substr(pos, 2) == "\r\n") {
            pos += 2;
            return n;
        }
        if (pos >= csv.size() || csv[pos] != ',') std::abort();
        ++pos;
    }
}

store::HistoryStore& memoryStore() {
    static store::HistoryStore h(":memory:");
    return h;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view in(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> parts(6);
    std::size_t k = 0;
    for (const char ch : in) {
        if (ch == '\x01' && k + 1 < parts.size()) ++k;
        else parts[k] += ch;
    }

    for (const char ch : store::telKey(parts[1]))
        if (ch < '0' || ch > '9') std::abort();
    for (const char ch : store::searchFold(sjis::toUtf8(in)))
        if (static_cast<unsigned char>(ch) < 0x20 || ch == 0x7F) std::abort();

    // Every field reads back as its text (a formula gets one apostrophe).
    const std::string utf8 = sjis::toUtf8(parts[2]);
    const std::string quoted = store::csvField(utf8);
    std::size_t pos = 0;
    std::string back = readField(quoted, pos);
    if (pos != quoted.size()) std::abort();
    if (!utf8.empty() && std::string_view("=+-@\t\r").find(utf8.front()) != std::string_view::npos) {
        if (back.empty() || back.front() != '\'') std::abort();
        back.erase(0, 1);
    }
    if (back != utf8) std::abort();

    store::WaybillRecord r;
    r.consignee = {parts[1], parts[2], parts[3], parts[0], parts[1]};
    r.g1 = parts[3];
    r.printer = parts[0];
    r.time = "2026-12-07 10:00:00";
    const std::string csv = store::historyCsv(std::span(&r, 1));
    pos = 3;  // past the byte order mark
    const std::size_t header = fieldsOfLine(csv, pos);
    if (fieldsOfLine(csv, pos) != header || pos != csv.size()) std::abort();

    try {
        store::HistoryStore& h = memoryStore();
        h.record(r);
        store::HistoryQuery q;
        q.search = parts[4];
        for (const auto& found : h.list(q))
            if (found.id <= 0) std::abort();
        (void)h.complete(store::CompleteBy::Telephone, parts[5]);
        (void)h.complete(store::CompleteBy::Name, parts[5]);
        // Keep the table small over a long run.
        const auto rows = h.list({});
        std::vector<std::int64_t> ids;
        for (const auto& row : rows) ids.push_back(row.id);
        h.remove(ids);
    } catch (...) {
        std::abort();
    }
    return 0;
}
