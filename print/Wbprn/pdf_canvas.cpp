#include "print/Wbprn/pdf_canvas.h"

#include <QFile>
#include <QFileDevice>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

namespace wbprn {

PdfCanvas::PdfCanvas(const QString& path, const PdfPageSetup& setup, const QString& title)
    : ownFile_(std::make_unique<QFile>(path)), device_(ownFile_.get()) {
    // A file that cannot be opened leaves the painter inactive: nothing is
    // drawn and finish() reports the failure.
    if (!ownFile_->open(QIODevice::WriteOnly | QIODevice::Truncate)) error_ = ownFile_->errorString();
    start(setup, title);
}

PdfCanvas::PdfCanvas(QIODevice& device, const PdfPageSetup& setup, const QString& title) : device_(&device) {
    start(setup, title);
}

void PdfCanvas::start(const PdfPageSetup& setup, const QString& title) {
    writer_ = std::make_unique<QPdfWriter>(device_);
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
    if (finished_) return error_.isEmpty();
    finished_ = true;
    const bool active = painter_ && painter_->isActive();
    const bool ended = active && painter_->end();
    canvas_.reset();
    painter_.reset();
    writer_.reset();
    if (!ended && error_.isEmpty()) error_ = QStringLiteral("the PDF document could not be made");
    // The PDF writer does not look at what its writes return: a full disk
    // or a file size limit shows only in the file's own error state, which
    // stays set from the first failed write. Flush and close are checked
    // the same way, so a document that is not whole is never taken as one.
    if (auto* file = qobject_cast<QFileDevice*>(device_); file && file->isOpen()) {
        const bool flushed = file->flush();
        if (file->error() == QFileDevice::NoError && !flushed) error_ = QStringLiteral("cannot flush the document");
        if (file->error() != QFileDevice::NoError && error_.isEmpty()) error_ = file->errorString();
        if (ownFile_) {
            file->close();
            if (file->error() != QFileDevice::NoError && error_.isEmpty()) error_ = file->errorString();
        }
    }
    return error_.isEmpty();
}

}  // namespace wbprn
