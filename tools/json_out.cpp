#include "tools/json_out.h"

#include <cstdio>

#include "text/utf8.h"

namespace json {

std::string quote(std::string_view utf8) {
    std::string out = "\"";
    out.reserve(utf8.size() + 2);
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        const std::size_t len = text::utf8SequenceAt(utf8, i);
        if (len == 0) {
            // A byte that is no part of UTF-8 (a file or an argument in
            // another encoding) would make the whole output invalid JSON.
            out += "\xEF\xBF\xBD";  // U+FFFD
            ++i;
            continue;
        }
        if (len > 1) {
            out.append(utf8.substr(i, len));
            i += len;
            continue;
        }
        ++i;
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    return out + "\"";
}

std::string array(const std::vector<std::string>& values) {
    std::string out = "[";
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i) out += ",";
        out += values[i];
    }
    return out + "]";
}

std::string stringArray(const std::vector<std::string>& utf8Items) {
    std::vector<std::string> quoted;
    quoted.reserve(utf8Items.size());
    for (const auto& s : utf8Items) quoted.push_back(quote(s));
    return array(quoted);
}

Object& Object::raw(std::string_view key, std::string_view json) {
    if (text_.size() > 1) text_ += ",";
    text_ += quote(key);
    text_ += ":";
    text_ += json;
    return *this;
}

Object& Object::stringOrNull(std::string_view key, const std::optional<std::string>& utf8OrNull) {
    return utf8OrNull ? string(key, *utf8OrNull) : raw(key, "null");
}

}  // namespace json
