#include "app/history/consignee_completion.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>

#include "services/guard.h"
#include "text/sjis_qt.h"

namespace {
// Rows the list shows when it hangs under the field without a given area.
constexpr int kDefaultRows = 8;
// The list is never narrower than this, so that a short field still shows
// the name, number and address of each entry.
constexpr int kMinimumWidth = 440;
// Room an entry's text leaves on either side of it.
constexpr int kTextMargins = 12;
}  // namespace

ConsigneeCompletion::ConsigneeCompletion(QLineEdit* field, Lookup lookup, Take onTake, Area area)
    : QObject(field), field_(field), lookup_(std::move(lookup)), take_(std::move(onTake)), area_(std::move(area)) {
    connect(field_, &QLineEdit::textEdited, this, [this] { guarded(field_, [&] { refresh(); }); });
    field_->installEventFilter(this);
}

void ConsigneeCompletion::makeList() {
    // Made with the first list to show: the window opens sooner without
    // it, and many runs never complete anything.
    list_ = new QListWidget;
    // A tool-tip window is shown without being activated, so typing goes on
    // in the field while the list is open.
    list_->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    list_->setAttribute(Qt::WA_ShowWithoutActivating);
    list_->setFocusPolicy(Qt::NoFocus);
    list_->setObjectName(field_->objectName() + QStringLiteral("_Completion"));
    list_->setFont(field_->font());
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setUniformItemSizes(true);
    // Long entries end in "…" instead: a scroll bar would take the room of
    // a row and is easily clicked by mistake.
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(list_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { guarded(field_, [&] { take(list_->row(item)); }); });
}

ConsigneeCompletion::~ConsigneeCompletion() { delete list_; }

void ConsigneeCompletion::refresh() {
    const std::uint64_t asked = ++asked_;
    QPointer<ConsigneeCompletion> self(this);
    lookup_(field_->text(), [self, asked](std::vector<store::Consignee> found) {
        if (self && asked == self->asked_) guarded(self->field_, [&] { self->offer(std::move(found)); });
    });
}

void ConsigneeCompletion::offer(std::vector<store::Consignee> found) {
    offered_ = std::move(found);
    if (list_) list_->clear();
    if (offered_.empty()) {
        hide();
        return;
    }
    if (!list_) makeList();
    for (const store::Consignee& c : offered_) {
        const QString line = sjis::toQString(c.name) + QStringLiteral("　") + sjis::toQString(c.tel) +
                             QStringLiteral("　〒") + sjis::toQString(c.zip) + QLatin1Char(' ') +
                             sjis::toQString(c.add1) + sjis::toQString(c.add2);
        auto* item = new QListWidgetItem(line, list_);
        item->setToolTip(line);
    }
    list_->setCurrentRow(-1);
    place();
    if (!list_->isVisible()) {
        // Any click outside the list closes it (watched only while it shows).
        qApp->installEventFilter(this);
        list_->show();
    }
}

void ConsigneeCompletion::place() {
    const QRect screen = field_->screen() ? field_->screen()->availableGeometry() : QRect();
    const QPoint under = field_->mapToGlobal(QPoint(0, field_->height()));
    const int frame = 2 * list_->frameWidth();
    const int rowHeight = list_->sizeHintForRow(0) > 0 ? list_->sizeHintForRow(0) : field_->height();
    const QRect area = area_ ? area_() : QRect(under, QSize(qMax(field_->width(), kMinimumWidth), rowHeight * kDefaultRows + frame));
    const int count = static_cast<int>(offered_.size());
    const int rows = qMax(1, qMin(count, (area.height() - frame) / rowHeight));
    const int height = rows * rowHeight + frame;
    // Room for the widest entry, but no wider than the area.
    int widest = 0;
    for (int i = 0; i < count; ++i)
        widest = qMax(widest, list_->fontMetrics().horizontalAdvance(list_->item(i)->text()));
    const int scrollBar = rows < count ? list_->verticalScrollBar()->sizeHint().width() : 0;
    const int width = qMin(area.width(), qMax(kMinimumWidth, widest + kTextMargins + frame + scrollBar));
    // Every row as wide as the list, so that a longer entry ends in "…".
    const QSize rowSize(width - frame - scrollBar, rowHeight);
    for (int i = 0; i < count; ++i) list_->item(i)->setSizeHint(rowSize);
    QPoint at = area.topLeft();
    // Where the screen ends first, the list goes above the field instead.
    if (!screen.isEmpty() && at.y() + height > screen.bottom())
        at.setY(field_->mapToGlobal(QPoint(0, 0)).y() - height);
    list_->setGeometry(QRect(at, QSize(width, height)));
}

void ConsigneeCompletion::hide() {
    ++asked_;
    qApp->removeEventFilter(this);
    if (list_) list_->hide();
    offered_.clear();
}

void ConsigneeCompletion::take(int row) {
    if (row < 0 || row >= static_cast<int>(offered_.size())) return;
    const store::Consignee chosen = offered_[static_cast<std::size_t>(row)];
    hide();
    take_(chosen);
}

bool ConsigneeCompletion::eventFilter(QObject* watched, QEvent* event) {
    if (!list_ || !list_->isVisible()) return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
        // A press on the list (an entry, its scroll bar) is the list's own;
        // any other press closes it and goes on to where it was aimed.
        auto* target = qobject_cast<QWidget*>(watched);
        if (target && target != list_ && !list_->isAncestorOf(target)) hide();
        return QObject::eventFilter(watched, event);
    }
    if (watched == field_) {
        if (event->type() == QEvent::FocusOut) hide();
        else if (event->type() == QEvent::KeyPress) return fieldKey(event);
    }
    return QObject::eventFilter(watched, event);
}

bool ConsigneeCompletion::fieldKey(QEvent* event) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    const int row = list_->currentRow();
    const int last = list_->count() - 1;
    switch (key) {
        case Qt::Key_Down:
            list_->setCurrentRow(row < last ? row + 1 : last);
            return true;
        case Qt::Key_Up:
            // Up from the first entry leaves the list without a choice.
            list_->setCurrentRow(row > 0 ? row - 1 : -1);
            return true;
        case Qt::Key_Escape:
            hide();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (row < 0) {
                hide();
                return false;  // Enter then does what it always does
            }
            guarded(field_, [&] { take(row); });
            return true;
        default:
            return false;
    }
}
