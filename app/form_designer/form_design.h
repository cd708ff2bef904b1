#pragma once
// The form being designed: a print::Form whose item boxes the user moves,
// resizes and sizes. Boxes are kept in millimetres as the user left them and
// stored into the form in whole form units (1/160 inch, rounded to the
// nearest): a nudge of 0.1 mm is 0.63 units, so single nudges add up in
// millimetres and the stored place follows their sum instead of losing each
// step to rounding. Qt-free.
#include <cstddef>
#include <string>
#include <vector>

#include "print/core/form.h"

namespace form_design {

inline constexpr double kUnitsPerMm = 160.0 / 25.4;
// The smallest box the user can resize to, in millimetres.
inline constexpr double kMinBoxMm = 1.0;

// Millimetres to form units, rounded to the nearest unit; and back.
int unitsOf(double mm);
double mmOf(int units);

// An item's box in millimetres from the form's top-left corner.
struct BoxMm {
    double left = 0, top = 0, right = 0, bottom = 0;
    double width() const { return right - left; }
    double height() const { return bottom - top; }
};

class FormDesign {
public:
    explicit FormDesign(print::Form form = print::builtinForm());

    const print::Form& form() const { return form_; }
    std::size_t count() const { return boxes_.size(); }
    const print::FormItemPlace& place(std::size_t i) const { return form_.items.at(i); }
    const BoxMm& box(std::size_t i) const { return boxes_.at(i); }
    double widthMm() const { return widthMm_; }
    double heightMm() const { return heightMm_; }

    // Moves a box, keeping its size, so that it stays whole on the page.
    void moveTo(std::size_t i, double leftMm, double topMm);
    void moveBy(std::size_t i, double dxMm, double dyMm);
    // Moves the bottom-right corner; the box keeps at least kMinBoxMm and
    // ends on the page.
    void resizeTo(std::size_t i, double rightMm, double bottomMm);
    // Clamped to the sizes a form may have (form_check.h).
    void setFontSize(std::size_t i, int points);
    // The page's size; the continuous feed follows the height when it was
    // the height before (a single form per feed).
    void setPageMm(double widthMm, double heightMm);
    void setIdentity(const std::string& id, const std::string& name);
    void setCarrier(const print::FormCarrier& carrier, print::TrackingRule rule, int digits);

private:
    void store(std::size_t i);

    print::Form form_;
    std::vector<BoxMm> boxes_;
    double widthMm_ = 0, heightMm_ = 0;
};

}  // namespace form_design
