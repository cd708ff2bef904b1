#include "app/form_designer/form_design.h"

#include <algorithm>
#include <cmath>

#include "print/core/form_check.h"

namespace form_design {

int unitsOf(double mm) { return static_cast<int>(std::lround(mm * kUnitsPerMm)); }
double mmOf(int units) { return units / kUnitsPerMm; }

FormDesign::FormDesign(print::Form form)
    : form_(std::move(form)), widthMm_(mmOf(form_.width)), heightMm_(mmOf(form_.height)) {
    boxes_.reserve(form_.items.size());
    for (const auto& p : form_.items) boxes_.push_back({mmOf(p.u), mmOf(p.v), mmOf(p.right), mmOf(p.bottom)});
}

void FormDesign::moveTo(std::size_t i, double leftMm, double topMm) {
    BoxMm& b = boxes_.at(i);
    const double w = b.width(), h = b.height();
    // A box larger than the page stays at the page's corner.
    b.left = std::max(0.0, std::min(leftMm, widthMm_ - w));
    b.top = std::max(0.0, std::min(topMm, heightMm_ - h));
    b.right = b.left + w;
    b.bottom = b.top + h;
    store(i);
}

void FormDesign::moveBy(std::size_t i, double dxMm, double dyMm) {
    const BoxMm& b = boxes_.at(i);
    moveTo(i, b.left + dxMm, b.top + dyMm);
}

void FormDesign::resizeTo(std::size_t i, double rightMm, double bottomMm) {
    BoxMm& b = boxes_.at(i);
    b.right = std::max(b.left + kMinBoxMm, std::min(rightMm, widthMm_));
    b.bottom = std::max(b.top + kMinBoxMm, std::min(bottomMm, heightMm_));
    store(i);
}

void FormDesign::setFontSize(std::size_t i, int points) {
    form_.items.at(i).size = std::clamp(points, print::kMinFontPoints, print::kMaxFontPoints);
}

void FormDesign::setPageMm(double widthMm, double heightMm) {
    const bool feedIsHeight = form_.pageLength == form_.height;
    widthMm_ = std::max(widthMm, kMinBoxMm);
    heightMm_ = std::max(heightMm, kMinBoxMm);
    form_.width = unitsOf(widthMm_);
    form_.height = unitsOf(heightMm_);
    if (feedIsHeight) form_.pageLength = form_.height;
}

void FormDesign::setIdentity(const std::string& id, const std::string& name) {
    form_.id = id;
    form_.name = name;
}

void FormDesign::setCarrier(const print::FormCarrier& carrier, print::TrackingRule rule, int digits) {
    form_.carrier = carrier;
    form_.tracking = rule;
    form_.trackingDigits = digits;
}

void FormDesign::store(std::size_t i) {
    const BoxMm& b = boxes_[i];
    auto& p = form_.items[i];
    p.u = unitsOf(b.left);
    p.v = unitsOf(b.top);
    // From the size, so that a moved box keeps its width and height in units.
    p.right = p.u + unitsOf(b.width());
    p.bottom = p.v + unitsOf(b.height());
}

}  // namespace form_design
