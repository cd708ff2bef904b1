#pragma once
// The waybill layout: every field of the entry form at its fixed place on
// the carrier's pre-printed form, mapped from form units (1/160 inch) to
// printer pixels and shifted by the print-position margins.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "print/core/form.h"
#include "print/core/form_items.h"
#include "print/core/surface.h"
#include "print/core/waybill_fields.h"

namespace print {

// "ＭＳ Ｐ明朝" and "○" in Shift-JIS.
inline constexpr char kFaceName[] = "\x82\x6c\x82\x72\x20\x82\x6f\x96\xbe\x92\xa9";
inline constexpr char kMark[] = "\x81\x9b";

// A mapped position that does not fit a 32-bit device coordinate (absurd
// resolution or margin). Raised before anything is drawn.
class LayoutRangeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One text of the waybill: point size, device position, Shift-JIS text, and
// the form item it fills.
struct DrawItem {
    int size = 0;
    int x = 0, y = 0;
    std::string text;
    FormItem item = FormItem::Count;
    friend bool operator==(const DrawItem&, const DrawItem&) = default;
};

// The resolution the print command hands to the layout: resolution × 100 /
// the driver's scale percentage, truncated. A scale of 0 raises
// std::runtime_error("Division by zero"). 64-bit so that an absurd
// resolution cannot wrap; a value past the 32-bit range is then refused by
// the layout's caption check.
std::int64_t effectiveResolution(int dpi, std::uint16_t scale);

// Printer pixels per form unit in ten-thousandths: resolution × 10000 / 160
// rounded to the nearest integer, ties to even (201 dpi → 12562).
std::int64_t scaleRaw(std::int32_t resolution);

// The position as a 32-bit device coordinate; LayoutRangeError when it
// leaves that range.
std::int32_t checkedPosition(std::int64_t pos);

// floor((raw × units + 5000) / 10000) + margin, in 64 bits (|raw| < 2^38
// and |units| a form size, so it cannot overflow).
std::int64_t mapPosition64(std::int64_t raw, int units, std::int32_t margin);

// mapPosition64, raising LayoutRangeError when the result leaves the
// 32-bit range.
std::int32_t mapPosition(std::int64_t raw, int units, std::int32_t margin);

// A rectangle in device pixels; right and bottom are exclusive.
struct DeviceRect {
    int x = 0, y = 0, right = 0, bottom = 0;
    friend bool operator==(const DeviceRect&, const DeviceRect&) = default;
};

// The mapping from form units to device pixels that a waybill's captions
// give: scale per axis and the margins.
struct DeviceMap {
    std::int64_t rawX = 0, rawY = 0;
    std::int32_t top = 0, left = 0;
    const Form* form = &builtinForm();

    // Parses the resolutions, then the margins (the order in which a bad
    // caption is reported); raises ConvertError.
    static DeviceMap of(const WaybillFields& fields);
    // A form-unit rectangle in device pixels, margins included. Raises
    // LayoutRangeError like mapPosition.
    DeviceRect map(int u, int v, int right, int bottom) const;
    // The area of a form item; an empty rectangle at the form's origin for
    // an item the form does not print.
    DeviceRect area(FormItem item) const;
};

// The form the fields are printed on.
const Form& formOf(const WaybillFields& fields);

// Every text to draw, in drawing order, on the fields' form (items the form
// does not print are left out). All parsing and range checks happen
// here, so a bad caption (ConvertError) or an unmappable position
// (LayoutRangeError) is raised before anything reaches the surface. Empty
// texts are left out: they would draw nothing.
std::vector<DrawItem> planWaybill(const WaybillFields& fields);

// Sets face, black text and white background, then draws the items,
// setting each item's size before it when it differs from the last one.
void drawItems(const std::vector<DrawItem>& items, Surface& surface);

// planWaybill, then drawItems. Errors of either propagate unchanged.
void layoutWaybill(const WaybillFields& fields, Surface& surface);

}  // namespace print
