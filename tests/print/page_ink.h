#pragma once
// Comparing a preview image with a print job's PDF: the PDF's first page
// rasterised by poppler at the preview's resolution, and the ink (dark
// pixels) of each planned text found in both.
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QTemporaryDir>
#include <optional>
#include <vector>

#include "print/core/form_items.h"
#include "print/core/layout.h"
#include "text/sjis_qt.h"

namespace page_ink {

// Bounding box of the inked pixels inside a rectangle (any clear grey, so
// that a thin stroke counts whichever way it is antialiased); null when none.
inline QRect ink(const QImage& image, const QRect& within) {
    QRect box;
    const QRect r = within.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (qGray(image.pixel(x, y)) < 192) box |= QRect(x, y, 1, 1);
    return box;
}

// The first page of a PDF as a grey image at `dpi` (pdftoppm); nullopt
// when poppler fails.
inline std::optional<QImage> firstPage(const QString& pdf, int dpi) {
    QTemporaryDir dir;
    QProcess p;
    p.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"),
                                         QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"),
                                         QStringLiteral("-gray"), pdf, dir.filePath(QStringLiteral("p"))});
    if (!p.waitForFinished(20000) || p.exitCode() != 0) return std::nullopt;
    const QStringList out = QDir(dir.path()).entryList({QStringLiteral("p*.pgm")});
    if (out.size() != 1) return std::nullopt;
    QImage image(dir.filePath(out[0]));
    if (image.isNull()) return std::nullopt;
    return image;
}

// For every planned text, its area on both images (printable area's corner
// at `originPx`, x scaled by dpi / dpiX) and the ink there. Returns one
// message per text whose ink differs by more than a pixel on any side, or
// that has no ink in the PDF.
inline QStringList inkDifferences(const QImage& printed, const QImage& preview, const print::WaybillFields& fields,
                                  QPointF originPx, double xScale) {
    QStringList problems;
    const print::DeviceMap map = print::DeviceMap::of(fields);
    for (const print::DrawItem& item : print::planWaybill(fields)) {
        const print::DeviceRect a = map.area(item.item);
        const QRect area(QPoint(static_cast<int>(originPx.x() + a.x * xScale), static_cast<int>(originPx.y() + a.y)),
                         QPoint(static_cast<int>(originPx.x() + a.right * xScale) - 1,
                                static_cast<int>(originPx.y() + a.bottom) - 1));
        const QRect want = ink(printed, area), got = ink(preview, area);
        const QString text = sjis::toQString(item.text);
        if (want.isNull()) {
            problems << text + QStringLiteral(": no ink in the PDF");
            continue;
        }
        if (qAbs(want.left() - got.left()) > 1 || qAbs(want.top() - got.top()) > 1 ||
            qAbs(want.right() - got.right()) > 1 || qAbs(want.bottom() - got.bottom()) > 1)
            problems << QStringLiteral("%1: pdf %2,%3-%4,%5 preview %6,%7-%8,%9")
                            .arg(text)
                            .arg(want.left()).arg(want.top()).arg(want.right()).arg(want.bottom())
                            .arg(got.left()).arg(got.top()).arg(got.right()).arg(got.bottom());
    }
    return problems;
}

}  // namespace page_ink
