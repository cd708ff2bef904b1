#pragma once
// The 4-inch continuous waybill form: forms joined at perforations every
// 4 inches and pulled through by the tractor. A page must be exactly one
// form long, or every form feed after the first lands off a perforation.
#include <QString>
#include <cstdint>

namespace wbprn {

inline constexpr double kFormWidthPt = 576;   // 8 inches
inline constexpr double kFormLengthPt = 288;  // 4 inches
// The custom page size asked of the queue for one form.
inline constexpr char kContinuousFormKeyword[] = "Custom.8x4in";
// The paper code of the one-form page in a queue's paper list (below
// 0x8000, so that the settings' signed paper size holds it).
inline constexpr std::uint16_t kContinuousFormPaperCode = 0x7F00;

// "送り状（連続 4インチ）", the one-form page in the paper lists.
QString continuousFormPaperName();

// How pages of a given length run through the continuous form: `forms`
// of them per page (2.75 for US Letter), and whether every page starts
// at a perforation (a whole number of forms).
struct FormFeed {
    double forms = 1;
    bool whole = true;
    bool oneForm() const { return whole && forms == 1; }
};
FormFeed formFeedOf(double pageLengthPt);

}  // namespace wbprn
