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
    // The layout of the second file that carries this one's goods, joined
    // on the order number (Yahoo!ショッピング's item file); empty: none.
    std::string_view itemFile = {};
    // This is such an item file: no consignee, read only with its order file.
    bool itemsOnly = false;
};

// Every layout the reader knows.
const std::vector<PlatformLayout>& platformLayouts();

// The layouts whose identifying columns the header has, the most specific
// (most identifying columns) first, then in table order.
std::vector<const PlatformLayout*> matchingLayouts(const std::vector<std::string>& header);

// The first of matchingLayouts(), or nullptr.
const PlatformLayout* recogniseLayout(const std::vector<std::string>& header);

// The layout of that name, or nullptr.
const PlatformLayout* layoutNamed(std::string_view name);

// Puts the layout's own column meanings into a mapping of that header.
void applyLayout(const PlatformLayout& layout, const std::vector<std::string>& header, Mapping& mapping);

// "Shopify の注文ファイルとして読み込みました"; with another layout the
// header also fits, that one is named as set aside.
std::string layoutNotice(std::string_view layoutName, std::string_view otherLayout = {});

}  // namespace batch
