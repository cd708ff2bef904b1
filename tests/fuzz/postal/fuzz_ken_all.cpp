// Fuzz target: Japan Post's CSV files from arbitrary bytes. Input is either
// refused with a line number or imported; an imported table must load and
// hold every row it was made from.
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string_view>

#include "postal/ken_all_import.h"
#include "postal/postal_table.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view csv(reinterpret_cast<const char*>(data), size);
    for (const bool business : {false, true}) {
        try {
            const auto rows = business ? postal::readJigyosyo(csv, "JIGYOSYO.CSV") : postal::readKenAll(csv, "KEN_ALL.CSV");
            const postal::Table table(postal::encodeTable(rows));  // throws TableError: abort below
            if (table.entryCount() != rows.size()) std::abort();
            for (const auto& r : rows) {
                if (table.lookup(r.zip).empty()) std::abort();
            }
        } catch (const postal::ImportError& e) {
            if (e.line() == 0) std::abort();  // every refusal names its line
        } catch (const std::invalid_argument&) {
            // More cities than the layout holds: refused by the importer too.
        } catch (const postal::TableError&) {
            std::abort();
        }
    }
    return 0;
}
