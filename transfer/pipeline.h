#pragma once
// The text transfer: pasted memo text (Shift-JIS) to consignee fields.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace transfer {

// Consignee fields as the transfer fills them (Shift-JIS). The postal code
// and telephone are already half-width, as the entry fields keep them.
struct TransferFields {
    std::string zip, add1, add2, name, tel;
};

enum class FocusAfter { Unchanged, Memo, Zip };

// A kept line that went to no field: every field it could fill was taken.
struct UnplacedLine {
    std::size_t memoLine;  // its line in TransferResult::memo
    std::string pasted;    // the line as pasted (trimmed), before labels were stripped
};

struct TransferResult {
    std::optional<TransferFields> fields;  // nullopt: the fields stay untouched
    std::vector<std::string> memo;         // the memo's lines afterwards
    std::vector<std::string> compacted;    // the working list: kept lines padded to 16
    std::optional<std::string> message;    // a notice to show (Shift-JIS)
    FocusAfter focus = FocusAfter::Unchanged;
    std::vector<UnplacedLine> unplaced;    // in line order
};

// The memo's lines: breaks are CR LF, LF or CR; a final empty line after
// the last break does not count.
std::vector<std::string> memoLines(std::string_view text);

// The text with every broken double-byte character (a lead byte without a
// proper second byte, as raw bytes may carry) replaced by "〓", so no line
// splits or ends in half a character.
std::string repairSjis(std::string_view text);

// One transfer of the memo's text (repaired first). Characters that
// Shift-JIS lacks should already be "〓" (the Qt boundary does that).
TransferResult runTransfer(std::string_view memoText);

// The two notices, Shift-JIS.
std::string noTextMessage();
std::string tooManyLinesMessage(int lines);

}  // namespace transfer
