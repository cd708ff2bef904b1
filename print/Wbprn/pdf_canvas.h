#pragma once
// A drawing surface that paints onto a PDF document at a printer's
// resolution: one device pixel = 1/dpi inch, origin at the top-left of the
// printable area. The Japanese face the waybill asks for is mapped onto an
// installed mincho, and the font is embedded so the printer needs none.
#include <QPageSize>
#include <QPointF>
#include <QString>
#include <memory>

#include "print/Wbprn/painter_canvas.h"
#include "print/core/surface.h"

class QFile;
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

class PdfCanvas final : public print::Surface {
public:
    // Writes to the file at `path` (created or emptied); the document is
    // complete after finish().
    PdfCanvas(const QString& path, const PdfPageSetup& setup, const QString& title);
    // Writes to a device the caller has opened for writing and keeps until
    // finish() has returned.
    PdfCanvas(QIODevice& device, const PdfPageSetup& setup, const QString& title);
    ~PdfCanvas() override;
    PdfCanvas(const PdfCanvas&) = delete;
    PdfCanvas& operator=(const PdfCanvas&) = delete;

    void setFontName(const std::string& sjisFace) override { canvas_->setFontName(sjisFace); }
    void setFontSize(int points) override { canvas_->setFontSize(points); }
    void setFontColor(print::Color color) override { canvas_->setFontColor(color); }
    void setBrushColor(print::Color color) override { canvas_->setBrushColor(color); }
    void textOut(int x, int y, const std::string& sjisText) override { canvas_->textOut(x, y, sjisText); }
    void line(int x1, int y1, int x2, int y2) override { canvas_->line(x1, y1, x2, y2); }

    void newPage();
    // Ends the document, flushes the device and closes the file it opened;
    // false when any of it failed (the document is then not whole).
    bool finish();
    // Why finish() failed, empty when it did not.
    const QString& errorString() const { return error_; }

    // Em height in device pixels for a point size at this vertical dpi.
    static int pixelSizeFor(int points, int dpi) { return wbprn::pixelSizeFor(points, dpi); }

private:
    void start(const PdfPageSetup& setup, const QString& title);

    std::unique_ptr<QFile> ownFile_;  // the file opened by path, if any
    QIODevice* device_ = nullptr;
    QString error_;
    std::unique_ptr<QPdfWriter> writer_;
    std::unique_ptr<QPainter> painter_;
    std::unique_ptr<PainterCanvas> canvas_;
    bool finished_ = false;
};

}  // namespace wbprn
