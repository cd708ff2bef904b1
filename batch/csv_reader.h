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

// Larger files are refused before anything is decoded: an export of
// kMaxOrders orders from a platform that writes a row per item (Shopify:
// about 2.2 rows and 800 bytes an order) is some 16 MB, so this leaves it
// room and bounds the memory used.
inline constexpr std::size_t kMaxFileMegabytes = 32;
inline constexpr std::size_t kMaxFileBytes = kMaxFileMegabytes * 1024 * 1024;
// Rows (records after the header) beyond this are refused before they are
// grouped: five items an order for every order allowed.
inline constexpr std::size_t kMaxRecords = 100000;
// Orders (waybills, the rows of one order grouped) beyond this are refused:
// the table, checks and print all scale with them.
inline constexpr std::size_t kMaxOrders = 20000;
inline constexpr std::size_t kMaxFields = 200;

// How to read the bytes: by looking at them, or as the user says.
enum class EncodingChoice { Auto, Utf8, Cp932 };

struct DecodedText {
    Encoding encoding = Encoding::Utf8;
    std::string utf8;
    // The bytes read just as well in the other encoding (Auto only): the
    // choice was a guess, which the user should hear of and may overrule.
    bool ambiguous = false;
};

// Auto: a byte-order mark means UTF-8; bytes that are valid in only one of
// UTF-8 and CP932 are read in that one. Bytes valid in both (non-ASCII
// CP932 text can be valid UTF-8 only when it is made of JIS level-2 kanji
// and half-width katakana) are ambiguous: when their CP932 reading is
// mostly such characters, the mark of UTF-8 read as CP932, they are taken
// as UTF-8, otherwise as CP932. Utf8 / Cp932 read the bytes in that
// encoding only. A file over kMaxFileBytes, a NUL or other control byte
// (tab, line ends and a final end-of-file mark aside), or bytes not valid
// in the encoding raise InputError with the line where the trouble is.
DecodedText decodeText(std::string_view bytes, EncodingChoice choice = EncodingChoice::Auto);

struct Record {
    int line = 0;  // line where the record starts (1-based)
    std::vector<std::string> fields;
    // What the reader found odd about the record's quotes (a quote that
    // ran across lines), for the user: Japanese UTF-8, naming the lines.
    std::vector<std::string> notes;
};

// Tab when the first line has more tabs than commas outside quotes, else
// comma.
char guessDelimiter(std::string_view utf8);

// Splits the text into records. Blank lines are skipped. Text after a
// closing quote is kept (as spreadsheet programs read it). With tabs, a
// quote opens a field only when its closing quote ends the field (tab-
// separated platforms never quote, so a lone quote is text).
// A quoted field of a data record that runs across a line end is taken as
// a quote typed by mistake, read as text and noted on its record when the
// lines read that way each hold as many fields as the header. A field kept
// across lines in a record with another number of fields than the header,
// or holding a whole record's separators, is noted with the lines it
// spans. An unterminated quote (a cut file), or too many records or
// fields, raise InputError.
std::vector<Record> parseRecords(std::string_view utf8, char delimiter);

}  // namespace batch
