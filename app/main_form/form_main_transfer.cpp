// One part of TForm_Main (form_main.h): its members are defined across the form_main*.cpp files by concern.
// The text transfer panel (Panel3): the paste memo, the transfer button and
// the memo clear. The transfer itself is the Qt-free pipeline; this file
// moves text between it and the window's controls.
#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <functional>

#include "app/main_form/form_main.h"
#include "app/main_form/standing_prompt.h"
#include "widgets/memo_edit.h"
#include "services/guard.h"
#include "services/message_boxes.h"
#include "widgets/sjis_line_edit.h"
#include "widgets/ui_fonts.h"
#include "text/sjis_qt.h"
#include "transfer/pipeline.h"

namespace {

const QColor kSilver(0xC0, 0xC0, 0xC0);

// Calls a handler when the watched widget receives the focus.
class FocusInWatcher final : public QObject {
public:
    FocusInWatcher(QObject* parent, std::function<void()> onFocusIn)
        : QObject(parent), onFocusIn_(std::move(onFocusIn)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn) onFocusIn_();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> onFocusIn_;
};

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, QRect place, int pixels) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(place);
    l->setFont(gothicFont(pixels));
    return l;
}

// A picture button that the Tab key passes over and a click does not focus.
QPushButton* makePictureButton(QWidget* parent, const char* name, QStyle::StandardPixmap picture,
                               const QString& hint, QRect place) {
    auto* b = new QPushButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setGeometry(place);
    b->setIcon(parent->style()->standardIcon(picture));
    b->setIconSize(QSize(24, 24));
    b->setToolTip(hint);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

// Lines the transfer placed in no field are marked in the memo and named in
// the prompt line, before a postal warning the zip field shows first.
void markUnplacedLines(TForm_Main& form, const std::vector<transfer::UnplacedLine>& unplaced) {
    QList<int> lines;
    QStringList pasted;
    for (const transfer::UnplacedLine& u : unplaced) {
        lines << static_cast<int>(u.memoLine);
        pasted << sjis::toQString(u.pasted);
    }
    form.Memo1->markLines(lines);
    if (unplaced.empty()) return;
    form.unplacedLinesNote = QStringLiteral("転送しなかった行: ") + pasted.join(QStringLiteral(" / "));
    // After the code's check, which puts its warning up once the focus has
    // settled in the zip field.
    QTimer::singleShot(0, &form, [&form] {
        if (form.Memo1->markedLines().isEmpty()) return;
        const QString zip = form.Label_ZipWarning->text().isEmpty() ? QString() : form.Panel_HelpMess->text();
        showStandingPrompt(form, zip.isEmpty() ? form.unplacedLinesNote : form.unplacedLinesNote + QStringLiteral("　") + zip);
    });
}

QString joinLines(const std::vector<std::string>& lines) {
    QStringList out;
    for (const std::string& l : lines) out << sjis::toQString(l);
    return out.join(QLatin1Char('\n'));
}

}  // namespace

