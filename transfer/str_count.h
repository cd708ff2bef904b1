#pragma once
#include <string_view>

// Non-overlapping occurrences of mark in text (both Shift-JIS). The scan
// steps by whole characters, so a mark is never found inside a double-byte
// character (an "F" that is the second byte of "：" does not count). An
// empty mark occurs nowhere.
int Str_Count(std::string_view text, std::string_view mark);
