#include "batch/csv_reader.h"

#include <algorithm>

#include "text/sjis.h"
#include "text/sjis_convert.h"

namespace batch {

InputError::InputError(int line, const std::string& message)
    : std::runtime_error(std::to_string(line) + "行目: " + message), line_(line) {}

namespace {

int lineAt(std::string_view s, std::size_t pos) {
    return 1 + static_cast<int>(std::count(s.begin(), s.begin() + static_cast<std::ptrdiff_t>(std::min(pos, s.size())), '\n'));
}

// Offset of the first byte that breaks strict UTF-8 (overlong forms,
// surrogates and code points past U+10FFFF included), or npos.
std::size_t firstBadUtf8(std::string_view s) {
    std::size_t i = 0;
    const std::size_t n = s.size();
    while (i < n) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        std::size_t len = 0;
        unsigned lo = 0x80, hi = 0xBF;  // allowed range of the second byte
        if (c >= 0xC2 && c <= 0xDF) len = 2;
        else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            if (c == 0xE0) lo = 0xA0;
            if (c == 0xED) hi = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            if (c == 0xF0) lo = 0x90;
            if (c == 0xF4) hi = 0x8F;
        } else {
            return i;
        }
        if (i + len > n) return i;
        const auto c1 = static_cast<unsigned char>(s[i + 1]);
        if (c1 < lo || c1 > hi) return i;
        for (std::size_t k = 2; k < len; ++k) {
            const auto ck = static_cast<unsigned char>(s[i + k]);
            if (ck < 0x80 || ck > 0xBF) return i;
        }
        i += len;
    }
    return std::string_view::npos;
}

// Offset of the first byte that is not part of a CP932 character, or npos.
std::size_t firstBadCp932(std::string_view s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80 || (c >= 0xA1 && c <= 0xDF)) continue;
        if (!sjis::isLeadByte(c) || i + 1 >= s.size()) return i;
        const auto t = static_cast<unsigned char>(s[i + 1]);
        if (t < 0x40 || t == 0x7F || t > 0xFC) return i;
        ++i;
    }
    return std::string_view::npos;
}

void checkControls(std::string_view s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c >= 0x20 || c == '\t' || c == '\r' || c == '\n') continue;
        // DOS-era programs end text with Ctrl+Z.
        if (c == 0x1A && i + 1 == s.size()) continue;
        if (c == 0) throw InputError(lineAt(s, i), "テキストファイルではありません (NUL文字があります)");
        throw InputError(lineAt(s, i), "テキストファイルではありません (制御文字があります)");
    }
}

}  // namespace

DecodedText decodeText(std::string_view bytes) {
    if (bytes.size() > kMaxFileBytes)
        throw InputError(1, "ファイルが大きすぎます (" + std::to_string(kMaxFileMegabytes) + "MBまで)");
    DecodedText out;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        bytes.remove_prefix(3);
        out.encoding = Encoding::Utf8Bom;
    }
    checkControls(bytes);
    if (!bytes.empty() && bytes.back() == '\x1A') bytes.remove_suffix(1);
    const std::size_t badUtf8 = firstBadUtf8(bytes);
    if (badUtf8 == std::string_view::npos) {
        out.utf8.assign(bytes);
        return out;
    }
    if (out.encoding == Encoding::Utf8Bom)
        throw InputError(lineAt(bytes, badUtf8), "UTF-8として読めない文字があります");
    // Not UTF-8: the bytes must then be CP932 throughout.
    const std::size_t badSjis = firstBadCp932(bytes);
    if (badSjis != std::string_view::npos)
        throw InputError(lineAt(bytes, badSjis), "文字コードを判別できません (UTF-8でもShift-JISでもありません)");
    out.encoding = Encoding::Cp932;
    out.utf8 = sjis::toUtf8(bytes);
    // CP932 has no U+FFFD: one in the result is a sequence without a mapping.
    if (const std::size_t bad = out.utf8.find("\xEF\xBF\xBD"); bad != std::string::npos)
        throw InputError(lineAt(out.utf8, bad), "Shift-JISとして読めない文字があります");
    return out;
}

char guessDelimiter(std::string_view s) {
    std::size_t tabs = 0, commas = 0;
    bool quoted = false;
    for (char c : s) {
        if (c == '"') quoted = !quoted;
        else if (!quoted && c == '\n') break;
        else if (!quoted && c == '\t') ++tabs;
        else if (!quoted && c == ',') ++commas;
    }
    return tabs > commas ? '\t' : ',';
}

std::vector<Record> parseRecords(std::string_view s, char delim) {
    std::vector<Record> records;
    Record rec;
    std::string field;
    int line = 1;
    rec.line = 1;
    bool fieldStarted = false;  // the record has content (a blank line has none)
    bool atFieldStart = true;   // nothing of the current field read yet
    std::size_t i = 0;
    const std::size_t n = s.size();

    auto endField = [&] {
        if (rec.fields.size() >= kMaxFields)
            throw InputError(rec.line, "列が多すぎます (" + std::to_string(kMaxFields) + "列まで)");
        rec.fields.push_back(std::move(field));
        field.clear();
    };
    auto endRecord = [&] {
        if (fieldStarted || !rec.fields.empty()) {
            endField();
            if (records.size() >= kMaxRecords)
                throw InputError(rec.line, "行が多すぎます (" + std::to_string(kMaxRecords) + "件まで)");
            records.push_back(std::move(rec));
        }
        rec = Record{};
        fieldStarted = false;
        atFieldStart = true;
    };

    while (i < n) {
        const char c = s[i];
        if (c == '"' && atFieldStart) {
            // Quoted field: runs to the quote that is not doubled.
            const int openLine = line;
            fieldStarted = true;
            atFieldStart = false;
            ++i;
            for (;;) {
                if (i >= n) throw InputError(openLine, "引用符 (\") が閉じていません");
                const char q = s[i];
                if (q == '"') {
                    if (i + 1 < n && s[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                if (q == '\n') ++line;
                // CR LF inside quotes is one line break of the cell.
                if (q == '\r' && i + 1 < n && s[i + 1] == '\n') {
                    ++i;
                    continue;
                }
                field += q;
                ++i;
            }
            continue;
        }
        if (c == delim) {
            endField();
            fieldStarted = true;
            atFieldStart = true;
            ++i;
            continue;
        }
        if (c == '\r' || c == '\n') {
            endRecord();
            i += (c == '\r' && i + 1 < n && s[i + 1] == '\n') ? 2u : 1u;
            ++line;
            rec.line = line;
            continue;
        }
        field += c;
        fieldStarted = true;
        atFieldStart = false;
        ++i;
    }
    endRecord();
    return records;
}

}  // namespace batch
