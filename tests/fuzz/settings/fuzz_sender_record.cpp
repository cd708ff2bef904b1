// Fuzz target: sender record files from arbitrary bytes. Whatever is read
// saves as exactly five lines and reads back the same.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "settings/sender_record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const SenderRecord record = parseSenderRecord(bytes);
    const std::string saved = formatSenderRecord(record);
    std::size_t lineFeeds = 0;
    for (char c : saved) lineFeeds += c == '\n';
    if (lineFeeds != 5) std::abort();
    if (!(parseSenderRecord(saved) == record)) std::abort();
    return 0;
}
