#pragma once
// The order files of the shops' sales platforms, recognised by their
// header. Each layout is a row of one table: the columns that identify it
// and the few columns whose meaning differs from what their header says
// (Shopify's "Name" is the order number, not a person).
#include <string>
#include <string_view>
#include <vector>

#include "batch/mapping.h"

namespace batch {

struct LayoutColumn {
    std::string_view key;  // headerKey() of the column
    Target target;
};

struct PlatformLayout {
    std::string_view name;                   // for the user and JSON: "Shopify"
    std::vector<std::string_view> identify;  // headerKey()s that must all be there
    std::vector<LayoutColumn> columns;       // targets that replace the recognised ones
};

// Every layout the reader knows.
const std::vector<PlatformLayout>& platformLayouts();

// The layout whose identifying columns the header has, or nullptr.
const PlatformLayout* recogniseLayout(const std::vector<std::string>& header);

// Puts the layout's own column meanings into a mapping of that header.
void applyLayout(const PlatformLayout& layout, const std::vector<std::string>& header, Mapping& mapping);

// "Shopify の注文ファイルとして読み込みました".
std::string layoutNotice(std::string_view layoutName);

}  // namespace batch
