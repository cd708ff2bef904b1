#include "print/Form_SLIP97YPrn.h"

#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "services/guard.h"
#include "services/message_boxes.h"
#include "controls/TNumEdit.h"
#include "print/main_form.h"
#include "print/Wbprn/WbPrinters.h"
#include "print/calibration_print.h"
#include "print/core/layout.h"
#include "print/core/recording_surface.h"
#include "print/printer_file.h"
#include "text/sjis_qt.h"

namespace {

QLabel* caption(QWidget* parent, const char* name, const QString& text, int y) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(6, y, 72, 16);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return l;
}

TNumEdit* marginField(QWidget* parent, const char* name, int y) {
    auto* e = new TNumEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setGeometry(82, y, 50, 20);
    e->setErrorBeep(false);
    e->setDecimalLength(0);
    return e;
}

QLabel* millimetres(QWidget* parent, const char* name, int y) {
    auto* l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(136, y, 74, 16);
    return l;
}

// "= 1.3 mm" for a margin in dots at a resolution; empty for no number.
QString millimetreText(const QString& dots, std::int64_t dpi) {
    if (dpi <= 0) return {};
    const QString t = dots.trimmed();
    if (t.isEmpty()) return QStringLiteral("= 0.0 mm");
    bool ok = false;
    const long long n = t.toLongLong(&ok);
    if (!ok) return {};
    return QStringLiteral("= %1 mm").arg(static_cast<double>(n) * 25.4 / static_cast<double>(dpi), 0, 'f', 1);
}

const QSize kOuterSize{256, 160};

}  // namespace

