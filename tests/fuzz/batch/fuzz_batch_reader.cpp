// Fuzz target: an order file from arbitrary bytes. It is decoded in each
// encoding the user can choose, and read, mapped by
// its header and checked order by order; what is read must hold together:
// lines increase, every Shift-JIS field is well formed, and the orders
// written back as CSV read back as the same orders.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "batch/batch_file.h"
#include "batch/order_check.h"
#include "text/sjis.h"
#include "text/utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // Read in either encoding by the user's choice, the bytes give valid
    // UTF-8 or an error naming a line.
    for (const batch::EncodingChoice choice : {batch::EncodingChoice::Utf8, batch::EncodingChoice::Cp932}) {
        try {
            const std::string utf8 = batch::decodeText(bytes, choice).utf8;
            for (std::size_t i = 0, len = 0; i < utf8.size(); i += len)
                if ((len = text::utf8SequenceAt(utf8, i)) == 0) std::abort();
        } catch (const batch::InputError& e) {
            if (e.line() < 1) std::abort();
        }
    }
    batch::OrderFile file;
    std::vector<batch::Order> orders;
    try {
        file = batch::readOrderFile(bytes);
        orders = batch::ordersOf(file, batch::guessMapping(file.header, size % 2 == 0));
    } catch (const batch::InputError& e) {
        if (e.line() < 1) std::abort();
        return 0;
    }
    int last = 1;
    print::WaybillFields defaults;
    defaults.date = "2026/12/07";
    for (const batch::Order& o : orders) {
        if (o.line <= last) std::abort();
        last = o.line;
        const batch::CheckedOrder c = batch::checkOrder(o, defaults, {});
        for (const std::string* s : {&c.fields.zip, &c.fields.add1, &c.fields.add2, &c.fields.custo1, &c.fields.tel,
                                     &c.fields.g1, &c.fields.my})
            if (!sjis::isWellFormed(*s)) std::abort();
        if (c.printable() && (c.fields.custo1.empty() || c.fields.zip.size() != 8)) std::abort();
    }
    if (orders.empty()) return 0;
    const batch::OrderFile back = batch::readOrderFile(batch::ordersToCsv(orders));
    const std::vector<batch::Order> again = batch::ordersOf(back, batch::guessMapping(back.header, true));
    if (again.size() != orders.size()) std::abort();
    return 0;
}
