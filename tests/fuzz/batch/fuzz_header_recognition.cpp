// Fuzz target: a header line from arbitrary bytes (cells split at commas).
// Recognition gives one target per column; no field is fed by two columns
// unless they are parts of it; writing ASCII in full width changes nothing.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "batch/header_recognition.h"
#include "batch/platform_layouts.h"
#include "tests/support/full_width.h"

namespace {

bool joins(batch::Target t) {
    using batch::Target;
    return t == Target::Zip || t == Target::Tel || t == Target::Special || t >= Target::MyZip;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> header;
    for (std::size_t from = 0; from <= line.size();) {
        const std::size_t comma = line.find(',', from);
        header.emplace_back(line.substr(from, comma - from));
        if (comma == std::string_view::npos) break;
        from = comma + 1;
    }
    for (const bool fileSender : {false, true}) {
        const batch::Mapping m = batch::guessMapping(header, fileSender);
        if (m.size() != header.size()) std::abort();
        std::vector<int> fed(static_cast<std::size_t>(batch::Target::Count), 0);
        for (const batch::Target t : m) {
            if (t == batch::Target::None) continue;
            if (++fed[static_cast<std::size_t>(t)] > 1 && !joins(t) && !batch::recogniseLayout(header)) std::abort();
            if (!fileSender && t >= batch::Target::MyZip) std::abort();
        }
    }
    for (const std::string& h : header) {
        if (!(batch::recogniseHeader(h) == batch::recogniseHeader(fullWidth(h)))) std::abort();
        const std::string key = batch::headerKey(h);
        if (batch::headerKey(key) != key) std::abort();
    }
    return 0;
}
