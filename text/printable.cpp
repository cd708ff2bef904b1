#include "text/printable.h"

#include <cstdio>

#include "text/utf8.h"

namespace text {

namespace {

std::string hex(const char* format, unsigned value) {
    char buf[8];
    std::snprintf(buf, sizeof buf, format, value);
    return buf;
}

}  // namespace

std::string printable(std::string_view s, std::size_t maxBytes, LineEnds lineEnds) {
    const bool keep = lineEnds == LineEnds::Keep;
    std::string out;
    for (std::size_t i = 0; i < s.size();) {
        if (i >= maxBytes) {
            out += "…";
            break;
        }
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t len = utf8SequenceAt(s, i);
        if (c == '\n' || c == '\t' || c == '\r') {
            // A lone CR would send the cursor back over the line: a line end.
            out += !keep ? ' ' : c == '\t' ? '\t' : '\n';
            i += (c == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ? 2u : 1u;
        } else if (len == 0 || c < 0x20 || c == 0x7F) {
            out += hex("\\x%02X", c);
            ++i;
        } else if (c == 0xC2 && static_cast<unsigned char>(s[i + 1]) < 0xA0) {
            out += hex("\\u%04X", static_cast<unsigned char>(s[i + 1]));
            i += 2;
        } else {
            out.append(s.substr(i, len));
            i += len;
        }
    }
    return out;
}

}  // namespace text
