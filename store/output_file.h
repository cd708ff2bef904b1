#pragma once
// Checks made before a command replaces an output file, so that it never
// writes over a file it was asked to read, or over a file of another kind
// named by a slip of the keyboard (the history database as the CSV, an
// order file as the PDF).
#include <initializer_list>
#include <stdexcept>
#include <string>

namespace store {

enum class OutputKind { Pdf, Text };

// A refused output; the message (UTF-8) names the file and the reason.
class OutputRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Throws OutputRefused when `path` is the same file as one of `inputs`
// (links followed; inputs that do not exist are skipped), or when it is an
// existing file, not empty, whose first bytes are not of `kind`: a PDF
// starts with "%PDF-", a text has no NUL byte and is neither a PDF nor a
// SQLite database. A missing output passes.
void checkOutputFile(const std::string& path, OutputKind kind, std::initializer_list<std::string> inputs);

}  // namespace store
