#include "print/preview_page.h"

#include <QImage>
#include <QPainter>
#include <cmath>

#include "print/Wb_d97_Dot.h"
#include "print/Wbprn/WbPrinters.h"
#include "print/Wbprn/painter_canvas.h"
#include "print/core/form_items.h"
#include "text/sjis_qt.h"

namespace print_preview {

namespace {

const QColor kPaper{Qt::white};
const QColor kOffPrintable{236, 236, 236};  // paper the printer cannot reach
const QColor kGuide{150, 185, 230};         // printable area and item areas
const QColor kOverflow{220, 0, 0};

double pixelsPerPoint(const PageSetup& s) { return s.dpi / 72.0; }

}  // namespace

PageSetup currentPageSetup() {
    PageSetup s;
    const TPoint dpi = WbPrinter().Dpi();
    s.dpi = dpi.y;
    s.dpiX = dpi.x;
    s.page = WbPrinter().PaperLayout();
    return s;
}

print::WaybillFields printFields(const QWidget& form, const PageSetup& setup, std::uint16_t scale,
                                 const std::optional<Margins>& margins) {
    print::WaybillFields f = gatherWaybillFields(form);
    f.dpix = std::to_string(print::effectiveResolution(setup.dpiX, scale));
    f.dpiy = std::to_string(print::effectiveResolution(setup.dpi, scale));
    if (margins) {
        f.prnTop = sjis::fromQString(margins->top);
        f.prnLeft = sjis::fromQString(margins->left);
    }
    return f;
}

void PreviewPage::update(const print::WaybillFields& fields, const PageSetup& setup) {
    std::vector<print::DrawItem> items = print::planWaybill(fields);
    const print::DeviceMap map = print::DeviceMap::of(fields);
    // Measured as the canvas draws, at the printer's own resolution.
    wbprn::PrintFontMeasure measure(setup.dpi, setup.dpiX);
    const QRectF printable = setup.page.printable;
    const print::ImageableArea area{static_cast<int>(std::floor(printable.width() * setup.dpiX / 72.0)),
                                    static_cast<int>(std::floor(printable.height() * setup.dpi / 72.0)), setup.dpi};
    std::vector<print::Overflow> overflows = print::findOverflows(
        items, map, [&](int points, const std::string& text) { return measure.width(points, text); }, area);
    std::vector<print::DeviceRect> areas;
    for (const print::FormItemPlace& place : map.form->items) areas.push_back(map.area(place.item));
    setup_ = setup;
    areas_ = std::move(areas);
    items_ = std::move(items);
    overflows_ = std::move(overflows);
    planned_ = true;
}

QSizeF PreviewPage::pixelSize() const { return setup_.page.paper * pixelsPerPoint(setup_); }

void PreviewPage::paint(QPainter& painter, bool guides) const {
    painter.save();
    const double k = pixelsPerPoint(setup_);
    const QRectF paper(QPointF(0, 0), pixelSize());
    const QRectF printable(setup_.page.printable.topLeft() * k, setup_.page.printable.size() * k);
    painter.fillRect(paper, guides ? kOffPrintable : kPaper);
    painter.fillRect(printable, kPaper);
    if (guides) {
        painter.setPen(QPen(kGuide, 0));
        painter.drawRect(printable);
    }
    if (!planned_) {
        painter.restore();
        return;
    }

    // Item areas in device pixels, under the texts as on the form.
    const QTransform base = painter.transform();
    auto toDevice = [&] {
        painter.setTransform(base);
        painter.translate(printable.topLeft());
        if (setup_.dpiX != setup_.dpi) painter.scale(static_cast<double>(setup_.dpi) / setup_.dpiX, 1.0);
    };
    auto deviceRect = [](const print::DeviceRect& r) { return QRect(QPoint(r.x, r.y), QPoint(r.right - 1, r.bottom - 1)); };
    if (guides) {
        toDevice();
        painter.setPen(QPen(kGuide, 0, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        for (const print::DeviceRect& area : areas_) painter.drawRect(deviceRect(area));
        painter.setTransform(base);
    }

    // The texts exactly as the job draws them.
    {
        wbprn::PainterCanvas canvas(painter, setup_.dpi, setup_.dpiX, setup_.page.printable.topLeft());
        print::drawItems(items_, canvas);
    }

    if (guides) {
        toDevice();
        const int em = wbprn::pixelSizeFor(10, setup_.dpi);
        for (const print::Overflow& o : overflows_) {
            painter.setPen(QPen(kOverflow, std::max(1, em / 12)));
            painter.drawRect(deviceRect(areas_[static_cast<std::size_t>(o.item)]));
            for (const print::DrawItem& item : items_) {
                if (item.item != o.item) continue;
                const int h = wbprn::pixelSizeFor(item.size, setup_.dpi);
                painter.fillRect(QRect(item.x, item.y + h, o.width, std::max(2, h / 10)), kOverflow);
            }
        }
    }
    painter.restore();
}

QImage PreviewPage::render(bool guides) const {
    const QSizeF size = pixelSize();
    QImage image(static_cast<int>(std::ceil(size.width())), static_cast<int>(std::ceil(size.height())),
                 QImage::Format_RGB32);
    const int dotsPerMeter = static_cast<int>(std::lround(setup_.dpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    paint(painter, guides);
    return image;
}

QString overflowPrompt(const std::vector<print::Overflow>& overflows) {
    QStringList labels;
    for (const print::Overflow& o : overflows) {
        const QString label = sjis::toQString(print::formItem(o.item).label);
        if (!labels.contains(label)) labels << label;
    }
    if (labels.isEmpty()) return {};
    return QStringLiteral("はみ出す項目: ") + labels.join(QStringLiteral("、"));
}

}  // namespace print_preview
