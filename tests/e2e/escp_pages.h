#pragma once
// Reads an ESC/P stream as a dot-matrix printer runs it: the page length
// it sets, and per page (ended by a form feed) how far the paper moved
// and where the first inked band lies, in 1/180 inch.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace escp {

struct Page {
    int advanced = 0;                // vertical movement before the form feed
    std::optional<int> firstInk;     // position of the first band with ink
};

struct Stream {
    std::optional<int> pageLength;   // ESC C, in 1/180 inch
    std::vector<Page> pages;         // one per form feed
    bool trailingContent = false;    // movement or ink after the last form feed
    std::string error;               // a command this reader does not know
};

inline Stream read(const std::string& data) {
    Stream s;
    int lineSpacing = 30;  // 1/6 inch
    Page page;
    auto byte = [&](std::size_t i) { return i < data.size() ? static_cast<unsigned char>(data[i]) : 0u; };
    std::size_t i = 0;
    while (i < data.size() && s.error.empty()) {
        const unsigned c = byte(i);
        if (c == 0x0C) {
            s.pages.push_back(page);
            page = Page{};
            ++i;
        } else if (c == 0x0A) {
            page.advanced += lineSpacing;
            ++i;
        } else if (c != 0x1B) {
            ++i;  // CR, DC2 and other one-byte controls move no paper
        } else {
            const unsigned cmd = byte(i + 1);
            const unsigned n = byte(i + 2);
            switch (cmd) {
            case '@': case 'P': case 'M': case 'g': case 'O': case '2': case '0': case 'E': case 'F':
                if (cmd == '2') lineSpacing = 30;
                if (cmd == '0') lineSpacing = 22;  // 1/8 inch
                i += 2;
                break;
            case '3': lineSpacing = static_cast<int>(n); i += 3; break;
            case 'A': lineSpacing = static_cast<int>(n) * 3; i += 3; break;
            case '+': lineSpacing = static_cast<int>(n) / 2; i += 3; break;
            case 'J': page.advanced += static_cast<int>(n); i += 3; break;
            case 'x': case 'U': case 'l': case 'Q': case 'N': case 'r': case 'k': case 'p': i += 3; break;
            case 'C':
                if (n == 0) {
                    s.pageLength = static_cast<int>(byte(i + 3)) * 180;
                    i += 4;
                } else {
                    s.pageLength = static_cast<int>(n) * lineSpacing;
                    i += 3;
                }
                break;
            case '$': case '\\': i += 4; break;
            case '*': {
                const unsigned m = n;
                const std::size_t columns = byte(i + 3) + 256u * byte(i + 4);
                const std::size_t perColumn = m >= 71 ? 6 : (m >= 32 ? 3 : 1);
                const std::size_t start = i + 5, end = start + columns * perColumn;
                if (!page.firstInk)
                    for (std::size_t k = start; k < end && k < data.size(); ++k)
                        if (data[k] != 0) {
                            page.firstInk = page.advanced;
                            break;
                        }
                i = end;
                break;
            }
            case '(': i += 5 + byte(i + 3) + 256u * byte(i + 4); break;
            default: s.error = "unknown command ESC " + std::to_string(cmd); break;
            }
        }
    }
    s.trailingContent = page.advanced > 0 || page.firstInk.has_value();
    return s;
}

}  // namespace escp
