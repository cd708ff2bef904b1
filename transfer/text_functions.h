#pragma once
// Small Shift-JIS text functions of the transfer, also used by the entry
// form and the printer registration.
#include <string>
#include <string_view>

// Trims bytes 0..32 at both ends, then removes leading and trailing
// characters as long as they are ASCII or full-width spaces.
std::string Space_Trim(std::string_view sjisText);

// The number the text opens with, as the numeric edit control with its
// default settings reads it ("１０１号室" reads "101"; "03-1234" reads "3").
std::string Num_Reading(std::string_view sjisText);

// The integer the text spells in decimal (optional sign, digits only), or 0
// when it spells none or the value does not fit.
int Str_ToInt0(std::string_view text);
