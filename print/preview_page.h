#pragma once
// The page the print command would send for the waybill on the main form,
// drawn for the eye: the paper at the printer's resolution, the printable
// area and every item's area lightly drawn, the texts drawn by the same
// canvas code as the print job, and texts that do not fit marked in red.
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "print/Wbprn/printer_system.h"
#include "print/core/layout.h"
#include "print/core/overflow.h"

class QImage;
class QPainter;
class QWidget;

namespace print_preview {

// What the page depends on besides the fields: the printer's paper and
// printable area (points) and its own resolution, from which the font
// sizes come.
struct PageSetup {
    wbprn::PageGeometry page;
    int dpi = 360;   // vertical
    int dpiX = 360;  // horizontal
};

// The current printer's setup (TWbPrinter); raises what the printer layer
// raises, e.g. with no printer.
PageSetup currentPageSetup();

// The main form's fields as the print command hands them to the layout:
// Label_dpix / Label_dpiy replaced by the effective resolution of `setup`'s
// printer at its scale (the labels themselves are not touched). Margins
// given here stand in for the margin labels (the margin dialog's fields
// while it is open).
struct Margins {
    QString top, left;
};
print::WaybillFields printFields(const QWidget& form, const PageSetup& setup, std::uint16_t scale,
                                 const std::optional<Margins>& margins = {});

class PreviewPage {
public:
    // Plans and checks the waybill and maps every item's area. Raises what
    // the layout raises (a bad caption, an unmappable position or area);
    // the page then keeps its previous state. Painting raises nothing.
    void update(const print::WaybillFields& fields, const PageSetup& setup);

    bool empty() const { return !planned_; }
    const std::vector<print::DrawItem>& items() const { return items_; }
    const std::vector<print::Overflow>& overflows() const { return overflows_; }
    const PageSetup& setup() const { return setup_; }

    // The paper in device pixels of the vertical resolution (both axes).
    QSizeF pixelSize() const;

    // Paints the page with the paper's top-left corner at the painter's
    // origin, one unit per device pixel of the vertical resolution (scale
    // the painter to zoom). `guides`: printable area, item areas and
    // overflow marks; without them the page is as printed.
    void paint(QPainter& painter, bool guides = true) const;

    // The page on an image at the printer's resolution.
    QImage render(bool guides = true) const;

private:
    bool planned_ = false;
    PageSetup setup_;
    std::vector<print::DeviceRect> areas_;  // per FormItem, device pixels
    std::vector<print::DrawItem> items_;
    std::vector<print::Overflow> overflows_;
};

// "はみ出す項目: おなまえ、品名①" for the items that do not fit (each
// label once, in drawing order); empty when everything fits.
QString overflowPrompt(const std::vector<print::Overflow>& overflows);

}  // namespace print_preview
