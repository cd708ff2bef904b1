#pragma once
// Text from a file or the command line shown in a message: control
// characters (a terminal's escape sequences among them) and bytes that are
// not UTF-8 are written as visible escapes, and a very long text is cut,
// so a message can never drive the terminal or flood it.
#include <cstddef>
#include <string>
#include <string_view>

namespace text {

// What becomes of line ends (LF, CR LF, a lone CR) and tabs: kept as a
// line end (LF) and a tab, for a message that may run over several lines,
// or made a blank, for a text that must stay on its line.
enum class LineEnds { Keep, Blank };

// Other C0 controls, DEL and bytes outside valid UTF-8 become "\xHH", C1
// controls (U+0080..U+009F) "\u00HH"; anything else is kept, so a text
// shown twice comes out the same. Texts longer than maxBytes are cut at a
// character boundary and end in "…".
std::string printable(std::string_view utf8, std::size_t maxBytes = 200, LineEnds lineEnds = LineEnds::Keep);

}  // namespace text
