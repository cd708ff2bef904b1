#include "batch/csv_reader.h"

#include <algorithm>

#include "batch/record_splitter.h"
#include "text/sjis.h"
#include "text/sjis_convert.h"
#include "text/utf8.h"

namespace batch {

InputError::InputError(int line, const std::string& message)
    : std::runtime_error(std::to_string(line) + "行目: " + message), line_(line) {}

namespace {

// The line of a byte offset: CR LF, LF and a lone CR each end a line, as
// the record splitter reads them.
int lineAt(std::string_view s, std::size_t pos) {
    int line = 1;
    const std::size_t end = std::min(pos, s.size());
    for (std::size_t i = 0; i < end; ++i) {
        if (s[i] == '\n' || (s[i] == '\r' && (i + 1 >= s.size() || s[i + 1] != '\n'))) ++line;
    }
    return line;
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

// The bytes read as CP932; `badLine` names the first line that is not
// CP932 (0 when all of it is), `unmapped` tells a sequence without a
// character from one that is not CP932 at all.
struct Cp932Reading {
    std::string utf8;
    int badLine = 0;
    bool unmapped = false;
};

Cp932Reading readCp932(std::string_view bytes) {
    Cp932Reading r;
    if (const std::size_t bad = firstBadCp932(bytes); bad != std::string_view::npos) {
        r.badLine = lineAt(bytes, bad);
        return r;
    }
    r.utf8 = sjis::toUtf8(bytes);
    // CP932 has no U+FFFD: one in the result is a sequence without a mapping.
    if (const std::size_t bad = r.utf8.find("\xEF\xBF\xBD"); bad != std::string::npos) {
        r.badLine = lineAt(r.utf8, bad);
        r.unmapped = true;
    }
    return r;
}

// True when most non-ASCII characters of the CP932 bytes are half-width
// katakana or JIS level-2 kanji and beyond (lead byte 0x98 and up): what
// UTF-8 text looks like when it is read as CP932.
bool mostlyRareWhenCp932(std::string_view bytes) {
    std::size_t rare = 0, all = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) continue;
        ++all;
        if (c >= 0xA1 && c <= 0xDF) {
            ++rare;
            continue;
        }
        if (i + 1 < bytes.size() && (c << 8 | static_cast<unsigned char>(bytes[i + 1])) >= 0x989F) ++rare;
        ++i;
    }
    return rare * 2 > all;
}

bool hasNonAscii(std::string_view bytes) {
    return std::any_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

}  // namespace

DecodedText decodeText(std::string_view bytes, EncodingChoice choice) {
    if (bytes.size() > kMaxFileBytes)
        throw InputError(1, "ファイルが大きすぎます (" + std::to_string(kMaxFileMegabytes) + "MBまで)");
    DecodedText out;
    if (choice != EncodingChoice::Cp932 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        bytes.remove_prefix(3);
        out.encoding = Encoding::Utf8Bom;
    }
    checkControls(bytes);
    if (!bytes.empty() && bytes.back() == '\x1A') bytes.remove_suffix(1);
    if (choice != EncodingChoice::Cp932) {
        const std::size_t badUtf8 = text::firstBadUtf8(bytes);
        if (badUtf8 == std::string_view::npos) {
            out.utf8.assign(bytes);
            if (choice == EncodingChoice::Utf8 || out.encoding == Encoding::Utf8Bom || !hasNonAscii(bytes)) return out;
            Cp932Reading other = readCp932(bytes);
            if (other.badLine != 0) return out;
            out.ambiguous = true;
            if (!mostlyRareWhenCp932(bytes)) {
                out.encoding = Encoding::Cp932;
                out.utf8 = std::move(other.utf8);
            }
            return out;
        }
        if (out.encoding == Encoding::Utf8Bom || choice == EncodingChoice::Utf8)
            throw InputError(lineAt(bytes, badUtf8), "UTF-8として読めない文字があります");
    }
    // Not UTF-8, or CP932 by choice: the bytes must be CP932 throughout.
    Cp932Reading cp932 = readCp932(bytes);
    if (cp932.unmapped || (cp932.badLine != 0 && choice == EncodingChoice::Cp932))
        throw InputError(cp932.badLine, "Shift-JISとして読めない文字があります");
    if (cp932.badLine != 0)
        throw InputError(cp932.badLine, "文字コードを判別できません (UTF-8でもShift-JISでもありません)");
    out.encoding = Encoding::Cp932;
    out.utf8 = std::move(cp932.utf8);
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

std::vector<Record> parseRecords(std::string_view s, char delim) { return RecordSplitter(s, delim).all(); }

}  // namespace batch
