#pragma once
// Which texts of a filled waybill will not fit: wider than their item's area
// on the form, or reaching outside the printer's imageable area with the
// current margins. The core knows no fonts: the caller measures the text
// with the print font at the printer's resolution.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "print/core/form_items.h"
#include "print/core/layout.h"

namespace print {

// Advance width in device pixels of a Shift-JIS text at a point size.
using TextWidth = std::function<int(int points, const std::string& sjisText)>;

// The printer's imageable area in device pixels (device coordinates start
// at its top-left corner), with the vertical resolution that gives a text's
// height: an em of s points is round(s × dpiY / 72) pixels.
struct ImageableArea {
    int width = 0, height = 0;
    int dpiY = 0;
};

struct Overflow {
    FormItem item = FormItem::Count;
    int width = 0;  // the text's width in device pixels
    // Device pixels from the text's start to the end of its area, or to the
    // imageable area's right edge where that comes first.
    int room = 0;
    // Some part of the text's cell lies outside the imageable area.
    bool outside = false;
    friend bool operator==(const Overflow&, const Overflow&) = default;
};

// The planned texts that do not fit, in drawing order. A text exactly as
// wide as its room fits. Raises nothing of its own (only what `width`
// raises).
std::vector<Overflow> findOverflows(const std::vector<DrawItem>& items, const DeviceMap& map,
                                    const TextWidth& width, const std::optional<ImageableArea>& imageable = {});

}  // namespace print
