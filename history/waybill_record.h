#pragma once
// One printed waybill as the history keeps it, and one consignee as the
// address book keeps it. Every text is Shift-JIS (CP932) bytes, as the
// entry form holds them; the store converts at its own edge.
#include <array>
#include <cstdint>
#include <string>

namespace store {

struct Consignee {
    std::string zip;         // Edit_Zip
    std::string add1, add2;  // Edit_Add1, Edit_Add2
    std::string name;        // Edit_Custo1
    std::string tel;         // Edit_tel

    friend bool operator==(const Consignee&, const Consignee&) = default;
};

struct WaybillRecord {
    // Set by the store: the row's id once recorded (0 before).
    std::int64_t id = 0;
    // The record's own id, the same in every store that holds it: made
    // when the waybill is printed (empty: the store makes one).
    std::string uid;
    // Local time of the print, "yyyy-mm-dd hh:mm:ss"; empty when recording
    // means "now".
    std::string time;

    Consignee consignee;

    // Shipment.
    std::string date;                       // shipping date "yyyy/mm/dd"
    bool printDate = true;                  // CheckBox_Date_1
    std::string deDate1, deDate2, deDate3;  // requested delivery date yy, mm, dd
    std::string g1, g2, g3;                 // goods lines
    std::array<bool, 6> timeBand{};         // CheckBox_Pelican_1..6
    std::array<bool, 5> special{};          // CheckBox_Pelican_21..25

    // Sender.
    bool printSender = true;                // CheckBox_My
    std::string myZip, myAdd1, myAdd2, myName, myTel;

    // The print itself.
    std::string feedMode;                   // ComboBox_SEL item text
    std::string printer;                    // queue name
    std::int64_t job = 0;                   // the print service's job id (0: none known)
    // The job while the waybill is on its way to the printer: the row is
    // recorded so before the job is handed over and takes the job id once
    // the print service has it. A row a crash left so may or may not have
    // been printed.
    static constexpr std::int64_t kJobPrinting = -1;
    bool printing() const { return job == kJobPrinting; }

    // The order behind the waybill, when it came from a sales platform's
    // order file; all empty for a waybill typed on the form.
    std::string orderNo;     // the platform's order number
    // The platform's ids of the order's items with their quantities, as
    // "id:quantity" separated by blanks (Amazon's order-item-id, which its
    // shipping confirmation names).
    std::string orderItems;
    // The order file's platform layout ("楽天ペイ", "EC-CUBE"; empty before
    // it was kept), which chooses the file the shipping goes back in, and
    // the platform's id of this parcel within the order (楽天's 送付先ID,
    // EC-CUBE's 出荷ID) that the file names.
    std::string platform;
    std::string shipment;
    // 伝票番号: the twelve digits of the form the waybill went onto; empty
    // when not recorded.
    std::string tracking;
    // The id of the form the waybill was printed on, which names its
    // carrier; empty for rows recorded before forms were kept, which were
    // all printed on the built-in form.
    std::string form;

    friend bool operator==(const WaybillRecord&, const WaybillRecord&) = default;
};

}  // namespace store
