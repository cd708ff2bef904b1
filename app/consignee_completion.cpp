#include "app/consignee_completion.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>

#include "services/guard.h"
#include "text/sjis_qt.h"

namespace {
constexpr int kVisibleRows = 8;
}

ConsigneeCompletion::ConsigneeCompletion(QLineEdit* field, Lookup lookup, Take onTake)
    : QObject(field), field_(field), lookup_(std::move(lookup)), take_(std::move(onTake)) {
    connect(field_, &QLineEdit::textEdited, this, [this] { guarded(field_, [&] { refresh(); }); });
    field_->installEventFilter(this);
}

ConsigneeCompletion::~ConsigneeCompletion() { delete list_; }

QListWidget* ConsigneeCompletion::makeList() {
    // Made with the first list to show: the window opens faster without it,
    // and many runs never complete anything.
    list_ = new QListWidget;
    // A tool-tip window is shown without being activated, so typing goes on
    // in the field while the list is open.
    list_->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    list_->setAttribute(Qt::WA_ShowWithoutActivating);
    list_->setFocusPolicy(Qt::NoFocus);
    list_->setObjectName(field_->objectName() + QStringLiteral("_Completion"));
    list_->setFont(field_->font());
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(list_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { guarded(field_, [&] { take(list_->row(item)); }); });
    return list_;
}

void ConsigneeCompletion::refresh() {
    offered_ = lookup_(field_->text());
    if (offered_.empty()) {
        if (list_) {
            list_->clear();
            list_->hide();
        }
        return;
    }
    if (!list_) makeList();
    list_->clear();
    for (const store::Consignee& c : offered_) {
        const QString line = sjis::toQString(c.name) + QStringLiteral("　") + sjis::toQString(c.tel) +
                             QStringLiteral("　〒") + sjis::toQString(c.zip) + QLatin1Char(' ') +
                             sjis::toQString(c.add1) + sjis::toQString(c.add2);
        list_->addItem(line);
    }
    list_->setCurrentRow(-1);
    const int rowHeight = list_->sizeHintForRow(0) > 0 ? list_->sizeHintForRow(0) : field_->height();
    const int rows = static_cast<int>(offered_.size()) < kVisibleRows ? static_cast<int>(offered_.size()) : kVisibleRows;
    list_->resize(qMax(field_->width(), 440), rowHeight * rows + 2 * list_->frameWidth());
    list_->move(field_->mapToGlobal(QPoint(0, field_->height())));
    list_->show();
}

void ConsigneeCompletion::hide() {
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
    if (watched != field_ || !list_ || !list_->isVisible()) return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::FocusOut) {
        hide();
    } else if (event->type() == QEvent::KeyPress) {
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
                break;
        }
    }
    return QObject::eventFilter(watched, event);
}
