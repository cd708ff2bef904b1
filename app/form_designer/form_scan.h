#pragma once
// The picture of the empty form the designer lays its boxes over: a scan or
// photo (PNG, JPEG) or the first page of a PDF, rendered by poppler's
// pdftoppm so that no PDF library is linked in.
#include <QImage>
#include <QSizeF>
#include <QString>
#include <optional>

namespace form_design {

// The resolution a PDF page is rendered at.
inline constexpr int kPdfDpi = 200;
// Below this a picture's resolution is taken as unknown: it is what image
// files without one report (72 or 96), never a scanner's.
inline constexpr int kLowestScanDpi = 100;

struct Scan {
    QImage image;                   // null when the file could not be read
    QString error;                  // "… を読み込めません" and why
    std::optional<QSizeF> sizeMm;   // from the picture's own resolution
    int dpi = 0;                    // 0: unknown
};

Scan loadScan(const QString& path);

}  // namespace form_design
