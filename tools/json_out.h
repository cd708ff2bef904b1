#pragma once
// A small JSON writer for the command-line tool: UTF-8 text is written as
// it is (no \u escapes beyond control characters), keys keep their order.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace json {

// A JSON string literal of UTF-8 text; each byte that is not part of valid
// UTF-8 becomes U+FFFD, so the output is always valid JSON.
std::string quote(std::string_view utf8);

// An array of already formatted JSON values.
std::string array(const std::vector<std::string>& values);

// An array of strings.
std::string stringArray(const std::vector<std::string>& utf8Items);

// One object, members in the order added.
class Object {
public:
    Object& raw(std::string_view key, std::string_view json);
    Object& string(std::string_view key, std::string_view utf8) { return raw(key, quote(utf8)); }
    Object& stringOrNull(std::string_view key, const std::optional<std::string>& utf8OrNull);
    Object& number(std::string_view key, long long value) { return raw(key, std::to_string(value)); }
    Object& boolean(std::string_view key, bool value) { return raw(key, value ? "true" : "false"); }
    std::string str() const { return text_ + "}"; }

private:
    std::string text_ = "{";
};

}  // namespace json
