#pragma once
// The record splitter behind parseRecords (batch/csv_reader.h): reads the
// text record by record and settles each quoted field that runs across a
// line end, reading its quote as text when that gives whole records.
#include <cstddef>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "batch/csv_reader.h"

namespace batch {

class RecordSplitter {
public:
    RecordSplitter(std::string_view text, char delimiter) : s_(text), delim_(delimiter) {}

    // Every record of the text, the header first.
    std::vector<Record> all();

private:
    // A quoted field that ran across a line end, or to the end of the text.
    struct Span {
        std::size_t open = 0, close = 0;  // offsets of its quotes (close: the text's size when unterminated)
        int openLine = 0, closeLine = 0;
        std::size_t separators = 0;  // delimiters inside it
        bool unterminated = false;
    };
    struct Read {
        Record record;
        bool found = false;     // false: only blank lines were left
        std::size_t end = 0;    // offset after the record's line end
        int nextLine = 0;       // the line after it
        std::vector<Span> spans;
    };

    // The record that starts at pos (blank lines before it skipped).
    Read read(std::size_t pos, int line) const;
    // True when a quote at i opens a quoted field.
    bool opensField(std::size_t i) const;
    // True when, with the span's quote read as text, the records from pos
    // to its closing quote are at least two, each as wide as the header.
    bool splitsIntoRecords(const Span& span, std::size_t pos, int line, std::size_t width);

    std::string_view s_;
    char delim_;
    std::set<std::size_t> plainQuotes_;  // quotes read as text
};

}  // namespace batch
