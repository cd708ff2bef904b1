#pragma once
// The form file: one pre-printed form as UTF-8 text, read and written here.
//
//   ; comments start with ';' or '#'
//   [form]
//   name = ペリカン便 送り状
//   width = 1280            ; form units of 1/160 inch
//   height = 640
//   page_length = 640       ; the continuous form's feed per waybill
//   tracking = mod7         ; none | mod7 | digits
//   tracking_digits = 12
//   [carrier]
//   name = 日本通運
//   method = ペリカン便
//   amazon_code = Other
//   rakuten_code = 1021
//   [items]
//   ; key = size, u, v, right, bottom[, bytes]   (points; form units; byte limit, 0 none)
//   zip1 = 14, 190, 30, 235, 80
//
// The keys of [items] are the built-in table's keys (form_items.h). An item
// left out is not printed on this form. A comment may also follow a number
// or the tracking rule after a blank; the texts (the form's name and every
// key of [carrier]) run to the end of their line, ';' and '#' included.
// page_length defaults to height; tracking_digits is needed unless the rule
// is none; [carrier] needs a name, amazon_code defaults to "Other".
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "print/core/form.h"

namespace print {

inline constexpr std::size_t kMaxFormFileBytes = std::size_t{64} * 1024;

// One thing wrong with a form: the item's key ("" for the form as a whole,
// or a line of the file as "行 N") and what is wrong, in Japanese (UTF-8).
struct FormProblem {
    std::string item;
    std::string message;
    friend bool operator==(const FormProblem&, const FormProblem&) = default;
};

struct FormRead {
    std::optional<Form> form;  // set when the text could be read; check it before use
    std::vector<FormProblem> problems;
};

// Reads a form file's text; `id` becomes the form's id (the file's stem).
// Syntax errors, unknown sections, keys or items, duplicates, numbers that
// are not numbers and an unknown tracking rule are problems, and leave
// `form` empty.
FormRead parseForm(std::string_view text, std::string id);

// The file text of a form; parseForm(formText(f), f.id) gives f back.
std::string formText(const Form& form);

}  // namespace print
