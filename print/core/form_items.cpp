#include "print/core/form_items.h"

#include <cstddef>

namespace print {

namespace {

using F = FormItem;

// Labels in Shift-JIS.
constexpr char kZip[] = "\x97\x58\x95\xd6\x94\xd4\x8d\x86";  // 郵便番号
constexpr char kShipDate[] = "\x94\xad\x91\x97\x93\xfa";  // 発送日
constexpr char kDeliveryDate[] = "\x82\xa8\x93\xcd\x82\xaf\x93\xfa";  // お届け日
constexpr char kAdd1[] = "\x82\xa8\x82\xc6\x82\xb1\x82\xeb\x87\x40";  // おところ①
constexpr char kAdd2[] = "\x82\xa8\x82\xc6\x82\xb1\x82\xeb\x87\x41";  // おところ②
constexpr char kGoods1[] = "\x95\x69\x96\xbc\x87\x40";  // 品名①
constexpr char kGoods2[] = "\x95\x69\x96\xbc\x87\x41";  // 品名②
constexpr char kGoods3[] = "\x95\x69\x96\xbc\x87\x42";  // 品名③
constexpr char kName[] = "\x82\xa8\x82\xc8\x82\xdc\x82\xa6";  // おなまえ
constexpr char kTel[] = "\x82\xc5\x82\xf1\x82\xed";  // でんわ
constexpr char kMyZip[] = "\x82\xb2\x88\xcb\x97\x8a\x8e\xe5\x97\x58\x95\xd6\x94\xd4\x8d\x86";  // ご依頼主郵便番号
constexpr char kMyAdd1[] = "\x82\xb2\x88\xcb\x97\x8a\x8e\xe5\x82\xa8\x82\xc6\x82\xb1\x82\xeb\x87\x40";  // ご依頼主おところ①
constexpr char kMyAdd2[] = "\x82\xb2\x88\xcb\x97\x8a\x8e\xe5\x82\xa8\x82\xc6\x82\xb1\x82\xeb\x87\x41";  // ご依頼主おところ②
constexpr char kMyName[] = "\x82\xb2\x88\xcb\x97\x8a\x8e\xe5\x82\xa8\x82\xc8\x82\xdc\x82\xa6";  // ご依頼主おなまえ
constexpr char kMyTel[] = "\x82\xb2\x88\xcb\x97\x8a\x8e\xe5\x82\xc5\x82\xf1\x82\xed";  // ご依頼主でんわ
constexpr char kTimeBand[] = "\x82\xb2\x8a\xf3\x96\x5d\x8e\x9e\x8a\xd4\x91\xd1";  // ご希望時間帯
constexpr char kGolf[] = "\x83\x53\x83\x8b\x83\x74";  // ゴルフ
constexpr char kSki[] = "\x83\x58\x83\x4c\x81\x5b";  // スキー
constexpr char kAirport[] = "\x8b\xf3\x8d\x60";  // 空港
constexpr char kChilled[] = "\x97\xe2\x91\xa0";  // 冷蔵
constexpr char kFrozen[] = "\x97\xe2\x93\x80";  // 冷凍

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
constexpr FormItemPlace kItems[] = {
    {F::Zip1, "zip1", kZip, 14, 190, 30, 235, 80},
    {F::Zip2, "zip2", kZip, 14, 235, 30, 280, 80},
    {F::Zip3, "zip3", kZip, 14, 280, 30, 350, 80},
    {F::Zip4, "zip4", kZip, 14, 350, 30, 399, 80},
    {F::Zip5, "zip5", kZip, 14, 399, 30, 448, 80},
    {F::Zip6, "zip6", kZip, 14, 448, 30, 497, 80},
    {F::Zip7, "zip7", kZip, 14, 497, 30, 560, 80},
    {F::ShipYear, "date_year", kShipDate, 10, 560, 38, 630, 96},
    {F::ShipMonth, "date_month", kShipDate, 10, 630, 38, 690, 96},
    {F::ShipDay, "date_day", kShipDate, 10, 690, 38, 810, 96},
    {F::DeliveryYear, "de1", kDeliveryDate, 10, 560, 96, 630, 156},
    {F::DeliveryMonth, "de2", kDeliveryDate, 10, 630, 96, 690, 156},
    {F::DeliveryDay, "de3", kDeliveryDate, 10, 690, 96, 810, 156},
    {F::Add1, "add1", kAdd1, 10, 180, 80, 560, 140},
    {F::Add2, "add2", kAdd2, 10, 180, 140, 560, 240},
    {F::Goods1, "g1", kGoods1, 10, 810, 160, kFormWidth, 190},
    {F::Goods2, "g2", kGoods2, 10, 810, 190, kFormWidth, 220},
    {F::Goods3, "g3", kGoods3, 10, 810, 220, kFormWidth, kFormHeight},
    {F::Name, "name", kName, 10, 180, 240, 560, 290},
    {F::Tel, "tel", kTel, 10, 245, 290, 560, 325},
    {F::MyZip1, "my_zip1", kMyZip, 14, 190, 325, 235, 380},
    {F::MyZip2, "my_zip2", kMyZip, 14, 235, 325, 280, 380},
    {F::MyZip3, "my_zip3", kMyZip, 14, 280, 325, 350, 380},
    {F::MyZip4, "my_zip4", kMyZip, 14, 350, 325, 399, 380},
    {F::MyZip5, "my_zip5", kMyZip, 14, 399, 325, 448, 380},
    {F::MyZip6, "my_zip6", kMyZip, 14, 448, 325, 497, 380},
    {F::MyZip7, "my_zip7", kMyZip, 14, 497, 325, 560, 380},
    {F::MyAdd1, "my_add1", kMyAdd1, 10, 180, 380, 560, 420},
    {F::MyAdd2, "my_add2", kMyAdd2, 10, 180, 420, 560, 485},
    {F::MyName, "my_name", kMyName, 10, 180, 485, 560, 520},
    {F::MyTel, "my_tel", kMyTel, 12, 255, 520, 560, kFormHeight},
    {F::TimeBand1, "time_band1", kTimeBand, 18, 560, 156, 655, 196},
    {F::TimeBand2, "time_band2", kTimeBand, 18, 560, 196, 655, 236},
    {F::TimeBand3, "time_band3", kTimeBand, 18, 560, 236, 655, 276},
    {F::TimeBand4, "time_band4", kTimeBand, 18, 560, 276, 655, 316},
    {F::TimeBand5, "time_band5", kTimeBand, 18, 560, 316, 655, 356},
    {F::TimeBand6, "time_band6", kTimeBand, 18, 560, 356, 655, 396},
    {F::Golf, "special1", kGolf, 14, 655, 250, 695, 300},
    {F::Ski, "special2", kSki, 14, 695, 250, 735, 300},
    {F::Airport, "special3", kAirport, 14, 655, 300, 695, 350},
    {F::Chilled, "special4", kChilled, 14, 655, 350, 695, 400},
    {F::Frozen, "special5", kFrozen, 14, 695, 350, 735, 400},
};

constexpr bool inOrder() {
    for (std::size_t i = 0; i < std::size(kItems); ++i)
        if (static_cast<std::size_t>(kItems[i].item) != i) return false;
    return std::size(kItems) == static_cast<std::size_t>(F::Count);
}
static_assert(inOrder(), "one entry per item, in FormItem order");

}  // namespace

std::span<const FormItemPlace> formItems() { return kItems; }

const FormItemPlace& formItem(FormItem item) { return kItems[static_cast<std::size_t>(item)]; }

}  // namespace print
