#pragma once
// The waybill's drawing surface over any QPainter: device pixels of a
// printer (1/dpi inch, origin at the top-left of the printable area), the
// Windows face names mapped onto installed fonts, text on an opaque cell.
// The PDF document of a print job and the preview both draw through it, so
// what the preview shows is what the job carries.
#include <QColor>
#include <QFont>
#include <QPointF>
#include <QTransform>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>

#include "print/core/surface.h"

class QFontMetrics;
class QPainter;

namespace wbprn {

// Registers the substitutes for the Windows face names the layout uses
// ("ＭＳ Ｐ明朝" → IPAPMincho / IPAexMincho / Noto Serif CJK JP). Idempotent.
void registerFontSubstitutes();

// Em height in device pixels for a point size at a vertical resolution.
int pixelSizeFor(int points, int dpi);

// The print font of a face and size at a printer's resolution: pixel size
// from the vertical resolution, widened or narrowed when the horizontal one
// differs so that x counts the printer's own horizontal pixels.
QFont printFont(const QString& family, int points, int dpi, int dpiX);

// Widths of texts in the print font, as the canvas draws them (one metrics
// object per size, made on first use). Widths are remembered: a batch of
// waybills repeats most of its texts (digits, dates, marks, the sender),
// and shaping a text costs far more than looking it up.
class PrintFontMeasure {
public:
    PrintFontMeasure(int dpi, int dpiX);
    ~PrintFontMeasure();
    PrintFontMeasure(const PrintFontMeasure&) = delete;
    PrintFontMeasure& operator=(const PrintFontMeasure&) = delete;

    // Advance width in device pixels of a Shift-JIS text in the waybill's face.
    int width(int points, const std::string& sjisText);

private:
    int dpi_, dpiX_;
    std::map<int, std::unique_ptr<QFontMetrics>> metrics_;
    std::unordered_map<std::string, int> widths_;  // key: size, NUL, text
};

class PainterCanvas final : public print::Surface {
public:
    // `printableOriginPt`: the printable area's corner from the painter's
    // origin in points (1/72 inch). The painter's own transform is kept and
    // the device mapping applied on top of it; it must map one unit to one
    // pixel at `dpi` for the sizes to be the printer's.
    PainterCanvas(QPainter& painter, int dpi, int dpiX, QPointF printableOriginPt);

    void setFontName(const std::string& sjisFace) override;
    void setFontSize(int points) override;
    void setFontColor(print::Color color) override;
    void setBrushColor(print::Color color) override;
    void textOut(int x, int y, const std::string& sjisText) override;
    void line(int x1, int y1, int x2, int y2) override;

    // Applies font and device mapping again (a new page resets the painter).
    void apply();

private:
    QPainter& painter_;
    QTransform base_;
    int dpi_, dpiX_;
    QPointF origin_;
    QString family_;
    int points_ = 10;
    QColor textColor_{Qt::black};
    QColor brushColor_{Qt::white};
};

}  // namespace wbprn
