#pragma once
// One order of a batch as the user sees and edits it: the printed fields
// as UTF-8 texts, before they are checked and turned into a waybill.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace batch {

// The editable columns of an order, in the order the batch table shows them.
enum class Col {
    Zip, Add1, Add2, Name, Tel, G1, G2, G3,
    DeliveryDate,  // "yyyy/mm/dd" (other spellings are read too)
    TimeBand,      // a carrier code ("1214") or a caption ("12-14時", "午前中")
    Special,       // words: ゴルフ スキー 空港 冷蔵 冷凍, or a cool code 1 / 2
    ShipDate,      // "yyyy/mm/dd"; empty: the batch's shipping date
    MyZip, MyAdd1, MyAdd2, My, MyTel,  // the file's sender, when it is used
    Count
};
inline constexpr std::size_t kColCount = static_cast<std::size_t>(Col::Count);

inline constexpr std::size_t idx(Col c) { return static_cast<std::size_t>(c); }

// Key of a column in JSON and saved mappings ("zip", "add1", … "my_tel").
std::string_view colKey(Col c);
// Japanese caption of a column for the table header and messages.
std::string_view colCaption(Col c);

// One item of an order as the platform lists it.
struct OrderItem {
    std::string name;
    std::string quantity;  // digits, or empty when none was given or usable
    std::string id;        // the platform's id of the order line (Amazon's order-item-id)
    friend bool operator==(const OrderItem&, const OrderItem&) = default;
};

// Something found while reading the rows of an order that the user must
// look at before it prints. It holds while the column still has the value
// it was found on (Col::Count: the whole waybill, always): correcting the
// cell clears it.
struct OrderNote {
    Col col = Col::Count;
    std::string text;   // for the user, Japanese UTF-8
    std::string value;  // the column's text when the note was made
    friend bool operator==(const OrderNote&, const OrderNote&) = default;
};

struct Order {
    int line = 0;  // line of the file where the record starts (the first row of its order)
    std::array<std::string, kColCount> text{};
    // The record has a different number of fields than the header: shown
    // as a problem, since a shifted column would print a wrong waybill.
    std::size_t fieldCount = 0, headerCount = 0;

    // The platform's order number; empty when the file has none.
    std::string orderNo;
    // The order number's cell as the file holds it (only the mark we put
    // before a formula-like text taken off): the number shown drops the
    // blanks around it, but two rows are one order only when their cells
    // are the same. Empty: orderNo is the key.
    std::string orderCell;
    // The platform's parcel within the order (楽天's 送付先ID, EC-CUBE's
    // 出荷ID): rows of one order with another one are another waybill.
    std::string shipmentId;
    // The platform layout the order file was read as ("楽天ペイ"), or empty.
    std::string platform;
    // The items of the order, in file order; their names fill the goods lines.
    std::vector<OrderItem> items;
    std::vector<OrderNote> notes;
    // Warnings the user accepted for this order (a missing telephone, for
    // instance): each holds while its column keeps the value it was
    // accepted on.
    std::vector<OrderNote> accepted;

    std::string& operator[](Col c) { return text[idx(c)]; }
    const std::string& operator[](Col c) const { return text[idx(c)]; }
};

}  // namespace batch