TForm_SLIP97YPrn::TForm_SLIP97YPrn(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form_SLIP97YPrn"));
    setWindowTitle(QStringLiteral("印字位置調整"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    GroupBox1 = new QGroupBox(QStringLiteral("印字位置調整セット"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(20, 20, 216, 71);
    Label5 = caption(GroupBox1, "Label5", QStringLiteral("TOPﾏｰｼﾞﾝ"), 17);
    Label6 = caption(GroupBox1, "Label6", QStringLiteral("LEFTﾏｰｼﾞﾝ"), 41);
    NumEdit_TOP = marginField(GroupBox1, "NumEdit_TOP", 15);
    NumEdit_LEFT = marginField(GroupBox1, "NumEdit_LEFT", 39);
    BitBtn_MRGN = new QPushButton(QStringLiteral("印字位置登録"), this);
    BitBtn_MRGN->setObjectName(QStringLiteral("BitBtn_MRGN"));
    BitBtn_MRGN->setGeometry(30, 98, 122, 25);
    BitBtn_MRGN->setAutoDefault(false);
    Label_TopMm = millimetres(GroupBox1, "Label_TopMm", 17);
    Label_LeftMm = millimetres(GroupBox1, "Label_LeftMm", 41);
    BitBtn_TestPrn = new QPushButton(QStringLiteral("テスト印刷"), this);
    BitBtn_TestPrn->setObjectName(QStringLiteral("BitBtn_TestPrn"));
    BitBtn_TestPrn->setGeometry(158, 98, 78, 25);
    BitBtn_TestPrn->setAutoDefault(false);
    BitBtn_TestPrn->setToolTip(QStringLiteral("普通紙に印字位置・枠・目盛りを印刷します。送り状に重ねて透かし、ずれを確かめます"));
    setTabOrder(NumEdit_TOP, NumEdit_LEFT);
    setTabOrder(NumEdit_LEFT, BitBtn_MRGN);
    // Enter and Up are seen before the fields' own key handling.
    NumEdit_TOP->installEventFilter(this);
    NumEdit_LEFT->installEventFilter(this);
    // Enter on the focused button saves, as a click does: Enter in the left
    // margin leads here. (Not an auto-default button, which would become
    // the dialog's default and be drawn as such.)
    BitBtn_MRGN->installEventFilter(this);
    connect(BitBtn_MRGN, &QPushButton::clicked, this, [this] { guarded(this, [this] { BitBtn_MRGNClick(); }); });
    connect(BitBtn_TestPrn, &QPushButton::clicked, this, [this] { guarded(this, [this] { BitBtn_TestPrnClick(); }); });
    connect(NumEdit_TOP, &TNumEdit::changed, this, [this] { marginsChanged(); });
    connect(NumEdit_LEFT, &TNumEdit::changed, this, [this] { marginsChanged(); });
}

QWidget& TForm_SLIP97YPrn::mainForm() const { return print_form::mainForm(mainForm_); }

void TForm_SLIP97YPrn::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    guarded(this, [this] { FormShow(); });
}

void TForm_SLIP97YPrn::FormShow() {
    // Outer size 256 × 160, centred on the main window. A frame not known
    // yet, or one the window system reports oddly, leaves the dialog at
    // most that large and never too small for its controls.
    const QSize frameExtra = (frameGeometry().size() - geometry().size()).expandedTo(QSize(0, 0));
    const QRect controls = childrenRect();
    constexpr int kEdge = 4;  // room past the right and lowest controls
    const QSize smallest(controls.right() + 1 + kEdge, controls.bottom() + 1 + kEdge);
    setFixedSize((kOuterSize - frameExtra).expandedTo(smallest).boundedTo(kOuterSize));
    QWidget& form = mainForm();
    const QRect main = form.frameGeometry();
    move(main.center() - QPoint(kOuterSize.width() / 2, kOuterSize.height() / 2));
    NumEdit_TOP->setText(print_form::control<QLabel>(form, "Label_Prn_Top").text());
    NumEdit_LEFT->setText(print_form::control<QLabel>(form, "Label_Prn_Left").text());
    NumEdit_TOP->setFocus(Qt::OtherFocusReason);
    marginsChanged();
}

void TForm_SLIP97YPrn::marginsChanged() {
    // Dots at the resolution the layout maps with; nothing to show without
    // a printer or with a margin that is no number.
    QString top, left;
    try {
        const TPoint dpi = WbPrinter().Dpi();
        const std::uint16_t scale = WbPrinter().Scale();
        top = millimetreText(NumEdit_TOP->text(), print::effectiveResolution(dpi.y, scale));
        left = millimetreText(NumEdit_LEFT->text(), print::effectiveResolution(dpi.x, scale));
    } catch (const std::exception&) {
    }
    Label_TopMm->setText(top);
    Label_LeftMm->setText(left);
    // Only while open: closing clears the preview's stand-in margins.
    if (isVisible()) emit marginsEdited(NumEdit_TOP->text(), NumEdit_LEFT->text());
}

void TForm_SLIP97YPrn::BitBtn_TestPrnClick() {
    WbPrinter().CheckDocumentsAllowed();
    if (!messageBoxes().question(this, QStringLiteral("普通紙をセットしてください。テスト印刷しますか?"))) return;
    // The fields of the main form give only the resolution captions; the
    // margins are the ones typed here.
    // The feed mode's form; the built-in one when no main form is open.
    const print::Form* form = nullptr;
    try {
        form = print_form::waybillForm(mainForm());
    } catch (const std::logic_error&) {
        form = nullptr;
    }
    printCalibrationPage(calibrationFields(form, NumEdit_TOP->text(), NumEdit_LEFT->text()));
}

void TForm_SLIP97YPrn::BitBtn_MRGNClick() {
    QWidget& form = mainForm();
    const QString section = print_form::control<QComboBox>(form, "ComboBox_SEL").currentText();
    if (!messageBoxes().question(this, QStringLiteral("印字位置調整の余白を登録しますか?"))) return;
    const QString top = NumEdit_TOP->text();
    const QString left = NumEdit_LEFT->text();
    printer_file::writeRecord(print_form::control<QLabel>(form, "Label_CurrentDir").text(), section,
                              print_form::control<QLabel>(form, "Label_PrinterName").text(),
                              print_form::control<QLabel>(form, "Label_PrinterIndex").text(), top, left);
    print_form::control<QLabel>(form, "Label_Prn_Top").setText(top);
    print_form::control<QLabel>(form, "Label_Prn_Left").setText(left);
    accept();
}

bool TForm_SLIP97YPrn::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
        if (watched == NumEdit_TOP && enter) {
            NumEdit_LEFT->setFocus(Qt::TabFocusReason);
            return true;
        }
        if (watched == NumEdit_LEFT && enter) {
            BitBtn_MRGN->setFocus(Qt::TabFocusReason);
            return true;
        }
        if (watched == BitBtn_MRGN && enter) {
            BitBtn_MRGN->click();
            return true;
        }
        if (watched == NumEdit_LEFT && key == Qt::Key_Up) {
            NumEdit_TOP->setFocus(Qt::BacktabFocusReason);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
