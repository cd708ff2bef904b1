#pragma once
// Label words that pasted consignee text carries ("お名前", "TEL", "〒" …).
#include <string>
#include <string_view>
#include <vector>

namespace transfer {

// The 46 labels in the order they are removed: longer labels before the
// shorter ones they contain.
const std::vector<std::string>& labelList();

// Every occurrence of mark removed, found left to right on whole
// characters without overlap.
std::string removeAll(std::string_view text, std::string_view mark);

// Each label in turn removed wherever it stands, trimming the left end
// after each one.
std::string stripLabels(std::string_view line);

}  // namespace transfer
