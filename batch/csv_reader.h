#pragma once
// Reading an order file: telling UTF-8 from Shift-JIS (CP932), then
// splitting comma- or tab-separated text into records (quoted fields,
// doubled quotes, line breaks inside quotes, CR LF or LF line ends, a last
// line without a break). Fields come out as UTF-8.
#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace batch {

// A file that cannot be read as a table; the message is Japanese UTF-8 and
// names the line (the header is line 1, as a spreadsheet shows it).
class InputError : public std::runtime_error {
public:
    InputError(int line, const std::string& message);
    int line() const noexcept { return line_; }

private:
    int line_;
};

enum class Encoding { Utf8, Utf8Bom, Cp932 };

// Larger files are refused before anything is decoded: a day's orders are
// a few hundred kilobytes, so this is generous and bounds the memory used.
inline constexpr std::size_t kMaxFileMegabytes = 8;
inline constexpr std::size_t kMaxFileBytes = kMaxFileMegabytes * 1024 * 1024;
// Records beyond this are refused (the table, checks and print all scale
// with it).
inline constexpr std::size_t kMaxRecords = 20000;
inline constexpr std::size_t kMaxFields = 200;

struct DecodedText {
    Encoding encoding = Encoding::Utf8;
    std::string utf8;
};

// Valid UTF-8 (with or without the byte-order mark) is taken as UTF-8;
// otherwise the bytes must decode as CP932 without a single invalid
// sequence. A file over kMaxFileBytes, a NUL or other control byte (tab,
// line ends and a final end-of-file mark aside), or bytes that are neither
// encoding raise InputError with the line where the trouble is.
DecodedText decodeText(std::string_view bytes);

struct Record {
    int line = 0;  // line where the record starts (1-based)
    std::vector<std::string> fields;
};

// Tab when the first line has more tabs than commas outside quotes, else
// comma.
char guessDelimiter(std::string_view utf8);

// Splits the text into records. Blank lines are skipped. Text after a
// closing quote is kept (as spreadsheet programs read it). An unterminated
// quote, or too many records or fields, raise InputError.
std::vector<Record> parseRecords(std::string_view utf8, char delimiter);

}  // namespace batch
