#pragma once
// Whether a form can be printed on: every item inside the page, no two
// areas overlapping, each item's font fitting its area, the items a
// waybill cannot do without present, sizes within bounds.
#include <cstddef>
#include <vector>

#include "print/core/form.h"
#include "print/core/form_file.h"

namespace print {

// Bounds a form is held to. A page is at most 17 inches either way (wider
// than any continuous form a dot-matrix printer takes, and A3's long side).
inline constexpr int kMaxFormSide = 17 * 160;
inline constexpr int kMinFontPoints = 4, kMaxFontPoints = 72;
inline constexpr int kMaxItemBytes = 255;  // an item's byte limit, Shift-JIS bytes
inline constexpr int kMinTrackingDigits = 2, kMaxTrackingDigits = 20;
inline constexpr std::size_t kMaxFormNameBytes = 120;    // UTF-8: 40 kanji
inline constexpr std::size_t kMaxCarrierTextBytes = 60;  // carrier name, service and codes

// Every problem, each naming its item; empty when the form is sound. The
// built-in form has none.
std::vector<FormProblem> checkForm(const Form& form);

}  // namespace print
