#pragma once
// JSON in and out for the layout subcommands: a waybill's fields as one
// JSON object (texts UTF-8), and one JSON object per draw call.
#include <QByteArray>
#include <stdexcept>
#include <string>

#include "print/core/recording_surface.h"
#include "print/core/waybill_fields.h"

namespace cli {

// Bad JSON input; the message says which key and why (UTF-8).
class JsonInputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads the keys zip, add1, add2, name, tel, g1, g2, g3, date, print_date,
// de1, de2, de3, print_sender, my_zip, my_add1, my_add2, my_name, my_tel,
// time_band (6 booleans), special (5 booleans), dpix, dpiy, top, left.
// Texts are strings (dpix, dpiy, top and left may also be integers);
// a missing key is an empty text or an unchecked box, except print_date and
// print_sender, which default to checked as on the entry form. An unknown
// key, a wrong type, a character without a Shift-JIS form (a lone surrogate
// included) or a text over 65536 Shift-JIS bytes is an error.
print::WaybillFields waybillFromJson(const QByteArray& json);

// {"x":…,"y":…,"size":…,"text":…} with the text in UTF-8.
std::string drawCallJson(const print::RecordingSurface::Call& call);

}  // namespace cli
