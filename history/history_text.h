#pragma once
// Text keys of the history and address book: what search and completion
// compare, so that width and punctuation differences do not hide a match.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "history/waybill_record.h"

namespace store {

// The digits of a Shift-JIS telephone number, full-width digits taken as
// half-width and everything else (hyphens, brackets, blanks) dropped:
// "０３－１２３４" and "03-1234" both give "031234".
std::string telKey(std::string_view sjis);

// UTF-8 text folded for substring search: full-width ASCII to half-width,
// the ideographic space to a blank, A-Z to a-z, half-width katakana to
// full-width (a following voiced or semi-voiced mark joined on), control
// characters dropped. Invalid UTF-8 bytes are dropped.
std::string searchFold(std::string_view utf8);

// The folded text that substring search looks in for a row: its name,
// telephone, postal code, address and goods, each folded and followed by
// a control character (which no folded query holds, so a match never
// spans two fields), then the telephone's digits.
std::string searchText(const WaybillRecord& r);

// A search text that is a number (a postal code, a telephone number, a
// tracking or order number, or a piece of one): four or more digits with
// nothing but hyphens, dashes, blanks or brackets between them. Returns
// its digits, or "" for any other text, which is searched as text.
std::string numberQuery(std::string_view folded);

// What a number query is looked up under in a row: its numbers as digits
// (UTF-8 fields, any width), each entry at least four digits long:
//  - the postal code, telephone, order and tracking numbers whole, and
//    each from the start of each of its groups ("03-1234-5678" also as
//    "12345678" and "5678"; a tracking number also from its fifth digit,
//    its groups as printed on the form), so that a query finds them as a
//    prefix;
//  - the telephone, order and tracking numbers reversed after 'r', so
//    that a query finds their last digits as a prefix too.
// A row matches a number query when an entry starts with its digits, or
// with 'r' and its digits reversed (numberRanges()).
std::vector<std::string> numberKeys(std::string_view zip, std::string_view tel, std::string_view tracking,
                                    std::string_view orderNo);
std::vector<std::string> numberKeys(const WaybillRecord& r);  // Shift-JIS fields

// The two key prefixes a number query looks for: its digits, and 'r' with
// its digits reversed.
std::array<std::string, 2> numberPrefixes(const std::string& digits);

// Whether a row's search text (searchText()) and number keys
// (numberKeys()) hold the folded query: a number by its keys, other text
// as a substring. The stores' indexes answer the same.
bool rowMatches(const std::string& folded, const std::string& searchText, const std::vector<std::string>& keys);

// The number of UTF-8 characters (lead bytes) in the text.
std::size_t utf8Length(std::string_view utf8);

// The smallest byte string greater than every string that starts with
// `prefix` (for a range scan prefix <= x < bound); empty when there is
// none (the prefix is empty or all 0xFF bytes).
std::string prefixBound(std::string_view prefix);

}  // namespace store
