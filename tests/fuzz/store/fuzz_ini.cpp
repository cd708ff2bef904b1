// Fuzz target: INI text from arbitrary bytes. Looks up and updates keys the
// program uses; an update must keep every other byte and read back.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "store/ini_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const char* const others[] = {"Tab_My", "OP023MyZIP ", "KOSUU"};
    std::optional<std::string_view> before[3];
    for (int i = 0; i < 3; ++i) {
        before[i] = ini::findRawValue(text, "vm_Pelicanprn", others[i]);
        if (before[i]) {
            const std::string value = ini::cleanValue(*before[i]);
            if (value.size() > ini::kMaxValueBytes) std::abort();
            (void)ini::parseInteger(value);
        }
    }
    const std::string updated = ini::withValue(text, "vm_Pelicanprn", "E_CUS", "\x8e\x52\x93\x63");
    auto back = ini::findRawValue(updated, "vm_Pelicanprn", "E_CUS");
    if (!back || *back != "\x8e\x52\x93\x63") std::abort();
    // Setting one key leaves every other key as it was.
    for (int i = 0; i < 3; ++i)
        if (ini::findRawValue(updated, "vm_Pelicanprn", others[i]) != before[i]) std::abort();
    return 0;
}
