#include "print/core/form_items.h"

#include <cstddef>

namespace print {

namespace {

using F = FormItem;

// The layout's positions (u, v) and sizes, with the area each item may fill.
//
// The areas are our own model of the form, derived from the positions alone,
// not measured from the carrier's artwork:
// - right: where the next item on the same line begins. The form falls into
//   three columns: the consignee and sender block on the left, the shipment
//   column from u = 560 (dates, time band, special handling) and the goods
//   from u = 810. So the last postal-code box and every address, name and
//   telephone line end at 560; the date boxes end where the next box or the
//   goods column begins; the time-band marks end at the special-handling
//   column (655); goods lines run to the form's right edge.
// - bottom: where the next line below begins (the postal codes end at the
//   first address line, 80 and 380; a time band at the next band, 40 lower),
//   and the form's bottom edge for the last line of a column.
// A mark's area is its box: the step to the neighbouring box.
constexpr FormItemSpec kItems[] = {
    {F::Zip1, "zip1", 14, 190, 30, 235, 80},
    {F::Zip2, "zip2", 14, 235, 30, 280, 80},
    {F::Zip3, "zip3", 14, 280, 30, 350, 80},
    {F::Zip4, "zip4", 14, 350, 30, 399, 80},
    {F::Zip5, "zip5", 14, 399, 30, 448, 80},
    {F::Zip6, "zip6", 14, 448, 30, 497, 80},
    {F::Zip7, "zip7", 14, 497, 30, 560, 80},
    {F::ShipYear, "date_year", 10, 560, 38, 630, 96},
    {F::ShipMonth, "date_month", 10, 630, 38, 690, 96},
    {F::ShipDay, "date_day", 10, 690, 38, 810, 96},
    {F::DeliveryYear, "de1", 10, 560, 96, 630, 156},
    {F::DeliveryMonth, "de2", 10, 630, 96, 690, 156},
    {F::DeliveryDay, "de3", 10, 690, 96, 810, 156},
    {F::Add1, "add1", 10, 180, 80, 560, 140},
    {F::Add2, "add2", 10, 180, 140, 560, 240},
    {F::Goods1, "g1", 10, 810, 160, kFormWidth, 190},
    {F::Goods2, "g2", 10, 810, 190, kFormWidth, 220},
    {F::Goods3, "g3", 10, 810, 220, kFormWidth, kFormHeight},
    {F::Name, "name", 10, 180, 240, 560, 290},
    {F::Tel, "tel", 10, 245, 290, 560, 325},
    {F::MyZip1, "my_zip1", 14, 190, 325, 235, 380},
    {F::MyZip2, "my_zip2", 14, 235, 325, 280, 380},
    {F::MyZip3, "my_zip3", 14, 280, 325, 350, 380},
    {F::MyZip4, "my_zip4", 14, 350, 325, 399, 380},
    {F::MyZip5, "my_zip5", 14, 399, 325, 448, 380},
    {F::MyZip6, "my_zip6", 14, 448, 325, 497, 380},
    {F::MyZip7, "my_zip7", 14, 497, 325, 560, 380},
    {F::MyAdd1, "my_add1", 10, 180, 380, 560, 420},
    {F::MyAdd2, "my_add2", 10, 180, 420, 560, 485},
    {F::MyName, "my_name", 10, 180, 485, 560, 520},
    {F::MyTel, "my_tel", 12, 255, 520, 560, kFormHeight},
    {F::TimeBand1, "time_band1", 18, 560, 156, 655, 196},
    {F::TimeBand2, "time_band2", 18, 560, 196, 655, 236},
    {F::TimeBand3, "time_band3", 18, 560, 236, 655, 276},
    {F::TimeBand4, "time_band4", 18, 560, 276, 655, 316},
    {F::TimeBand5, "time_band5", 18, 560, 316, 655, 356},
    {F::TimeBand6, "time_band6", 18, 560, 356, 655, 396},
    {F::Golf, "special1", 14, 655, 250, 695, 300},
    {F::Ski, "special2", 14, 695, 250, 735, 300},
    {F::Airport, "special3", 14, 655, 300, 695, 350},
    {F::Chilled, "special4", 14, 655, 350, 695, 400},
    {F::Frozen, "special5", 14, 695, 350, 735, 400},
};

constexpr bool inOrder() {
    for (std::size_t i = 0; i < std::size(kItems); ++i)
        if (static_cast<std::size_t>(kItems[i].item) != i) return false;
    return std::size(kItems) == static_cast<std::size_t>(F::Count);
}
static_assert(inOrder(), "one entry per item, in FormItem order");

}  // namespace

std::span<const FormItemSpec> formItems() { return kItems; }

const FormItemSpec& formItem(FormItem item) { return kItems[static_cast<std::size_t>(item)]; }

}  // namespace print
