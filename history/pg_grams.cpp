#include "history/pg_grams.h"

#include <algorithm>

namespace store {

namespace {

// Byte offsets where the characters of a UTF-8 text start, and its end.
std::vector<std::size_t> starts(std::string_view s) {
    std::vector<std::size_t> out;
    for (std::size_t i = 0; i < s.size(); ++i)
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) out.push_back(i);
    out.push_back(s.size());
    return out;
}

void addPieces(std::string_view field, std::size_t longest, std::vector<std::string>& out) {
    const std::vector<std::size_t> at = starts(field);
    const std::size_t chars = at.size() - 1;
    for (std::size_t i = 0; i < chars; ++i)
        for (std::size_t n = 1; n <= longest && i + n <= chars; ++n)
            out.emplace_back(field.substr(at[i], at[i + n] - at[i]));
}

void distinct(std::vector<std::string>& v) {
    std::sort(v.begin(), v.end());
    v.erase(std::unique(v.begin(), v.end()), v.end());
}

}  // namespace

std::vector<std::string> rowGrams(std::string_view searchText) {
    std::vector<std::string> out;
    std::size_t from = 0;
    while (from < searchText.size()) {
        const std::size_t end = std::min(searchText.find('\x1f', from), searchText.size());
        addPieces(searchText.substr(from, end - from), 3, out);
        from = end + 1;
    }
    distinct(out);
    return out;
}

std::vector<std::string> queryGrams(std::string_view foldedQuery) {
    if (foldedQuery.empty()) return {};
    if (starts(foldedQuery).size() - 1 <= 3) return {std::string(foldedQuery)};
    std::vector<std::string> all;
    addPieces(foldedQuery, 3, all);
    std::vector<std::string> out;
    for (std::string& g : all)
        if (starts(g).size() - 1 == 3) out.push_back(std::move(g));
    distinct(out);
    return out;
}

}  // namespace store
