#include "transfer/str_count.h"

#include "text/sjis.h"

int Str_Count(std::string_view text, std::string_view mark) {
    if (mark.empty()) return 0;
    // Most marks are absent from most lines: a plain byte search settles
    // that quickly, and only a found mark needs the character-wise scan.
    std::size_t i = text.find(mark);
    if (i == std::string_view::npos) return 0;
    int count = 0;
    i = 0;
    const char first = mark.front();
    while (i < text.size()) {
        if (text[i] == first && text.compare(i, mark.size(), mark) == 0) {
            ++count;
            i += mark.size();
        } else {
            i += sjis::charBytes(text, i);
        }
    }
    return count;
}
