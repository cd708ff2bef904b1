// Fuzz target: a postal table file from arbitrary bytes. The checksum is
// made right first, so mutations reach the checks of counts, indexes and
// offsets; a table that loads must answer every lookup without reading
// outside its bytes.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "postal/postal_search.h"
#include "postal/postal_table.h"
#include "postal/table_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    if (bytes.size() >= postal::format::kHeaderBytes) {
        const std::uint32_t sum = postal::format::checksum(std::string_view(bytes).substr(postal::format::kHeaderBytes));
        for (std::size_t i = 0; i < 4; ++i) bytes[32 + i] = static_cast<char>((sum >> (8 * i)) & 0xFF);
    }
    try {
        const postal::Table table(bytes);
        std::size_t n = 0;
        for (const auto& e : table.entries()) {
            const postal::Candidate c = table.candidate(e);
            if (c.zip.size() != 7) std::abort();
            if (++n == 64) break;
        }
        for (const char* code : {"1050011", "0000000", "9999999", "105", "10500"}) {
            (void)table.lookup(code);
            (void)table.lookupPrefix(code, 50);
        }
        if (!table.entries().empty()) {
            const postal::Candidate first = table.candidate(table.entries().front());
            const auto back = postal::reverseLookup(table, first.pref + first.city + first.town, 50);
            (void)postal::checkAddress(table, first.zip, first.pref + first.city);
            (void)back;
        }
    } catch (const postal::TableError&) {
        // Refused: what a damaged file must give.
    }
    return 0;
}
