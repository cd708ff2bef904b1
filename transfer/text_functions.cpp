#include "transfer/text_functions.h"

#include <charconv>
#include <vector>

#include "controls/num_filter.h"
#include "text/sjis.h"

namespace {

constexpr std::string_view kWideSpace = "\x81\x40";  // "　"

bool isSpaceAt(std::string_view s, std::size_t pos, std::size_t bytes) {
    return (bytes == 1 && s[pos] == ' ') || (bytes == 2 && s.substr(pos, 2) == kWideSpace);
}

}  // namespace

std::string Space_Trim(std::string_view sjisText) {
    const std::string t = sjis::trim(sjisText);
    const std::string_view s = t;
    // Character starts are only known walking forwards.
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < s.size(); i += sjis::charBytes(s, i)) starts.push_back(i);
    starts.push_back(s.size());
    std::size_t first = 0, last = starts.size() - 1;  // [first, last) in characters
    while (first < last && isSpaceAt(s, starts[first], starts[first + 1] - starts[first])) ++first;
    while (last > first && isSpaceAt(s, starts[last - 1], starts[last] - starts[last - 1])) --last;
    return std::string(s.substr(starts[first], starts[last] - starts[first]));
}

std::string Num_Reading(std::string_view sjisText) {
    // The numeric control's own normaliser, default properties: one rule
    // for the control and the transfer.
    return numedit::StripLeadingZeros(numedit::FilterText(sjisText, numedit::FilterOptions{}), false);
}

int Str_ToInt0(std::string_view text) {
    std::string_view digits = text;
    if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) digits.remove_prefix(1);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) return 0;
    const char* begin = text.data() + (text.front() == '+' ? 1 : 0);
    int value = 0;
    const auto [end, ec] = std::from_chars(begin, text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() ? value : 0;
}
