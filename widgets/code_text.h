#pragma once
// Postal codes and telephone numbers as the entry fields and the batch
// table keep them: a hyphen typed as "ー" between digits is a hyphen, and
// the whole is half-width.
#include <QString>

namespace codetext {

// The text with every hyphen-like mark between two digits (ASCII or
// full-width) read as "-": "ー" "ｰ" "‐" "―" "—" "－" "−". It replaces one
// character by one, so a caret keeps its place; elsewhere "ー" stays the
// long-vowel mark.
QString hyphensBetweenDigits(const QString& text);

// The hyphens read, then the half-width conversion. Characters that
// Shift-JIS cannot hold are left as they are.
QString halfWidth(const QString& text);

}  // namespace codetext
