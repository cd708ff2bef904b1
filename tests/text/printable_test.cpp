// Texts from files shown in messages: line ends and tabs read as such (or
// as blanks on one line), every other control and broken byte escaped.
#include <gtest/gtest.h>

#include "text/printable.h"

using text::LineEnds;
using text::printable;

TEST(Printable, LineEndsReadAsLineEndsOtherControlsEscaped) {
    struct Case {
        const char* in;
        const char* keep;   // LineEnds::Keep
        const char* blank;  // LineEnds::Blank
    } cases[] = {
        {"2行目: 見出し\n\t住所", "2行目: 見出し\n\t住所", "2行目: 見出し  住所"},
        {"a\r\nb\rc", "a\nb\nc", "a b c"},  // CR LF one line end; a lone CR never returns the cursor
        {"\x1B[2J\x07", "\\x1B[2J\\x07", "\\x1B[2J\\x07"},
        {"\xFF\xC2\x85ok", "\\xFF\\u0085ok", "\\xFF\\u0085ok"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(printable(c.in), c.keep) << c.in;
        EXPECT_EQ(printable(c.in, 200, LineEnds::Blank), c.blank) << c.in;
        EXPECT_EQ(printable(printable(c.in)), c.keep) << "shown twice: " << c.in;
    }
    EXPECT_EQ(printable("abcdef", 3), "abc…");
}
