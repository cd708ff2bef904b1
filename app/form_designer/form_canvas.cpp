#include "app/form_designer/form_canvas.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <map>

#include "app/form_designer/item_samples.h"
#include "print/Wbprn/painter_canvas.h"
#include "print/core/layout.h"
#include "text/sjis_qt.h"

namespace form_design {

namespace {

constexpr int kEdge = 8;         // room around the page, widget pixels
constexpr double kHandle = 7.0;  // the resize handle's side, widget pixels
constexpr int kUnitDpi = 160;    // the samples are laid out in form units

const QColor kBoxColor(40, 90, 200);
const QColor kSpillColor(220, 0, 0);

// The print font of each size in form units, with its ascent.
struct UnitFont {
    QFont font;
    double ascent = 0;
};

const UnitFont& unitFont(int points) {
    static std::map<int, UnitFont> fonts;
    auto it = fonts.find(points);
    if (it == fonts.end()) {
        wbprn::registerFontSubstitutes();
        QFont f = wbprn::printFont(sjis::toQString(print::kFaceName), points, kUnitDpi, kUnitDpi);
        const double ascent = QFontMetricsF(f).ascent();
        it = fonts.emplace(points, UnitFont{f, ascent}).first;
    }
    return it->second;
}

}  // namespace

FormCanvas::FormCanvas(FormDesign& design, QWidget* parent) : QWidget(parent), design_(design) {
    setObjectName(QStringLiteral("FormCanvas"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(300, 160);
}

void FormCanvas::setScan(const QImage& image) {
    scan_ = image.convertToFormat(QImage::Format_RGB32);
    scaled_ = QPixmap();
    update();
}

void FormCanvas::setSpilled(std::vector<bool> spilled) {
    spilled_ = std::move(spilled);
    update();
}

void FormCanvas::select(std::optional<std::size_t> index) {
    if (index && *index >= design_.count()) index.reset();
    if (index == selected_) return;
    selected_ = index;
    update();
    emit selectionChanged();
}

void FormCanvas::designReset() {
    scaled_ = QPixmap();
    if (selected_ && *selected_ >= design_.count()) select(std::nullopt);
    update();
}

double FormCanvas::pixelsPerMm() const {
    const double w = std::max(1, width() - 2 * kEdge), h = std::max(1, height() - 2 * kEdge);
    return std::min(w / design_.widthMm(), h / design_.heightMm());
}

QRectF FormCanvas::pageRect() const {
    const double s = pixelsPerMm();
    return {static_cast<double>(kEdge), static_cast<double>(kEdge), design_.widthMm() * s, design_.heightMm() * s};
}

QPointF FormCanvas::toWidget(double xMm, double yMm) const {
    const double s = pixelsPerMm();
    return {kEdge + xMm * s, kEdge + yMm * s};
}

QPointF FormCanvas::toMm(QPointF p) const {
    const double s = pixelsPerMm();
    return {(p.x() - kEdge) / s, (p.y() - kEdge) / s};
}

QRectF FormCanvas::boxRect(std::size_t index) const {
    const BoxMm& b = design_.box(index);
    return {toWidget(b.left, b.top), toWidget(b.right, b.bottom)};
}

std::optional<std::size_t> FormCanvas::itemAt(QPointF p) const {
    // The selected box first (it is drawn on top), then the last drawn.
    if (selected_ && boxRect(*selected_).contains(p)) return selected_;
    for (std::size_t i = design_.count(); i-- > 0;)
        if (boxRect(i).contains(p)) return i;
    return std::nullopt;
}

bool FormCanvas::onHandle(QPointF p) const {
    if (!selected_) return false;
    const QPointF corner = boxRect(*selected_).bottomRight();
    return std::abs(p.x() - corner.x()) <= kHandle && std::abs(p.y() - corner.y()) <= kHandle;
}

void FormCanvas::resizeEvent(QResizeEvent* event) {
    scaled_ = QPixmap();
    QWidget::resizeEvent(event);
}

void FormCanvas::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window).darker(115));
    const QRectF page = pageRect();
    const QSize pageSize = page.size().toSize();
    // Scaling a 300 dpi scan costs far more than a frame: it is done once
    // per size of the page on the screen and the copy drawn while dragging.
    if (!scan_.isNull() && scaled_.size() != pageSize)
        scaled_ = QPixmap::fromImage(scan_.scaled(pageSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    if (scan_.isNull())
        painter.fillRect(page, Qt::white);
    else
        painter.drawPixmap(page.topLeft(), scaled_);
    painter.setPen(QPen(Qt::black, 0));
    painter.drawRect(page);
    paintItems(painter);
}

void FormCanvas::paintItems(QPainter& painter) const {
    const double unitsToPixels = pixelsPerMm() / kUnitsPerMm;
    for (std::size_t i = 0; i < design_.count(); ++i) {
        const bool spills = i < spilled_.size() && spilled_[i];
        const bool chosen = selected_ == i;
        const QRectF r = boxRect(i);
        QColor fill = spills ? kSpillColor : kBoxColor;
        fill.setAlpha(chosen ? 60 : 25);
        painter.fillRect(r, fill);
        painter.setPen(QPen(spills ? kSpillColor : kBoxColor, chosen ? 2 : 1));
        painter.drawRect(r);

        // The sample in the print font, laid out in form units as printed.
        const auto& p = design_.place(i);
        const UnitFont& f = unitFont(p.size);
        painter.save();
        painter.translate(toWidget(0, 0));
        painter.scale(unitsToPixels, unitsToPixels);
        painter.setFont(f.font);
        painter.setPen(Qt::black);
        painter.drawText(QPointF(p.u, p.v + f.ascent), itemSampleText(p.item));
        painter.restore();
    }
    if (selected_) {
        const QPointF c = boxRect(*selected_).bottomRight();
        painter.fillRect(QRectF(c.x() - kHandle / 2, c.y() - kHandle / 2, kHandle, kHandle), kBoxColor);
    }
}

void FormCanvas::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    setFocus(Qt::MouseFocusReason);
    const QPointF p = event->position();
    if (onHandle(p)) {
        drag_ = Drag::Resize;
    } else {
        select(itemAt(p));
        drag_ = selected_ ? Drag::Move : Drag::None;
    }
    if (selected_) {
        dragStartMm_ = toMm(p);
        dragStartBox_ = design_.box(*selected_);
    }
}

void FormCanvas::mouseMoveEvent(QMouseEvent* event) {
    const QPointF p = event->position();
    if (drag_ == Drag::None || !selected_) {
        setCursor(onHandle(p) ? Qt::SizeFDiagCursor : Qt::ArrowCursor);
        return;
    }
    const QPointF d = toMm(p) - dragStartMm_;
    if (drag_ == Drag::Move)
        design_.moveTo(*selected_, dragStartBox_.left + d.x(), dragStartBox_.top + d.y());
    else
        design_.resizeTo(*selected_, dragStartBox_.right + d.x(), dragStartBox_.bottom + d.y());
    update();
    emit boxChanged(*selected_);
}

void FormCanvas::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) drag_ = Drag::None;
    QWidget::mouseReleaseEvent(event);
}

void FormCanvas::keyPressEvent(QKeyEvent* event) {
    double dx = 0, dy = 0;
    switch (event->key()) {
    case Qt::Key_Left: dx = -1; break;
    case Qt::Key_Right: dx = 1; break;
    case Qt::Key_Up: dy = -1; break;
    case Qt::Key_Down: dy = 1; break;
    default: return QWidget::keyPressEvent(event);
    }
    if (!selected_) return;
    const double step = event->modifiers() & Qt::ShiftModifier ? kShiftNudgeMm : kNudgeMm;
    design_.moveBy(*selected_, dx * step, dy * step);
    update();
    emit boxChanged(*selected_);
}

}  // namespace form_design
