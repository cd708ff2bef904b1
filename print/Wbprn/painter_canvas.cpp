#include "print/Wbprn/painter_canvas.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "print/core/layout.h"
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

int pixelSizeFor(int points, int dpi) {
    return static_cast<int>(std::lround(points * static_cast<double>(dpi) / 72.0));
}

QFont printFont(const QString& family, int points, int dpi, int dpiX) {
    QFont font(family);
    font.setStyleStrategy(QFont::PreferMatch);
    // Outlines as designed, as the PDF carries them: hinting would snap the
    // preview's glyphs (and their widths) to its own pixel grid.
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setPixelSize(std::max(1, pixelSizeFor(points, dpi)));
    if (dpiX > 0 && dpiX != dpi)
        font.setStretch(std::clamp(static_cast<int>(std::lround(100.0 * dpiX / dpi)), 1, 4000));
    return font;
}

PrintFontMeasure::PrintFontMeasure(int dpi, int dpiX) : dpi_(dpi), dpiX_(dpiX) { registerFontSubstitutes(); }

PrintFontMeasure::~PrintFontMeasure() = default;

int PrintFontMeasure::width(int points, const std::string& sjisText) {
    std::string key = std::to_string(points);
    key += '\0';
    key += sjisText;
    if (auto known = widths_.find(key); known != widths_.end()) return known->second;
    auto it = metrics_.find(points);
    if (it == metrics_.end()) {
        static const QString face = sjis::toQString(print::kFaceName);
        it = metrics_.emplace(points, std::make_unique<QFontMetrics>(printFont(face, points, dpi_, dpiX_))).first;
    }
    const int w = it->second->horizontalAdvance(sjis::toQString(sjisText));
    // Bounded: a long batch of distinct texts starts afresh now and then.
    if (widths_.size() >= 4096) widths_.clear();
    widths_.emplace(std::move(key), w);
    return w;
}

PainterCanvas::PainterCanvas(QPainter& painter, int dpi, int dpiX, QPointF printableOriginPt)
    : painter_(painter), base_(painter.transform()), dpi_(dpi), dpiX_(dpiX > 0 ? dpiX : dpi),
      origin_(printableOriginPt) {
    registerFontSubstitutes();
    apply();
}

void PainterCanvas::apply() {
    if (!painter_.isActive()) return;
    painter_.setFont(printFont(family_, points_, dpi_, dpiX_));
    // Device pixels from the top-left of the printable area.
    const double pxPerPt = dpi_ / 72.0;
    painter_.setTransform(base_);
    painter_.translate(origin_.x() * pxPerPt, origin_.y() * pxPerPt);
    // A printer with another horizontal resolution: x counts its own
    // pixels, and glyphs are widened back so the em stays square on paper.
    if (dpiX_ != dpi_) painter_.scale(static_cast<double>(dpi_) / dpiX_, 1.0);
}

void PainterCanvas::setFontName(const std::string& sjisFace) {
    family_ = sjis::toQString(sjisFace);
    apply();
}

void PainterCanvas::setFontSize(int points) {
    points_ = points;
    apply();
}

void PainterCanvas::setFontColor(print::Color c) { textColor_ = QColor(c.r, c.g, c.b); }
void PainterCanvas::setBrushColor(print::Color c) { brushColor_ = QColor(c.r, c.g, c.b); }

void PainterCanvas::textOut(int x, int y, const std::string& sjisText) {
    if (!painter_.isActive()) return;
    const QString text = sjis::toQString(sjisText);
    const QFontMetrics fm(painter_.font(), painter_.device());
    // Opaque cell behind the text, as a printer's text output fills it.
    painter_.fillRect(QRect(x, y, fm.horizontalAdvance(text), fm.height()), brushColor_);
    painter_.setPen(textColor_);
    painter_.drawText(QPoint(x, y + fm.ascent()), text);
}

void PainterCanvas::line(int x1, int y1, int x2, int y2) {
    if (!painter_.isActive()) return;
    // About 0.2 mm: thin, yet visible against the light.
    QPen pen(textColor_, std::max(1.0, dpi_ / 127.0));
    pen.setCapStyle(Qt::FlatCap);
    painter_.setPen(pen);
    painter_.drawLine(QPoint(x1, y1), QPoint(x2, y2));
}

}  // namespace wbprn
