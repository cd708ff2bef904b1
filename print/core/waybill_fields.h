#pragma once
// One waybill as the layout reads it from the entry form: every text is the
// control's Shift-JIS text, unchanged. The four label captions stay text
// because the layout itself parses them (and reports a bad one).
#include <array>
#include <string>

namespace print {

struct Form;

struct WaybillFields {
    // The form printed on; nullptr: the built-in form.
    const Form* form = nullptr;

    // Carrier labels of the main form.
    std::string dpix, dpiy;          // Label_dpix, Label_dpiy
    std::string prnTop, prnLeft;     // Label_Prn_Top, Label_Prn_Left ("" = 0)

    // Consignee.
    std::string zip;                 // Edit_Zip
    std::string add1, add2;          // Edit_Add1, Edit_Add2
    std::string custo1;              // Edit_Custo1
    std::string tel;                 // Edit_tel

    // Shipment.
    std::string date;                // DateTimePicker_1 as "yyyy/mm/dd"
    bool printDate = true;           // CheckBox_Date_1
    std::string deDate1, deDate2, deDate3;  // Edit_de_date1..3
    std::string g1, g2, g3;          // Edit_G1..3
    std::array<bool, 6> timeBand{};  // CheckBox_Pelican_1..6
    std::array<bool, 5> special{};   // CheckBox_Pelican_21..25

    // Sender.
    bool printSender = true;         // CheckBox_My
    std::string myZip;               // Edit_MyZip
    std::string myAdd1, myAdd2;      // Edit_MyADD1, Edit_MyADD2
    std::string my;                  // Edit_My
    std::string myTel;               // Edit_MyTEL

    friend bool operator==(const WaybillFields&, const WaybillFields&) = default;
};

}  // namespace print
