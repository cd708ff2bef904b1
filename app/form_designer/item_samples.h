#pragma once
// What the designer shows in each item's box: the widest text a real
// waybill puts there (the longest address line the entry form takes, a long
// full name, a full telephone number, two-digit dates, the marks), and which
// items that text or its font would spill out of.
#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "print/core/form.h"

namespace wbprn {
class PrintFontMeasure;
}

namespace form_design {

// The sample text of an item (Shift-JIS, as the layout prints it), and the
// same as Unicode; both made once.
const std::string& itemSample(print::FormItem item);
const QString& itemSampleText(print::FormItem item);

// Why an item's sample does not fit its box, for the check list.
struct Spill {
    std::size_t index = 0;  // in form.items
    bool tooWide = false;   // the text runs past the box's right edge
    bool tooTall = false;   // the font's em is taller than the box
};

// Measures every item's sample in the print font (at 160 dpi, where one
// device pixel is one form unit) and lists the items that spill.
class SpillCheck {
public:
    SpillCheck();
    ~SpillCheck();
    SpillCheck(const SpillCheck&) = delete;
    SpillCheck& operator=(const SpillCheck&) = delete;

    // Width of an item's sample in form units at a point size.
    int sampleWidth(print::FormItem item, int points);
    std::vector<Spill> spills(const print::Form& form);

private:
    std::unique_ptr<wbprn::PrintFontMeasure> measure_;
};

// "はみ出す: おところ①（幅）" for the check list.
QString spillText(const print::FormItemPlace& place, const Spill& spill);

}  // namespace form_design
