#pragma once
// Fields of the CSV files we write for spreadsheet programs (the history
// export, the orders left unprinted): every field quoted, inner quotes
// doubled, and a text a spreadsheet would run as a formula disarmed.
#include <string>
#include <string_view>

namespace store {

// True for a text that starts like a formula or a cell command: = + - @,
// or a tab or CR that some programs skip before looking.
bool looksLikeFormula(std::string_view utf8);

// The text with a leading apostrophe when it looksLikeFormula, as a
// spreadsheet shows it as text; any other text unchanged.
std::string formulaDisarmed(std::string_view utf8);

// One CSV field: quoted, inner quotes doubled. A text that looksLikeFormula
// gets a leading apostrophe, so an order text pasted from a web page cannot
// become a live formula in the user's spreadsheet.
std::string csvField(std::string_view utf8);

// A cell read back from such a file without the apostrophe that csvField
// put before a formula-like text; any other cell unchanged.
std::string_view withoutFormulaMark(std::string_view cell);

}  // namespace store
