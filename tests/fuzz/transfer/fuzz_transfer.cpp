// Fuzz target: the whole transfer on raw bytes and on well-formed
// Shift-JIS built from the input. Nothing may crash, and every field and
// memo line that comes out must be well-formed Shift-JIS.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "transfer/classify.h"
#include "transfer/han_conv.h"
#include "transfer/pipeline.h"
#include "transfer/text_functions.h"

namespace {

// Every lead byte followed by a proper second byte.
bool strictlyWellFormed(std::string_view s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (!((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC))) continue;
        if (i + 1 >= s.size()) return false;
        const auto t = static_cast<unsigned char>(s[++i]);
        if (t < 0x40 || t > 0xFC || t == 0x7F) return false;
    }
    return true;
}

void check(std::string_view s) {
    if (!strictlyWellFormed(s)) std::abort();
}

// Well-formed Shift-JIS from arbitrary bytes: lead bytes get a second byte
// from the kana/kanji rows, some bytes become line breaks.
std::string asSjis(const std::uint8_t* data, std::size_t size) {
    std::string out;
    for (std::size_t i = 0; i < size; ++i) {
        const std::uint8_t b = data[i];
        if (b % 11 == 0) {
            out += '\n';
        } else if ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) {
            const std::uint8_t t = i + 1 < size ? data[++i] : 0x40;
            out += static_cast<char>(b);
            out += static_cast<char>(0x40 + t % 0xBC + (0x40 + t % 0xBC >= 0x7F ? 1 : 0));
        } else {
            out += static_cast<char>(b);
        }
    }
    return out;
}

void runOnce(const std::string& text) {
    const transfer::TransferResult r = transfer::runTransfer(text);
    if (r.fields) {
        for (const std::string* f : {&r.fields->zip, &r.fields->add1, &r.fields->add2, &r.fields->name, &r.fields->tel})
            check(*f);
        if (r.memo.size() != 7) std::abort();
    } else if (!r.message) {
        std::abort();  // a stopped transfer always says why
    }
    for (const std::string& line : r.memo) check(line);
    if (Han_Conv(Han_Conv(text)) != Han_Conv(text)) std::abort();
    for (const std::string& line : transfer::memoLines(text)) {
        (void)transfer::zipTelVerdict(line);
        (void)transfer::nameAddrCount(line);
        (void)Num_Reading(line);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string raw(reinterpret_cast<const char*>(data) + 1, size - 1);
    runOnce(data[0] & 1 ? asSjis(data + 1, size - 1) : raw);
    return 0;
}
