#pragma once
// The four line tests of the transfer. Each is a pure function of one
// Shift-JIS line.
#include <string>
#include <string_view>
#include <vector>

namespace transfer {

// Mail/web marks ("@" ".com" ".jp" ".co" ".org" ".ne" ".net"), in order.
const std::vector<std::string>& mailWebMarks();
// The 22 digit marks (ASCII and full-width digits and hyphens).
const std::vector<std::string>& digitMarks();
// The 57 name-or-address marks: the digit marks, then address words.
const std::vector<std::string>& nameAddrMarks();
// The 47 prefecture names, north to south.
const std::vector<std::string>& prefectureNames();

// Sum of the mail/web mark counts. The marks overlap on purpose: ".com"
// also counts as ".co", ".net" also as ".ne".
int mailWebMarkCount(std::string_view text);

enum class ZipTelVerdict { Zip, Tel, Address, Undecided };

// Postal code or telephone, by the trimmed text's length in characters and
// how many of them are not digit marks; a hyphen-like mark between two
// digits ("100ー0001") counts as the hyphen.
ZipTelVerdict zipTelVerdict(std::string_view text);
// The verdict as its caption: "〒", "TEL", "ADD", "〒/電話番工判断" (Shift-JIS).
const std::string& verdictCaption(ZipTelVerdict v);

// True when the text is exactly one prefecture name (no trimming).
bool isPrefectureName(std::string_view text);

struct NameAddrCount {
    int chars = 0;  // length in characters of the trimmed text
    int marks = 0;  // name-or-address marks in it, overlapping marks each
};
NameAddrCount nameAddrCount(std::string_view text);

}  // namespace transfer
