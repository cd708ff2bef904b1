#pragma once
// Column mapping: which column of an order file feeds which field. Guessed
// from the header words (Japanese and English, the Yamato B2 send-list
// layout among them), corrected by the user, saved under a name in the base
// folder.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "batch/address_join.h"
#include "batch/csv_reader.h"
#include "batch/order.h"

namespace batch {

enum class Target {
    None,
    Zip, Address, Address2, Pref, City, Street, Building,
    Name, Company, Department, Honorific, Tel,
    G1, G2, G3, DeliveryDate, TimeBand, Special, ShipDate,
    OrderNo, OrderItemId, Quantity, Family,
    ShipmentId,  // the platform's parcel within an order (楽天's 送付先ID, EC-CUBE's 出荷ID)
    ItemKind,    // what an order line is (EC-CUBE's 明細区分): only goods lines print
    // The sender's fields last: everything from MyZip on is the sender's.
    MyZip, MyAddress, MyBuilding, MyName, MyTel,
    Count
};

// "-" for None, else a short key ("zip", "pref", "my_tel" …).
std::string_view targetKey(Target t);
std::optional<Target> targetFromKey(std::string_view key);
// Japanese caption for the mapping dialog.
std::string_view targetCaption(Target t);

// One target per header column.
using Mapping = std::vector<Target>;

// Header text reduced for matching: full-width letters, digits and brackets
// made half-width, blanks dropped, letters lowered.
std::string normaliseHeader(std::string_view utf8);

// The target each header names (batch/header_recognition.h), with the
// columns of a recognised platform layout put right. The sender columns
// (ご依頼主…, and the orderer's when the file names a consignee too) are
// mapped only when fileSender is set; otherwise they are left out and the
// sender tab prints.
Mapping guessMapping(const std::vector<std::string>& header, bool fileSender);

// True when the header is the Yamato B2 send-list layout.
bool isB2Header(const std::vector<std::string>& header);

// True when some column feeds a consignee field.
bool hasConsigneeColumn(const Mapping& m);

// The order of one record. Address parts are joined into おところ① and ②,
// company, department, family and given name and honorific into one name
// line; several columns of a postal code or telephone number are joined
// with hyphens. The item (name, quantity, item id) is kept in `items`.
// `addressRoom`: the bytes an address line holds on the form printed on.
Order extractOrder(const Record& record, const Mapping& m, std::size_t headerCount,
                   std::size_t addressRoom = addressRoomBytes());

// A saved mapping: one "header<TAB>key" line per column ("-" for an unused
// one), UTF-8.
std::string mappingToText(const std::vector<std::string>& header, const Mapping& m);
// Applies a saved mapping to a header by column name; names it does not
// know map to None. A line with an unknown key raises InputError.
Mapping mappingFromText(std::string_view text, const std::vector<std::string>& header);
// True when the saved text was made for a file with these columns: it names
// each of them, in any order, and no other. Texts of an earlier version,
// which list only the used columns, fit only a file that uses every column.
bool mappingFitsHeader(std::string_view text, const std::vector<std::string>& header);

// Saved mappings live in this folder of the base folder, one file per name.
inline constexpr char kMappingFolder[] = "vamu_Pelican_mappings";
// A name fit for a file: not empty, at most 64 bytes, no path separators,
// control characters or leading dot.
bool isValidMappingName(std::string_view name);
std::vector<std::string> savedMappingNames(const std::string& baseFolder);
// Writes atomically; throws FileError or InputError (bad name).
void saveMapping(const std::string& baseFolder, const std::string& name, const std::string& text);
// The saved text, or nullopt when there is no mapping of that name.
// Throws as readMappingFile does.
std::optional<std::string> loadMapping(const std::string& baseFolder, const std::string& name);

// A mapping is a line per column: far smaller than this. A larger file (a
// link to something else) is refused without being read whole.
inline constexpr std::size_t kMaxMappingBytes = std::size_t{256} * 1024;
// The text of a mapping file at any path; InputError when it is larger
// than kMaxMappingBytes, FileError when it cannot be read.
std::string readMappingFile(const std::string& path);

}  // namespace batch
