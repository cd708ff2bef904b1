#pragma once
// Reading a column header as the platforms write them: a role prefix
// (送付先, お届け先, Shipping, ship-, 注文者, Billing, ご依頼主 …), a field
// word (郵便番号, 住所, Name, phone-number …) and a part number (1/2/3,
// １２３ or ①②③), in any width and with separators ignored.
#include <string>
#include <string_view>
#include <vector>

#include "batch/mapping.h"

namespace batch {

// Whose field a column holds.
enum class Role {
    Plain,      // no prefix: the consignee's, unless a prefixed column says otherwise
    Consignee,  // 送付先住所, Shipping Address1, ship-postal-code …
    Orderer,    // 注文者住所, Billing Name, buyer-phone-number …
    Sender,     // ご依頼主住所 …
    // sender-name, sender-address …: the consignee where nothing else names
    // one (au PAY マーケット calls the destination "sender" and the buyer
    // "orderer"), else the shipper, as the word says.
    SenderWord,
};

struct HeaderMeaning {
    Role role = Role::Plain;
    Target target = Target::None;  // None: a column the reader does not know
    int part = 0;                  // 1-3 when the header ends in a part number
    friend bool operator==(const HeaderMeaning&, const HeaderMeaning&) = default;
};

// The header reduced for matching: normaliseHeader(), then circled digits
// made plain, colons and quotes dropped.
std::string headerKey(std::string_view utf8);

// What one header names, read as consignee fields (the role says whose).
HeaderMeaning recogniseHeader(std::string_view utf8);

// One target per column. The consignee's prefixed columns win over plain
// ones for the same field; the orderer's columns are the consignee only
// when nothing else names one, else the sender when fileSender is set (as
// the ご依頼主 columns, which come first); "sender" columns are the
// consignee only when no other column names one; a field is fed by its first
// column, except the parts of a postal code or telephone number, which are
// joined. Columns left out map to None.
Mapping recogniseColumns(const std::vector<std::string>& header, bool fileSender);

}  // namespace batch
