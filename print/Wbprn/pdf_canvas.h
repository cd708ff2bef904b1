#pragma once
// A drawing surface that paints onto a PDF document at a printer's
// resolution: one device pixel = 1/dpi inch, origin at the top-left of the
// printable area. The Japanese face the waybill asks for is mapped onto an
// installed mincho, and the font is embedded so the printer needs none.
#include <QColor>
#include <QFont>
#include <QPageSize>
#include <QPointF>
#include <QString>
#include <memory>

#include "print/core/surface.h"

class QIODevice;
class QPainter;
class QPdfWriter;

namespace wbprn {

struct PdfPageSetup {
    QPageSize pageSize{QPageSize::A4};
    int dpi = 300;   // vertical resolution
    int dpiX = 0;    // horizontal resolution when it differs (0: same as dpi)
    // Top-left corner of the printable area measured from the paper's
    // top-left corner, in points (1/72 inch).
    QPointF printableOrigin{0, 0};
};

// Registers the substitutes for the Windows face names the layout uses
// ("ＭＳ Ｐ明朝" → IPAPMincho / IPAexMincho / Noto Serif CJK JP). Idempotent.
void registerFontSubstitutes();

class PdfCanvas final : public print::Surface {
public:
    // Writes to the file at `path`; the document is complete after finish().
    PdfCanvas(const QString& path, const PdfPageSetup& setup, const QString& title);
    ~PdfCanvas() override;
    PdfCanvas(const PdfCanvas&) = delete;
    PdfCanvas& operator=(const PdfCanvas&) = delete;

    void setFontName(const std::string& sjisFace) override;
    void setFontSize(int points) override;
    void setFontColor(print::Color color) override;
    void setBrushColor(print::Color color) override;
    void textOut(int x, int y, const std::string& sjisText) override;

    void newPage();
    // Ends the document and closes the file; false when writing failed.
    bool finish();

    // Em height in device pixels for a point size at this vertical dpi.
    static int pixelSizeFor(int points, int dpi);

private:
    void applyFont();

    PdfPageSetup setup_;
    std::unique_ptr<QPdfWriter> writer_;
    std::unique_ptr<QPainter> painter_;
    QFont font_;
    int points_ = 10;
    QColor textColor_{Qt::black};
    QColor brushColor_{Qt::white};
    bool finished_ = false;
};

}  // namespace wbprn
