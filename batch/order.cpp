#include "batch/order.h"

namespace batch {

namespace {
struct ColInfo {
    std::string_view key, caption;
};
constexpr ColInfo kCols[] = {
    {"zip", "郵便番号"},       {"add1", "おところ①"},     {"add2", "おところ②"},
    {"name", "おなまえ"},      {"tel", "でんわ"},         {"g1", "品名1"},
    {"g2", "品名2"},           {"g3", "品名3"},           {"delivery_date", "お届け日"},
    {"time_band", "時間帯"},   {"special", "特殊取扱"},   {"date", "出荷日"},
    {"my_zip", "ご依頼主郵便番号"}, {"my_add1", "ご依頼主おところ①"}, {"my_add2", "ご依頼主おところ②"},
    {"my_name", "ご依頼主おなまえ"}, {"my_tel", "ご依頼主でんわ"},
};
static_assert(std::size(kCols) == kColCount);
}  // namespace

std::string_view colKey(Col c) { return kCols[idx(c)].key; }
std::string_view colCaption(Col c) { return kCols[idx(c)].caption; }

}  // namespace batch
