// Fuzz target: a saved mapping's text and a header from arbitrary bytes
// (split at the first NUL), and the address joining on the same text. A
// mapping has one target per column; the joined lines keep every
// character and a line that could be broken fits its room.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "batch/address_join.h"
#include "batch/csv_reader.h"
#include "batch/mapping.h"

namespace {

std::string withoutBlanks(std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == ' ') continue;
        if (s.substr(i, 3) == "\u3000") {
            i += 2;
            continue;
        }
        out += s[i];
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view all(reinterpret_cast<const char*>(data), size);
    const std::size_t cut = all.find('\0');
    const std::string_view text = all.substr(0, cut);
    const std::string_view headerLine = cut == std::string_view::npos ? std::string_view{} : all.substr(cut + 1);

    std::vector<std::string> header;
    for (std::size_t from = 0; from <= headerLine.size();) {
        const std::size_t comma = headerLine.find(',', from);
        header.emplace_back(headerLine.substr(from, comma - from));
        if (comma == std::string_view::npos) break;
        from = comma + 1;
    }
    try {
        const batch::Mapping m = batch::mappingFromText(text, header);
        if (m.size() != header.size()) std::abort();
        // What is saved reads back as the same mapping.
        if (batch::mappingFromText(batch::mappingToText(header, m), header).size() != m.size()) std::abort();
    } catch (const batch::InputError&) {
    }
    if (batch::guessMapping(header, true).size() != header.size()) std::abort();

    // Only valid UTF-8 reaches the joining (the reader checks it first).
    try {
        const std::string utf8 = batch::decodeText(text).utf8;
        const batch::AddressLines l = batch::joinAddress(utf8, headerLine.substr(0, 0));
        if (withoutBlanks(l.add1 + l.add2) != withoutBlanks(utf8)) std::abort();
        if (batch::sjisWidth(l.add1) > batch::kAddressLineBytes && l.add1.size() != 0) std::abort();
    } catch (const batch::InputError&) {
    }
    return 0;
}
