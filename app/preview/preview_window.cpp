#include "app/preview/preview_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "widgets/sjis_line_edit.h"
#include "widgets/ui_fonts.h"
#include "print/Form_SLIP97YPrn.h"
#include "print/Wbprn/WbPrinters.h"
#include "print/main_form.h"

namespace {

constexpr double kZoomStep = 1.25;
constexpr double kMinZoom = 0.02, kMaxZoom = 8.0;

}  // namespace

PreviewView::PreviewView(const print_preview::PreviewPage& page, QWidget* parent) : QWidget(parent), page_(page) {
    setObjectName(QStringLiteral("PreviewView"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PreviewView::setZoom(double zoom) {
    zoom_ = std::clamp(zoom, kMinZoom, kMaxZoom);
    const QSizeF size = page_.pixelSize() * zoom_;
    resize(std::max(1, static_cast<int>(std::ceil(size.width()))), std::max(1, static_cast<int>(std::ceil(size.height()))));
    update();
}

void PreviewView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().color(QPalette::Dark));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setClipRect(event->rect());
    painter.scale(zoom_, zoom_);
    page_.paint(painter);
}

void PreviewView::wheelEvent(QWheelEvent* event) {
    if (event->modifiers() & Qt::ControlModifier) {
        const int steps = event->angleDelta().y() / 120;
        if (steps != 0) emit ctrlWheel(steps);
        event->accept();
        return;
    }
    QWidget::wheelEvent(event);
}

TForm_Preview::TForm_Preview(QWidget& form, TForm_SLIP97YPrn* marginDialog)
    : QWidget(&form, Qt::Window), form_(form), marginDialog_(marginDialog) {
    setObjectName(QStringLiteral("Form_Preview"));
    setWindowTitle(QStringLiteral("プレビュー"));
    resize(900, 520);

    Button_Fit = new QPushButton(QStringLiteral("全体"), this);
    Button_Fit->setObjectName(QStringLiteral("Button_Fit"));
    Button_Actual = new QPushButton(QStringLiteral("100%"), this);
    Button_Actual->setObjectName(QStringLiteral("Button_Actual"));
    Button_Close = new QPushButton(QStringLiteral("閉じる"), this);
    Button_Close->setObjectName(QStringLiteral("Button_Close"));
    Label_Zoom = new QLabel(this);
    Label_Zoom->setObjectName(QStringLiteral("Label_Zoom"));
    Label_Overflow = new QLabel(this);
    Label_Overflow->setObjectName(QStringLiteral("Label_Overflow"));
    Label_Overflow->setFont(gothicFont(14));
    Label_Overflow->setWordWrap(true);  // a long list wraps rather than widen the window
    QPalette red = Label_Overflow->palette();
    red.setColor(QPalette::WindowText, QColor(220, 0, 0));
    Label_Overflow->setPalette(red);

    View = new PreviewView(page_);
    ScrollArea = new QScrollArea(this);
    ScrollArea->setObjectName(QStringLiteral("ScrollArea"));
    ScrollArea->setBackgroundRole(QPalette::Dark);
    ScrollArea->setAlignment(Qt::AlignCenter);
    ScrollArea->setWidget(View);

    auto* bar = new QHBoxLayout;
    bar->addWidget(Button_Fit);
    bar->addWidget(Button_Actual);
    bar->addWidget(Label_Zoom);
    bar->addSpacing(16);
    bar->addWidget(Label_Overflow, 1);
    bar->addWidget(Button_Close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(ScrollArea, 1);

    // Escape closes the window, as it does a dialog.
    auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(close, &QShortcut::activated, this, &QWidget::close);
    connect(Button_Close, &QPushButton::clicked, this, &QWidget::close);
    connect(Button_Fit, &QPushButton::clicked, this, [this] { zoomToFit(); });
    connect(Button_Actual, &QPushButton::clicked, this, [this] { zoomActual(); });
    connect(View, &PreviewView::ctrlWheel, this, [this](int steps) { zoomBy(steps); });
    followForm();
    refresh();
}

void TForm_Preview::followForm() {
    auto later = [this] { scheduleRefresh(); };
    for (SjisLineEdit* e : form_.findChildren<SjisLineEdit*>()) connect(e, &QLineEdit::textChanged, this, later);
    for (QCheckBox* b : form_.findChildren<QCheckBox*>()) connect(b, &QCheckBox::toggled, this, later);
    connect(&print_form::control<QDateEdit>(form_, "DateTimePicker_1"), &QDateEdit::dateChanged, this, later);
    // Feed mode, printer and paper: the margins and the page change with them.
    for (const char* name : {"ComboBox_SEL", "ComboBox1", "ComboBox2"})
        if (auto* c = form_.findChild<QComboBox*>(QString::fromLatin1(name)))
            connect(c, &QComboBox::currentTextChanged, this, later);
    if (marginDialog_) {
        connect(marginDialog_, &TForm_SLIP97YPrn::marginsEdited, this,
                [this](const QString& top, const QString& left) { setMargins(print_preview::Margins{top, left}); });
        connect(marginDialog_, &QDialog::finished, this, [this] { setMargins(std::nullopt); });
    }
}

void TForm_Preview::setMargins(const std::optional<print_preview::Margins>& margins) {
    margins_ = margins;
    refresh();
}

void TForm_Preview::scheduleRefresh() {
    // A closed preview is brought up to date when F10 shows it again.
    if (refreshPending_ || !isVisible()) return;
    refreshPending_ = true;
    QTimer::singleShot(0, this, [this] {
        refreshPending_ = false;
        refresh();
    });
}

void TForm_Preview::refresh() {
    try {
        const print_preview::PageSetup setup = print_preview::currentPageSetup();
        page_.update(print_preview::printFields(form_, setup, WbPrinter().Scale(), margins_), setup);
        Label_Overflow->setText(print_preview::overflowPrompt(page_.overflows()));
    } catch (const std::exception& e) {
        // Shown, not raised: the page stays as it was until the form can
        // be drawn again (a margin being typed, no printer for a moment).
        Label_Overflow->setText(QString::fromUtf8(e.what()));
    }
    View->setZoom(View->zoom());
}

double TForm_Preview::zoom() const { return View->zoom(); }

void TForm_Preview::setZoom(double zoom) {
    View->setZoom(zoom);
    const int dpi = page_.setup().dpi;
    Label_Zoom->setText(QStringLiteral("%1%").arg(std::lround(View->zoom() * dpi / logicalDpiY() * 100)));
}

void TForm_Preview::zoomToFit() {
    const QSizeF paper = page_.pixelSize();
    const QSize room = ScrollArea->maximumViewportSize() - QSize(4, 4);
    if (paper.isEmpty() || room.isEmpty()) return;
    setZoom(std::min(room.width() / paper.width(), room.height() / paper.height()));
}

void TForm_Preview::zoomActual() { setZoom(static_cast<double>(logicalDpiY()) / page_.setup().dpi); }

void TForm_Preview::zoomBy(int steps) { setZoom(View->zoom() * std::pow(kZoomStep, steps)); }

void TForm_Preview::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!fitted_) {
        fitted_ = true;
        zoomToFit();
    }
}
