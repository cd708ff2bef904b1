#pragma once
// An order file from bytes to orders: decoding, records, the header row
// and its mapping; and the orders written back as CSV.
#include <string>
#include <string_view>
#include <vector>

#include "batch/csv_reader.h"
#include "batch/mapping.h"
#include "batch/order.h"

namespace batch {

struct OrderFile {
    Encoding encoding = Encoding::Utf8;
    // The other encoding would have read the file as well (see decodeText):
    // say which one was taken, so the user can choose the other.
    bool encodingAmbiguous = false;
    char delimiter = ',';
    std::vector<std::string> header;
    bool b2 = false;                // the Yamato B2 send-list layout
    std::string layout;             // the platform layout recognised ("Shopify"), or empty
    std::string otherLayout;        // a less specific layout the header fits as well, or empty
    // What the user should know about how the file was read (an item file
    // missing or not matching), Japanese UTF-8.
    std::vector<std::string> notices;
    std::vector<Record> records;    // the data rows, header excluded
};

// Decodes (decodeText) and splits the file; the first record is the
// header. A file without a data row or with an empty header raises
// InputError.
OrderFile readOrderFile(std::string_view bytes, EncodingChoice choice = EncodingChoice::Auto);

// A line for the user naming the encoding an ambiguous file was read in
// and the other one it could be, e.g. "文字コード: UTF-8 として読みました
// (Shift-JIS としても読めます)"; empty when the file was not ambiguous.
std::string encodingNote(const OrderFile& file);

// The waybills under a mapping, the rows of one order grouped into one
// (batch/order_grouping.h); a row of an order repeated to the letter counts
// once. A mapping that feeds no consignee field, or a platform's item file
// read alone, raises InputError naming line 1; more than kMaxOrders orders,
// naming the first row of the order past the limit.
// `addressRoom`: the bytes an address line holds on the form printed on.
std::vector<Order> ordersOf(const OrderFile& file, const Mapping& mapping,
                            std::size_t addressRoom = addressRoomBytes());

// The orders as CSV text for spreadsheet programs: UTF-8 with a byte-order
// mark, CR LF, the batch table's captions as header, led by the order
// number when some order has one; every field quoted and formula-like texts
// disarmed as in every CSV we write. The sender columns are written only
// when some order has a sender of its own.
std::string ordersToCsv(const std::vector<Order>& orders);

}  // namespace batch

namespace batch {

// The bytes of the plain file at path (never waiting on a named pipe),
// refusing (InputError) a file larger than kMaxFileBytes before reading it
// whole; FileError when it cannot be read or is no plain file.
std::string readFileBytes(const std::string& path);

}  // namespace batch
