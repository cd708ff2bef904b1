#include "transfer/str_count.h"

#include "text/sjis.h"

int Str_Count(std::string_view text, std::string_view mark) {
    if (mark.empty()) return 0;
    int count = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text.compare(i, mark.size(), mark) == 0) {
            ++count;
            i += mark.size();
        } else {
            i += sjis::charBytes(text, i);
        }
    }
    return count;
}
