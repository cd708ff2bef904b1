#include "print/Wbprn/pdf_canvas.h"

#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

namespace wbprn {

PdfCanvas::PdfCanvas(const QString& path, const PdfPageSetup& setup, const QString& title)
    : writer_(std::make_unique<QPdfWriter>(path)) {
    registerFontSubstitutes();
    writer_->setTitle(title);
    writer_->setCreator(QStringLiteral("vamu_Pelican"));
    writer_->setResolution(setup.dpi);
    writer_->setPageLayout(QPageLayout(setup.pageSize, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                                       QPageLayout::Point));
    painter_ = std::make_unique<QPainter>(writer_.get());
    canvas_ = std::make_unique<PainterCanvas>(*painter_, setup.dpi, setup.dpiX, setup.printableOrigin);
}

PdfCanvas::~PdfCanvas() {
    if (!finished_) finish();
}

void PdfCanvas::newPage() {
    if (!painter_ || !painter_->isActive()) return;
    writer_->newPage();
    canvas_->apply();
}

bool PdfCanvas::finish() {
    if (finished_) return true;
    finished_ = true;
    const bool ok = painter_ && painter_->end();
    canvas_.reset();
    painter_.reset();
    writer_.reset();
    return ok;
}

}  // namespace wbprn
