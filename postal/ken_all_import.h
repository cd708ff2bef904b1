#pragma once
// Importer of Japan Post's own postal code files: KEN_ALL.CSV (homes, 15
// columns) and JIGYOSYO.CSV (businesses' own codes, 13 columns), both
// Shift-JIS CSV. The result replaces the bundled table for this user.
#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "postal/table_writer.h"

namespace postal {

// A file that cannot be imported; the message (UTF-8) names the file and
// the line, e.g. "KEN_ALL.CSV 12行目: 列の数が15ではありません".
class ImportError : public std::runtime_error {
public:
    ImportError(const std::string& message, std::size_t line) : std::runtime_error(message), line_(line) {}
    std::size_t line() const noexcept { return line_; }

private:
    std::size_t line_;
};

// The rows of a KEN_ALL file, its quirks resolved: a town split over
// several rows is joined; "以下に掲載がない場合", "○○の次に番地がくる場合" and
// "○○一円" become the empty town; notes in brackets ("（次のビルを除く）",
// "（地階・階層不明）", "（１～３丁目）") are dropped, a high-rise's floor
// "（１階）" is kept as "１階"; a town repeated under one code is kept once.
// fileName only names the file in messages.
std::vector<TableRow> readKenAll(std::string_view csv, std::string_view fileName);

// The rows of a JIGYOSYO file: the town is 町域 followed by the 番地, the
// business's name is kept.
std::vector<TableRow> readJigyosyo(std::string_view csv, std::string_view fileName);

// Reads the files (jigyosyoPath may be empty), builds a table and writes it
// to outPath through the atomic writer: after any failure the old file at
// outPath is still there byte for byte. A table the reader would refuse
// (too large, failing its checks) is never written. Returns the number of
// entries. Throws ImportError (bad input) or FileError (reading or writing).
std::size_t importTable(const std::string& kenAllPath, const std::string& jigyosyoPath, const std::string& outPath);

}  // namespace postal
