#include "store/ini_text.h"

#include <cstring>

#include "text/sjis.h"

namespace ini {
namespace {

// One line of the text: [begin, end) is its content without the line end;
// next is where the following line starts.
struct Line {
    std::size_t begin = 0, end = 0, next = 0;
};

// Splits at LF; a CR right before the LF is not content. A CR elsewhere is
// content (and, at a name's or value's end, trimmed like any blank).
Line lineAt(std::string_view text, std::size_t pos) {
    const void* lf = std::memchr(text.data() + pos, '\n', text.size() - pos);
    Line l;
    l.begin = pos;
    if (!lf) {
        l.end = l.next = text.size();
        return l;
    }
    const auto at = static_cast<std::size_t>(static_cast<const char*>(lf) - text.data());
    l.end = (at > pos && text[at - 1] == '\r') ? at - 1 : at;
    l.next = at + 1;
    return l;
}

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// The section name of a header line, or nullopt when the line is no
// header. The name runs to the first "]" that is a character of its own
// (a trail byte 0x5D inside a double-byte character does not close it).
std::optional<std::string_view> sectionName(std::string_view content) {
    std::string_view t = sjis::trimView(content);
    if (t.empty() || t.front() != '[') return std::nullopt;
    t.remove_prefix(1);
    for (std::size_t i = 0; i < t.size(); i += sjis::charBytes(t, i))
        if (t[i] == ']') return t.substr(0, i);
    return t;
}

// The key and raw value of a "key=value" line, or nullopt. "=" (0x3D) is
// never a trail byte, so a plain search is safe.
struct KeyLine {
    std::string_view key, value;
};
std::optional<KeyLine> keyLine(std::string_view content) {
    const std::size_t eq = content.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    return KeyLine{content.substr(0, eq), content.substr(eq + 1)};
}

std::string withoutLineBreaks(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (char c : s)
        if (c != '\r' && c != '\n') out += c;
    return out;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<std::int32_t> parseHex(std::string_view digits) {
    if (digits.empty()) return std::nullopt;
    std::uint64_t v = 0;
    for (char c : digits) {
        const int d = hexDigit(c);
        if (d < 0) return std::nullopt;
        v = v * 16 + static_cast<unsigned>(d);
        if (v > 0xFFFFFFFFu) return std::nullopt;
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
}

std::optional<std::int32_t> parseDecimal(std::string_view s) {
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    if (s.empty()) return std::nullopt;
    const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
    std::int64_t v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
        if (v > limit) return std::nullopt;
    }
    return static_cast<std::int32_t>(negative ? -v : v);
}

}  // namespace

bool namesMatch(std::string_view a, std::string_view b) {
    a = sjis::trimView(a);
    b = sjis::trimView(b);
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size();) {
        const std::size_t n = sjis::charBytes(a, i);
        if (n != sjis::charBytes(b, i)) return false;
        if (n == 2) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
        } else if (lower(a[i]) != lower(b[i])) {
            return false;
        }
        i += n;
    }
    return true;
}

std::optional<std::string_view> findRawValue(std::string_view text, std::string_view section, std::string_view key) {
    bool inSection = false, seenSection = false;
    for (std::size_t pos = 0; pos < text.size();) {
        const Line l = lineAt(text, pos);
        pos = l.next;
        const std::string_view content = text.substr(l.begin, l.end - l.begin);
        if (auto name = sectionName(content)) {
            // Only the first section of that name counts.
            if (seenSection) return std::nullopt;
            inSection = namesMatch(*name, section);
            seenSection = inSection;
            continue;
        }
        if (!inSection) continue;
        if (auto kv = keyLine(content); kv && namesMatch(kv->key, key)) return kv->value;
    }
    return std::nullopt;
}

std::string cleanValue(std::string_view raw) {
    std::string_view v = sjis::trimView(raw);
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return std::string(sjis::prefixBytes(v, kMaxValueBytes));
}

std::optional<std::int32_t> parseInteger(std::string_view value) {
    if (value.size() > 2 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X')) return parseHex(value.substr(2));
    if (!value.empty() && value.front() == '$') return parseHex(value.substr(1));
    return parseDecimal(value);
}

std::string withValue(std::string_view text, std::string_view sectionIn, std::string_view keyIn,
                      std::string_view valueIn) {
    const std::string section = withoutLineBreaks(sectionIn), key = withoutLineBreaks(keyIn);
    const std::string newLine = key + "=" + withoutLineBreaks(valueIn);

    bool inSection = false, seenSection = false;
    // Where a new key of the section goes: after its last key line, or
    // after its header while it has none.
    std::size_t insertAt = std::string_view::npos;
    for (std::size_t pos = 0; pos < text.size();) {
        const Line l = lineAt(text, pos);
        pos = l.next;
        const std::string_view content = text.substr(l.begin, l.end - l.begin);
        if (auto name = sectionName(content)) {
            if (seenSection) break;
            inSection = namesMatch(*name, section);
            seenSection = inSection;
            if (inSection) insertAt = l.next;
            continue;
        }
        if (!inSection) continue;
        if (auto kv = keyLine(content)) {
            if (namesMatch(kv->key, key)) {
                std::string out(text.substr(0, l.begin));
                out += newLine;
                out += text.substr(l.end);
                return out;
            }
            insertAt = l.next;
        }
    }

    std::string out(text);
    // The last line may lack its line end; it gets one before anything is
    // added after it.
    const bool openLastLine = !out.empty() && out.back() != '\n';
    if (insertAt == std::string_view::npos) {
        if (openLastLine) out += "\r\n";
        out += "[" + section + "]\r\n" + newLine + "\r\n";
        return out;
    }
    if (insertAt == text.size() && openLastLine) {
        out += "\r\n" + newLine + "\r\n";
        return out;
    }
    out.insert(insertAt, newLine + "\r\n");
    return out;
}

}  // namespace ini
