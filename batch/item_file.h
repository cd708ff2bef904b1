#pragma once
// A platform that writes an order's goods to a file of their own
// (Yahoo!ショッピング: the order file and the item file, joined on OrderId).
// The two are found beside each other and read as one order file.
#include <string>

#include "batch/batch_file.h"
#include "batch/platform_layouts.h"

namespace batch {

// The layout of the file that goes with this one (the item file's for an
// order file that has one, the order file's for an item file), or nullptr
// when the file stands alone.
const PlatformLayout* companionLayout(const OrderFile& file);

// A file in the folder of `path` (.csv or .txt, other than path itself)
// whose header is of that layout, or empty. Only the first files of the
// folder in name order are looked at, and none larger than an order file.
std::string findCompanionFile(const std::string& path, const PlatformLayout& companion);

// The order file with the item file's columns after its own and a row per
// item, in the order file's order (an order without items keeps its one
// row, without goods). Rows of the item file whose order number the order
// file lacks are named in a notice.
OrderFile joinItemFile(OrderFile orders, const OrderFile& items);

// The file joined with the one at otherPath, which must be of the layout
// companionLayout() names (InputError otherwise): an item file to an order
// file, or the order file an item file belongs to. The notices say which
// file was joined.
OrderFile joinCompanion(OrderFile file, const std::string& otherPath, EncodingChoice choice = EncodingChoice::Auto);

// "… のファイルがないため、品名なしで読み込みました".
std::string missingItemFileNotice(const PlatformLayout& itemLayout);

// The order file and, when its platform writes the goods apart, its item
// file: itemsPath when given, else the one found beside it. Opening the
// item file reads the order file found beside it in its place. What was
// joined, or that no item file was found, is said in the file's notices.
OrderFile readOrderFiles(const std::string& path, const std::string& itemsPath,
                         EncodingChoice choice = EncodingChoice::Auto);

}  // namespace batch
