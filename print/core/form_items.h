#pragma once
// The printed items of the waybill form: where each one is drawn and at what
// size, and the area it may fill. All in form units of 1/160 inch from the
// origin of the printable area, x to the right and y down.
#include <array>
#include <cstdint>
#include <span>

namespace print {

enum class FormItem : std::uint8_t {
    Zip1, Zip2, Zip3, Zip4, Zip5, Zip6, Zip7,           // consignee postal code, one digit per box
    ShipYear, ShipMonth, ShipDay,                       // shipping date
    DeliveryYear, DeliveryMonth, DeliveryDay,           // requested delivery date
    Add1, Add2,                                         // consignee address
    Goods1, Goods2, Goods3,
    Name, Tel,                                          // consignee
    MyZip1, MyZip2, MyZip3, MyZip4, MyZip5, MyZip6, MyZip7,
    MyAdd1, MyAdd2, MyName, MyTel,                      // sender
    TimeBand1, TimeBand2, TimeBand3, TimeBand4, TimeBand5, TimeBand6,
    Golf, Ski, Airport, Chilled, Frozen,                // special handling
    Count
};

struct FormItemPlace {
    FormItem item;
    // Stable ASCII name, used in overflow reports: the command-line tool's
    // field key for an item that is a whole field ("name", "add1", "g1"),
    // with the box or part for the rest ("zip1", "date_year", "special3").
    const char* key;
    // What the user calls it, in Shift-JIS ("おなまえ"); boxes of one field
    // share their field's label.
    const char* label;
    int size;     // points
    int u, v;     // where the text's cell starts
    int right;    // the area ends before these
    int bottom;
};

// The form as modelled here: 8 × 4 inches, the feed of the 4-inch
// continuous form, room for the goods column on the right, and narrow
// enough that the calibration page fits across A4 or Letter paper.
inline constexpr int kFormWidth = 1280;
inline constexpr int kFormHeight = 640;

// One entry per item, in FormItem order.
std::span<const FormItemPlace> formItems();
const FormItemPlace& formItem(FormItem item);

}  // namespace print
