#include "print/Wbprn/pdf_canvas.h"

#include <QFontMetrics>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>

#include "text/sjis_qt.h"

namespace wbprn {

void registerFontSubstitutes() {
    static const bool done = [] {
        const QStringList minchoP{QStringLiteral("IPAPMincho"), QStringLiteral("IPAexMincho"),
                                  QStringLiteral("Noto Serif CJK JP"), QStringLiteral("IPAMincho")};
        const QStringList mincho{QStringLiteral("IPAMincho"), QStringLiteral("IPAexMincho"),
                                 QStringLiteral("Noto Serif CJK JP"), QStringLiteral("IPAPMincho")};
        QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐ明朝"), minchoP);
        QFont::insertSubstitutions(QStringLiteral("MS PMincho"), minchoP);
        QFont::insertSubstitutions(QStringLiteral("ＭＳ 明朝"), mincho);
        QFont::insertSubstitutions(QStringLiteral("MS Mincho"), mincho);
        return true;
    }();
    (void)done;
}

int PdfCanvas::pixelSizeFor(int points, int dpi) {
    return static_cast<int>(std::lround(points * static_cast<double>(dpi) / 72.0));
}

PdfCanvas::PdfCanvas(const QString& path, const PdfPageSetup& setup, const QString& title)
    : setup_(setup), writer_(std::make_unique<QPdfWriter>(path)) {
    registerFontSubstitutes();
    writer_->setTitle(title);
    writer_->setCreator(QStringLiteral("vamu_Pelican"));
    writer_->setResolution(setup.dpi);
    writer_->setPageLayout(QPageLayout(setup.pageSize, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                                       QPageLayout::Point));
    painter_ = std::make_unique<QPainter>(writer_.get());
    font_.setStyleStrategy(QFont::PreferMatch);
    applyFont();
}

PdfCanvas::~PdfCanvas() {
    if (!finished_) finish();
}

void PdfCanvas::applyFont() {
    if (!painter_ || !painter_->isActive()) return;
    font_.setPixelSize(std::max(1, pixelSizeFor(points_, setup_.dpi)));
    if (setup_.dpiX > 0 && setup_.dpiX != setup_.dpi)
        font_.setStretch(std::clamp(static_cast<int>(std::lround(100.0 * setup_.dpiX / setup_.dpi)), 1, 4000));
    painter_->setFont(font_);
    // Device pixels from the top-left of the printable area.
    const double pxPerPt = setup_.dpi / 72.0;
    painter_->resetTransform();
    painter_->translate(setup_.printableOrigin.x() * pxPerPt, setup_.printableOrigin.y() * pxPerPt);
    // A printer with another horizontal resolution: x counts its own
    // pixels, and glyphs are widened back so the em stays square on paper.
    if (setup_.dpiX > 0 && setup_.dpiX != setup_.dpi) painter_->scale(double(setup_.dpi) / setup_.dpiX, 1.0);
}

void PdfCanvas::setFontName(const std::string& sjisFace) {
    font_.setFamily(sjis::toQString(sjisFace));
    applyFont();
}

void PdfCanvas::setFontSize(int points) {
    points_ = points;
    applyFont();
}

void PdfCanvas::setFontColor(print::Color c) { textColor_ = QColor(c.r, c.g, c.b); }
void PdfCanvas::setBrushColor(print::Color c) { brushColor_ = QColor(c.r, c.g, c.b); }

void PdfCanvas::textOut(int x, int y, const std::string& sjisText) {
    if (!painter_ || !painter_->isActive()) return;
    const QString text = sjis::toQString(sjisText);
    const QFontMetrics fm(painter_->font(), writer_.get());
    // Opaque cell behind the text, as a printer's text output fills it.
    painter_->fillRect(QRect(x, y, fm.horizontalAdvance(text), fm.height()), brushColor_);
    painter_->setPen(textColor_);
    painter_->drawText(QPoint(x, y + fm.ascent()), text);
}

void PdfCanvas::newPage() {
    if (!painter_ || !painter_->isActive()) return;
    writer_->newPage();
    applyFont();
}

bool PdfCanvas::finish() {
    if (finished_) return true;
    finished_ = true;
    const bool ok = painter_ && painter_->end();
    painter_.reset();
    writer_.reset();
    return ok;
}

}  // namespace wbprn