void TForm_Main::buildTransferPanel() {
    Label1 = makeLabel(Panel3, "Label1", QStringLiteral("テキスト転送"), {8, 2, 160, 18}, 13);

    auto* memo = new MemoEdit(Panel3);
    Memo1 = memo;
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(8, 20, 572, 88);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setTabChangesFocus(true);
    Memo1->setFocusPolicy(Qt::ClickFocus);  // reached by mouse only, never by Tab
    Memo1->setFont(gothicFont(13));
    Memo1->setToolTip(QStringLiteral("ここにお届け先の住所、お名前等のテキストを貼り付けると、"
                                     "お届け先欄に転送が可能です　(15行以内に収まるようにして下さい)"));
    QPalette p = Memo1->palette();
    p.setColor(QPalette::Base, kSilver);
    Memo1->setPalette(p);

    Label8 = makeLabel(Panel3, "Label8",
                       QStringLiteral("↑↑ここクリップボードから貼り付けが、可能です　(　15行以内に収めてください　)↑↑"),
                       {8, 110, 572, 18}, 12);

    BitBtn_1 = makePictureButton(Panel3, "BitBtn_1", QStyle::SP_ArrowDown,
                                 QStringLiteral("お届け先にテキストデータを転送します"), {590, 20, 40, 56});
    BitBtn_MemoCLS = makePictureButton(Panel3, "BitBtn_MemoCLS", QStyle::SP_DialogResetButton,
                                       QStringLiteral("メモをクリアします"), {638, 20, 38, 38});
    // Centred under the clear button and kept inside the window's edge: the
    // window keeps its size, the caption's font gives way if need be.
    Label12 = makeLabel(Panel3, "Label12", QStringLiteral("Memoｸﾘｱ"), {632, 60, 50, 16}, 11);
    Label12->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    fitTextToWidth(*Label12);

    const auto run = [this](void (TForm_Main::*handler)()) {
        return [this, handler] { guarded(this, [&] { (this->*handler)(); }); };
    };
    connect(BitBtn_1, &QPushButton::clicked, this, run(&TForm_Main::BitBtn_1Click));
    connect(BitBtn_MemoCLS, &QPushButton::clicked, this, run(&TForm_Main::BitBtn_MemoCLSClick));
    connect(Memo1, &QPlainTextEdit::textChanged, this, run(&TForm_Main::Memo1Change));
    Memo1->installEventFilter(new FocusInWatcher(Memo1, run(&TForm_Main::Memo1Enter)));
    connect(memo, &MemoEdit::linesCut, this, [this] {
        QApplication::beep();
        Panel_HelpMess->setText(MemoEdit::cutMessage());
    });
}

void TForm_Main::BitBtn_1Click() {
    // Characters that Shift-JIS lacks arrive as "〓", so the user sees where
    // something was lost.
    const transfer::TransferResult r = transfer::runTransfer(sjis::fromQString(Memo1->toPlainText()));
    Memo2.clear();
    for (const std::string& l : r.compacted) Memo2 << sjis::toQString(l);

    if (!r.fields) {
        Memo1->setPlainText(joinLines(r.memo));
        if (r.focus == transfer::FocusAfter::Memo) Memo1->setFocus(Qt::OtherFocusReason);
        if (r.message) messageBoxes().notice(this, sjis::toQString(*r.message));
        Edit_Warning();
        return;
    }

    Edit_Cls();
    Memo1->setPlainText(joinLines(r.memo));
    Memo1->moveCursor(QTextCursor::Start);
    Memo1->ensureCursorVisible();
    // Through the fields themselves, so their change handlers run (the
    // postal code and telephone stay half-width).
    Edit_Zip->setText(sjis::toQString(r.fields->zip));
    Edit_Add1->setText(sjis::toQString(r.fields->add1));
    Edit_Add2->setText(sjis::toQString(r.fields->add2));
    Edit_Custo1->setText(sjis::toQString(r.fields->name));
    Edit_tel->setText(sjis::toQString(r.fields->tel));
    SpeedButton_ZIP2Click();
    SpeedButton_TEL2Click();
    Edit_Zip->setFocus(Qt::OtherFocusReason);
    Edit_Warning();
    checkZipAddress(true);
    markUnplacedLines(*this, r.unplaced);
}

void TForm_Main::Memo1Change() {
    // A memo holding only line breaks is not empty. The palette is set only
    // when the colour changes: a new palette repaints the whole editor,
    // which need not happen on every key.
    const QColor colour = Memo1->document()->isEmpty() ? kSilver : QApplication::palette().color(QPalette::Base);
    if (Memo1->palette().color(QPalette::Base) == colour) return;
    QPalette p = Memo1->palette();
    p.setColor(QPalette::Base, colour);
    Memo1->setPalette(p);
}

void TForm_Main::Memo1Enter() {
    Panel_HelpMess->setText(QStringLiteral("テキストを貼り付けることができます　７行以内に収めてください"));
}

void TForm_Main::BitBtn_MemoCLSClick() {
    Memo1->clear();
    Memo2.clear();
    QPalette p = Memo1->palette();
    p.setColor(QPalette::Base, kSilver);
    Memo1->setPalette(p);
}
