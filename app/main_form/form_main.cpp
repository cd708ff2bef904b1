// One part of TForm_Main (form_main.h): its members are defined across the form_main*.cpp files by concern.
// Construction of the main window: regions, controls with their names,
// places, limits, fonts and colours, and the connections to the handlers.
#include "app/main_form/form_main.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>

#include "widgets/button_icons.h"
#include "widgets/code_text.h"
#include "app/main_form/contact.h"
#include "widgets/input_mode.h"
#include "services/guard.h"
#include "widgets/sjis_line_edit.h"
#include "widgets/ui_fonts.h"
#include "widgets/user_tab_bar.h"
#include "controls/TNumEdit.h"
#include "print/core/form_library.h"

namespace {

constexpr int kClientWidth = 682;
constexpr int kClientHeight = 656;
const QColor kGrey(128, 128, 128);

QLabel* makeLabel(QWidget* parent, const QString& text, int x, int y, int px = 13) {
    auto* l = new QLabel(text, parent);
    l->setFont(gothicFont(px));
    l->move(x, y);
    l->adjustSize();
    return l;
}

// A caption box to the left of a consignee field, as on the paper form.
void makeCaptionBox(QWidget* parent, const QString& text, int fieldX, int fieldY) {
    auto* l = new QLabel(text, parent);
    l->setFont(gothicFont(13));
    l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    l->setAlignment(Qt::AlignCenter);
    l->setGeometry(fieldX - 76, fieldY, 74, 24);
}

SjisLineEdit* makeEdit(QWidget* parent, const char* name, QRect place, int byteLimit, InputMode mode, int px,
                       const QColor& textColour = Qt::black) {
    auto* e = new SjisLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    e->setGeometry(place);
    e->setByteLimit(byteLimit);
    setInputMode(e, mode);
    e->setFont(gothicFont(px));
    QPalette p = e->palette();
    p.setColor(QPalette::Text, textColour);
    e->setPalette(p);
    return e;
}

QCheckBox* makeCheck(QWidget* parent, const char* name, const QString& caption, int x, int y, int px) {
    auto* c = new QCheckBox(caption, parent);
    c->setObjectName(QLatin1String(name));
    c->setFont(gothicFont(px));
    c->move(x, y);
    c->adjustSize();
    return c;
}

QPushButton* makeIconButton(QWidget* parent, const char* name, const QIcon& icon, QRect place) {
    auto* b = new QPushButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setIcon(icon);
    b->setIconSize(QSize(24, 24));
    b->setGeometry(place);
    // Enter presses a focused button, as a click does (a Qt button outside
    // a dialog would ignore it).
    b->setAutoDefault(true);
    return b;
}

QLabel* makeCarrier(QWidget* parent, const char* name) {
    auto* l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->hide();
    return l;
}

QFrame* makePanel(QWidget* parent, const char* name, int top, int height) {
    auto* f = new QFrame(parent);
    if (name) f->setObjectName(QLatin1String(name));
    f->setFrameStyle(QFrame::Panel | QFrame::Raised);
    f->setGeometry(0, top, kClientWidth, height);
    return f;
}

}  // namespace

TForm_Main::TForm_Main(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Form_Main"));
    buildFrame();
    buildConsignee();
    buildSender();
    buildShipment();
    buildFunctionBar();
    buildCarriers();
    buildPrinterBox();
    buildTransferPanel();
    connectHandlers();
    buildHistory();
    buildPostal();
}

TForm_Main::~TForm_Main() {
    runFormDestroyOnce();
    // The controls outlive this part of the object while QWidget deletes
    // them: no signal of theirs may reach a handler from here on.
    for (QObject* child : findChildren<QObject*>()) {
        child->removeEventFilter(this);
        child->disconnect(this);
    }
}

void TForm_Main::buildFrame() {
    setFont(gothicFont(16));
    // A fixed border: the client area cannot be resized.
    setFixedSize(kClientWidth, kClientHeight);
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint, true);
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);

    // Regions top to bottom: 130 + 176 + 136 + 140 + 30 + 28 + 16 = 656.
    Panel3 = makePanel(this, "Panel3", 0, 130);
    Panel1 = makePanel(this, "Panel1", 130, 176);
    Panel_Sender = makePanel(this, "Panel_Sender", 306, 136);
    Panel4 = makePanel(this, "Panel4", 442, 140);

    Panel_HelpMess = new QLabel(this);
    Panel_HelpMess->setObjectName(QStringLiteral("Panel_HelpMess"));
    Panel_HelpMess->setGeometry(0, 582, kClientWidth, 30);
    Panel_HelpMess->setFrameStyle(QFrame::Box | QFrame::Plain);
    Panel_HelpMess->setIndent(6);
    Panel_HelpMess->setFont(gothicFont(16));
    Panel_HelpMess->setAutoFillBackground(true);
    QPalette tip = Panel_HelpMess->palette();
    tip.setColor(QPalette::Window, tip.color(QPalette::ToolTipBase));
    tip.setColor(QPalette::WindowText, tip.color(QPalette::ToolTipText));
    Panel_HelpMess->setPalette(tip);

    Panel_Fnc = new QFrame(this);
    Panel_Fnc->setObjectName(QStringLiteral("Panel_Fnc"));
    Panel_Fnc->setGeometry(0, 612, kClientWidth, 28);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setGeometry(0, 640, kClientWidth, 16);
    StatusBar1->setFont(gothicFont(12));
}

void TForm_Main::buildConsignee() {
    QWidget* p = Panel1;
    auto* heading = makeLabel(p, QStringLiteral("お届け先"), 18, 8, 14);
    heading->setFont(gothicFont(14, true));
    heading->adjustSize();

    struct Row {
        SjisLineEdit** field;
        const char* name;
        const char16_t* caption;
        QRect place;
        int limit;
        InputMode mode;
    };
    const Row rows[] = {
        {&Edit_Zip, "Edit_Zip", u"郵便番号", {114, 25, 103, 24}, 16, InputMode::Code},
        {&Edit_Add1, "Edit_Add1", u"おところ①", {114, 49, 440, 24}, 0, InputMode::Japanese},
        {&Edit_Add2, "Edit_Add2", u"おところ②", {114, 73, 440, 24}, 0, InputMode::Japanese},
        {&Edit_Add3, "Edit_Add3", u"おところ③", {113, 97, 440, 24}, 0, InputMode::Japanese},
        {&Edit_Custo1, "Edit_Custo1", u"おなまえ", {113, 121, 360, 24}, 80, InputMode::Japanese},
        {&Edit_tel, "Edit_tel", u"でんわ", {113, 145, 140, 24}, 0, InputMode::Telephone},
    };
    for (const Row& r : rows) {
        makeCaptionBox(p, QString::fromUtf16(r.caption), r.place.x(), r.place.y());
        *r.field = makeEdit(p, r.name, r.place, r.limit, r.mode, 16);
    }

    Label_Warning = new QLabel(p);
    Label_Warning->setObjectName(QStringLiteral("Label_Warning"));
    Label_Warning->setGeometry(220, 36, 460, 13);
    Label_Warning->setFont(gothicFont(13));
    QPalette red = Label_Warning->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    Label_Warning->setPalette(red);

    // Web help sits above the clear button: its place in Panel4 is covered
    // by the time band box, and both must stay usable. It ends above the
    // overlong-address warning's line, which runs on to the panel's edge.
    BitBtn_WebHelp = makeIconButton(p, "BitBtn_WebHelp", webIcon(), {610, 4, 39, 31});
    BitBtn_WebHelp->setFocusPolicy(Qt::ClickFocus);

    BitBtn_CLS = makeIconButton(p, "BitBtn_CLS", clearIcon(), {610, 60, 39, 39});
    BitBtn_CLS->setFocusPolicy(Qt::ClickFocus);  // Tab does not stop here
    makeLabel(p, QStringLiteral("お届け先ｸﾘｱ"), 600, 100, 12);

    ComboBox_FontSize = new QComboBox(p);
    ComboBox_FontSize->setObjectName(QStringLiteral("ComboBox_FontSize"));
    ComboBox_FontSize->addItems({QStringLiteral("10"), QStringLiteral("11"), QStringLiteral("12")});
    ComboBox_FontSize->setCurrentIndex(1);
    ComboBox_FontSize->setToolTip(QStringLiteral("住所/品名の印字サイズを選択をします"));
    ComboBox_FontSize->hide();
    auto* sizeLabel = makeLabel(p, QStringLiteral("印字ﾌｫﾝﾄｻｲｽﾞ"), 480, 150);
    sizeLabel->hide();
}

void TForm_Main::buildSender() {
    QWidget* p = Panel_Sender;
    CheckBox_My = makeCheck(p, "CheckBox_My", QStringLiteral("ご依頼主"), 18, 3, 15);
    CheckBox_My->setChecked(true);
    CheckBox_My->setToolTip(QStringLiteral("チェックをはずすとご依頼主を印字しません"));
    QPalette greyText = CheckBox_My->palette();
    greyText.setColor(QPalette::WindowText, kGrey);
    CheckBox_My->setPalette(greyText);

    auto* tabs = new UserTabBar(p);
    PageControl_My = tabs;
    PageControl_My->setObjectName(QStringLiteral("PageControl_My"));
    PageControl_My->setFont(gothicFont(10));
    PageControl_My->setDrawBase(false);
    PageControl_My->setExpanding(false);
    // The tabs go in before the style sheet: each insertion lays the bar out
    // again, which is cheaper without it; the sheet then lays it out once.
    for (int i = 1; i <= 10; ++i) PageControl_My->addTab(QStringLiteral("依頼主%1").arg(i));
    // Ten tabs share 440 pixels: keep them narrow, scroll only if a font
    // substitute turns out wider.
    PageControl_My->setStyleSheet(QStringLiteral(
        "QTabBar::tab { padding: 0px 1px; height: 16px; border: 1px solid #a0a0a0; border-bottom: none;"
        " background: #dcdcdc; margin-top: 2px; }"
        " QTabBar::tab:selected { background: #ffffff; margin-top: 0px; }"));
    PageControl_My->setUsesScrollButtons(true);
    PageControl_My->setElideMode(Qt::ElideNone);
    PageControl_My->setGeometry(114, 1, 440, 19);
    PageControl_My->setToolTip(
        QStringLiteral("依頼主番号ごとに登録してください。　登録後切り替えが可能になります。"));
    PageControl_My->setFocusPolicy(Qt::StrongFocus);

    struct Row {
        SjisLineEdit** field;
        const char* name;
        const char16_t* label;
        QRect place;
        int limit;
        InputMode mode;
    };
    const Row rows[] = {
        {&Edit_MyZip, "Edit_MyZip", u"郵便番号", {114, 22, 78, 23}, 8, InputMode::Code},
        {&Edit_MyADD1, "Edit_MyADD1", u"おところ", {114, 44, 440, 23}, 0, InputMode::Japanese},
        {&Edit_MyADD2, "Edit_MyADD2", nullptr, {114, 66, 440, 23}, 0, InputMode::Japanese},
        {&Edit_My, "Edit_My", u"おなまえ", {114, 88, 360, 23}, 80, InputMode::Japanese},
        {&Edit_MyTEL, "Edit_MyTEL", u"でんわ", {114, 110, 140, 23}, 0, InputMode::Telephone},
    };
    for (const Row& r : rows) {
        if (r.label) makeLabel(p, QString::fromUtf16(r.label), 44, r.place.y() + 5);
        *r.field = makeEdit(p, r.name, r.place, r.limit, r.mode, 15, kGrey);
    }

    BitBtn_My = makeIconButton(p, "BitBtn_My", saveIcon(), {610, 49, 39, 39});
    BitBtn_My->setToolTip(QStringLiteral("ご依頼主を保存します"));
    makeLabel(p, QStringLiteral("ご依頼主登録"), 600, 92, 12);

    // The mail button's place in Panel4 lies under the time band box.
    BitBtn_SendMail = new QPushButton(QStringLiteral("E-Mail"), p);
    BitBtn_SendMail->setObjectName(QStringLiteral("BitBtn_SendMail"));
    BitBtn_SendMail->setFont(gothicFont(12));
    BitBtn_SendMail->setGeometry(601, 110, 60, 20);
    BitBtn_SendMail->setAutoDefault(true);
    BitBtn_SendMail->setToolTip(QString::fromLatin1(kSupportMailAddress));
}

void TForm_Main::buildShipment() {
    QWidget* p = Panel4;

    CheckBox_Date_1 = makeCheck(p, "CheckBox_Date_1", QStringLiteral("日付"), 311, 5, 13);
    CheckBox_Date_1->setChecked(true);
    CheckBox_Date_1->setToolTip(QStringLiteral("チェックをはずすと日付を印字しません"));

    DateTimePicker_1 = new QDateEdit(p);
    DateTimePicker_1->setObjectName(QStringLiteral("DateTimePicker_1"));
    DateTimePicker_1->setCalendarPopup(true);
    DateTimePicker_1->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
    DateTimePicker_1->setFont(gothicFont(13));
    DateTimePicker_1->setGeometry(359, 2, 105, 21);
    // Digits go in as typed: a pre-edit would leave the day half typed.
    setInputMode(DateTimePicker_1, InputMode::Digits);
    if (auto* inner = DateTimePicker_1->findChild<QLineEdit*>()) setInputMode(inner, InputMode::Digits);

    makeLabel(p, QStringLiteral("ご希望お届け日"), 488, 8, 10);
    SjisLineEdit** dates[] = {&Edit_de_date1, &Edit_de_date2, &Edit_de_date3};
    const char* dateNames[] = {"Edit_de_date1", "Edit_de_date2", "Edit_de_date3"};
    const int dateX[] = {562, 587, 611};
    for (int i = 0; i < 3; ++i) {
        *dates[i] = makeEdit(p, dateNames[i], {dateX[i], 4, 23, 21}, 2, InputMode::Digits, 13);
        (*dates[i])->setDigitsOnly(true);
    }

    makeLabel(p, QStringLiteral("品名"), 307, 27, 14);
    SjisLineEdit** goods[] = {&Edit_G1, &Edit_G2, &Edit_G3};
    const char* goodsNames[] = {"Edit_G1", "Edit_G2", "Edit_G3"};
    const int goodsY[] = {24, 47, 71};
    for (int i = 0; i < 3; ++i)
        *goods[i] = makeEdit(p, goodsNames[i], {341, goodsY[i], 260, 24}, 30, InputMode::Japanese, 16);
    Edit_G1->setToolTip(QStringLiteral("30文字入力可"));

    NumEdit_KOSUU = new TNumEdit(p);
    NumEdit_KOSUU->setObjectName(QStringLiteral("NumEdit_KOSUU"));
    NumEdit_KOSUU->setIntegerLength(3);
    NumEdit_KOSUU->setDecimalLength(0);
    NumEdit_KOSUU->setErrorBeep(false);
    NumEdit_KOSUU->setGeometry(359, 96, 31, 21);
    NumEdit_KOSUU->setText(QStringLiteral("1"));
    auto* countLabel = makeLabel(p, QStringLiteral("個数"), 320, 100);
    countLabel->setObjectName(QStringLiteral("Label_KOSUU"));

    GroupBox_Pelican_1 = new QGroupBox(QStringLiteral("ご希望時間帯"), p);
    GroupBox_Pelican_1->setObjectName(QStringLiteral("GroupBox_Pelican_1"));
    GroupBox_Pelican_1->setFont(gothicFont(12));
    GroupBox_Pelican_1->setGeometry(600, 25, 80, 96);
    QCheckBox** bands[] = {&CheckBox_Pelican_1, &CheckBox_Pelican_2, &CheckBox_Pelican_3,
                           &CheckBox_Pelican_4, &CheckBox_Pelican_5, &CheckBox_Pelican_6};
    const char* bandNames[] = {"CheckBox_Pelican_1", "CheckBox_Pelican_2", "CheckBox_Pelican_3",
                               "CheckBox_Pelican_4", "CheckBox_Pelican_5", "CheckBox_Pelican_6"};
    const char16_t* bandCaptions[] = {u"午前中", u"12→14時", u"14→16時", u"16→18時", u"18→20時", u"20→21時"};
    for (int i = 0; i < 6; ++i) {
        *bands[i] = makeCheck(GroupBox_Pelican_1, bandNames[i], QString::fromUtf16(bandCaptions[i]), 4, 15 + 13 * i, 12);
        (*bands[i])->setFixedHeight(13);
    }

    GroupBox_Pelican_2 = new QGroupBox(p);
    GroupBox_Pelican_2->setObjectName(QStringLiteral("GroupBox_Pelican_2"));
    GroupBox_Pelican_2->setGeometry(471, 92, 117, 47);
    struct Box {
        QCheckBox** box;
        const char* name;
        const char16_t* caption;
        int x, y;
    };
    const Box handling[] = {
        {&CheckBox_Pelican_21, "CheckBox_Pelican_21", u"ゴルフ", 4, 6},
        {&CheckBox_Pelican_22, "CheckBox_Pelican_22", u"スキー", 58, 6},
        {&CheckBox_Pelican_23, "CheckBox_Pelican_23", u"空港", 4, 18},
        {&CheckBox_Pelican_24, "CheckBox_Pelican_24", u"冷蔵", 4, 30},
        {&CheckBox_Pelican_25, "CheckBox_Pelican_25", u"冷凍", 58, 30},
    };
    for (const Box& b : handling) {
        *b.box = makeCheck(GroupBox_Pelican_2, b.name, QString::fromUtf16(b.caption), b.x, b.y, 12);
        (*b.box)->setFixedHeight(12);
    }

    // Indicators sized to the 12-pixel rows, so neighbouring boxes are seen
    // and hit on their own instead of merging into one strip.
    const QString rows = QStringLiteral("QCheckBox::indicator { width: 10px; height: 10px; }");
    for (QGroupBox* g : {GroupBox_Pelican_1, GroupBox_Pelican_2}) g->setStyleSheet(rows);

    GroupBox1 = new QGroupBox(QStringLiteral("プリンタセット"), p);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setFont(gothicFont(13));
    GroupBox1->setGeometry(8, 2, 285, 130);
    ComboBox_SEL = new QComboBox(GroupBox1);
    ComboBox_SEL->setObjectName(QStringLiteral("ComboBox_SEL"));
    ComboBox_SEL->setFont(gothicFont(15));
    ComboBox_SEL->addItems({QStringLiteral("手差し"), QStringLiteral("連続(４インチ)")});
    ComboBox_SEL->setGeometry(67, 77, 212, 23);
    Label_Prn_Top = makeLabel(GroupBox1, QString(), 82, 103, 10);
    Label_Prn_Top->setObjectName(QStringLiteral("Label_Prn_Top"));
    Label_Prn_Top->resize(80, 11);
    Label_Prn_Left = makeLabel(GroupBox1, QString(), 82, 114, 10);
    Label_Prn_Left->setObjectName(QStringLiteral("Label_Prn_Left"));
    Label_Prn_Left->resize(80, 11);
}

void TForm_Main::buildFunctionBar() {
    // Groups of four, 10 pixels between the groups.
    const int left[12] = {0, 55, 110, 165, 230, 285, 340, 395, 460, 515, 570, 625};
    for (int i = 0; i < 12; ++i) {
        auto* b = new QPushButton(QStringLiteral("F%1").arg(i + 1), Panel_Fnc);
        b->setObjectName(QStringLiteral("SpeedButton_F%1").arg(i + 1));
        b->setGeometry(left[i], 1, 55, 26);
        b->setFocusPolicy(Qt::NoFocus);
        b->setFont(gothicFont(13));
        b->setEnabled(false);
        SpeedButton_F[static_cast<std::size_t>(i)] = b;
    }
    QPushButton** named[12] = {&SpeedButton_F1, &SpeedButton_F2, &SpeedButton_F3, &SpeedButton_F4,
                               &SpeedButton_F5, &SpeedButton_F6, &SpeedButton_F7, &SpeedButton_F8,
                               &SpeedButton_F9, &SpeedButton_F10, &SpeedButton_F11, &SpeedButton_F12};
    for (int i = 0; i < 12; ++i) *named[i] = SpeedButton_F[static_cast<std::size_t>(i)];
}

void TForm_Main::buildCarriers() {
    Label_CurrentDir = makeCarrier(this, "Label_CurrentDir");
    Label_PrinterIndex = makeCarrier(this, "Label_PrinterIndex");
    Label_dpix = makeCarrier(this, "Label_dpix");
    Label_dpiy = makeCarrier(this, "Label_dpiy");
    Label_CutCut = makeCarrier(this, "Label_CutCut");
    Label_0X = makeCarrier(this, "Label_0X");
    Label_org = makeCarrier(this, "Label_org");
}

void TForm_Main::connectHandlers() {
    // Every connection runs its handler through guarded(): an exception is
    // shown in the general error box and never reaches the event loop.
    auto on = [this](auto* sender, auto signal, void (TForm_Main::*handler)()) {
        connect(sender, signal, this, [this, handler] { guarded(this, [&] { (this->*handler)(); }); });
    };

    // Key map, prompts and the delivery date filter.
    for (QWidget* w : std::initializer_list<QWidget*>{
             Edit_Zip, Edit_Add1, Edit_Add2, Edit_Add3, Edit_Custo1, Edit_tel, Edit_MyZip, Edit_MyADD1,
             Edit_MyADD2, Edit_My, Edit_MyTEL, DateTimePicker_1, Edit_de_date1, Edit_de_date2, Edit_de_date3,
             Edit_G1, Edit_G2, Edit_G3, NumEdit_KOSUU})
        w->installEventFilter(this);
    if (auto* inner = DateTimePicker_1->findChild<QLineEdit*>()) inner->installEventFilter(this);

    on(Edit_Zip, &SjisLineEdit::focusEntered, &TForm_Main::Edit_ZipEnter);
    on(Edit_Add1, &SjisLineEdit::focusEntered, &TForm_Main::Edit_Add1Enter);
    on(Edit_Add2, &SjisLineEdit::focusEntered, &TForm_Main::Edit_Add2Enter);
    on(Edit_Add3, &SjisLineEdit::focusEntered, &TForm_Main::Edit_Add2Enter);
    on(Edit_Custo1, &SjisLineEdit::focusEntered, &TForm_Main::Edit_Custo1Enter);
    on(Edit_tel, &SjisLineEdit::focusEntered, &TForm_Main::Edit_telEnter);
    on(Edit_G1, &SjisLineEdit::focusEntered, &TForm_Main::Edit_G1Enter);
    on(Edit_G2, &SjisLineEdit::focusEntered, &TForm_Main::Edit_G1Enter);
    on(Edit_G3, &SjisLineEdit::focusEntered, &TForm_Main::Edit_G1Enter);
    on(Edit_MyZip, &SjisLineEdit::focusEntered, &TForm_Main::Edit_MyZipEnter);
    on(Edit_MyADD1, &SjisLineEdit::focusEntered, &TForm_Main::Edit_MyADD1Enter);
    on(Edit_MyADD2, &SjisLineEdit::focusEntered, &TForm_Main::Edit_MyADD2Enter);
    on(Edit_My, &SjisLineEdit::focusEntered, &TForm_Main::Edit_MyEnter);
    on(Edit_MyTEL, &SjisLineEdit::focusEntered, &TForm_Main::Edit_MyTELEnter);

    // A refused character explains itself in the prompt line.
    for (SjisLineEdit* e : findChildren<SjisLineEdit*>())
        connect(e, &SjisLineEdit::inputRefused, this, [this](const QString& reason) {
            if (!reason.isEmpty()) Panel_HelpMess->setText(reason);
        });

    // Whatever brings full-width digits and hyphens (a paste, an input method
    // that ignores the field's mode), they go in half-width, before the byte
    // limit is judged. The sender's fields convert only what the user adds:
    // a sender record is shown as it was saved.
    for (SjisLineEdit* e : {Edit_Zip, Edit_tel, Edit_MyZip, Edit_MyTEL, Edit_de_date1, Edit_de_date2, Edit_de_date3})
        e->setInputConversion(&TForm_Main::halfWidth);
    // A hyphen typed as "ー" between digits is read as "-", also when the
    // digit after it comes with a later key.
    for (SjisLineEdit* e : {Edit_Zip, Edit_tel, Edit_MyZip, Edit_MyTEL}) e->setInputRule(&codetext::hyphensBetweenDigits);
    on(Edit_Zip, &QLineEdit::textChanged, &TForm_Main::Edit_ZipChange);
    on(Edit_tel, &QLineEdit::textChanged, &TForm_Main::Edit_telChange);

    on(BitBtn_CLS, &QPushButton::clicked, &TForm_Main::BitBtn_CLSClick);
    on(BitBtn_WebHelp, &QPushButton::clicked, &TForm_Main::BitBtn_WebHelpClick);
    on(BitBtn_SendMail, &QPushButton::clicked, &TForm_Main::BitBtn_SendMailClick);
    on(BitBtn_My, &QPushButton::clicked, &TForm_Main::BitBtn_MyClick);

    // Colouring follows the box whoever changes it; the date box re-applies it.
    on(CheckBox_My, &QCheckBox::toggled, &TForm_Main::CheckBox_MyClick);
    on(CheckBox_Date_1, &QCheckBox::clicked, &TForm_Main::CheckBox_MyClick);

    // clicked() comes from the user only, after the box has toggled.
    on(CheckBox_Pelican_1, &QCheckBox::clicked, &TForm_Main::CheckBox_Pelican_1Click);
    on(CheckBox_Pelican_2, &QCheckBox::clicked, &TForm_Main::CheckBox_Pelican_2Click);
    on(CheckBox_Pelican_3, &QCheckBox::clicked, &TForm_Main::CheckBox_Pelican_3Click);
    on(CheckBox_Pelican_4, &QCheckBox::clicked, &TForm_Main::CheckBox_Pelican_4Click);
    on(CheckBox_Pelican_5, &QCheckBox::clicked, &TForm_Main::CheckBox_Pelican_5Click);
    on(CheckBox_Pelican_6, &QCheckBox::clicked, &TForm_Main::CheckBox_Pelican_6Click);
    on(CheckBox_Pelican_21, &QCheckBox::clicked, &TForm_Main::CheckBox_Pelican_21Click);
    for (QCheckBox* b : {CheckBox_Pelican_22, CheckBox_Pelican_23, CheckBox_Pelican_24, CheckBox_Pelican_25})
        on(b, &QCheckBox::clicked, &TForm_Main::CheckBox_Pelican_22Click);

    // Only the user's own tab change loads a sender record: restoring the
    // tab from the settings uses setCurrentIndex(), which UserTabBar does
    // not report as userSelected().
    on(static_cast<UserTabBar*>(PageControl_My), &UserTabBar::userSelected, &TForm_Main::PageControl_MyChange);
    // activated() is emitted for the user's choice only, not setCurrentIndex().
    on(ComboBox_SEL, &QComboBox::activated, &TForm_Main::ComboBox_SELChange);

    on(SpeedButton_F2, &QPushButton::clicked, &TForm_Main::SpeedButton_F2Click);
    on(SpeedButton_F6, &QPushButton::clicked, &TForm_Main::SpeedButton_F6Click);
    on(SpeedButton_F7, &QPushButton::clicked, &TForm_Main::SpeedButton_F7Click);
    on(SpeedButton_F10, &QPushButton::clicked, &TForm_Main::SpeedButton_F10Click);
    on(SpeedButton_F11, &QPushButton::clicked, &TForm_Main::SpeedButton_F11Click);

    // Any orderly end of the event loop (quit from the session) saves too.
    connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, [this] { runFormDestroyOnce(); });
}

void TForm_Main::layOutEntryForm() {
    Edit_G1->setGeometry(341, 24, 260, 24);
    Edit_G2->setGeometry(341, 47, 260, 24);
    Edit_G3->setGeometry(341, 71, 260, 24);
    GroupBox_Pelican_1->setGeometry(600, 25, 80, 96);
    for (QWidget* w : std::initializer_list<QWidget*>{Edit_G3, CheckBox_Date_1, DateTimePicker_1, Edit_de_date1,
                                                      Edit_de_date2, Edit_de_date3, GroupBox_Pelican_1,
                                                      GroupBox_Pelican_2, PageControl_My})
        w->show();
    NumEdit_KOSUU->hide();
    if (auto* countLabel = Panel4->findChild<QLabel*>(QStringLiteral("Label_KOSUU"))) countLabel->hide();
}

void TForm_Main::setUpFunctionBar() {
    for (int i = 0; i < 12; ++i) {
        SpeedButton_F[static_cast<std::size_t>(i)]->setText(QStringLiteral("F%1").arg(i + 1));
        SpeedButton_F[static_cast<std::size_t>(i)]->setEnabled(false);
    }
    SpeedButton_F2->setText(QStringLiteral("中止"));
    SpeedButton_F2->setEnabled(true);
    SpeedButton_F10->setText(QStringLiteral("プレビュー"));
    SpeedButton_F10->setEnabled(true);
    SpeedButton_F11->setText(QStringLiteral("印刷"));
    SpeedButton_F11->setEnabled(true);
    setUpHistoryKey();
    setUpBatchKey();
    updatePostalKeys();
    // A caption wider than its 55-pixel key ("プレビュー") gets a smaller
    // font rather than being cut off.
    for (QPushButton* b : SpeedButton_F) {
        QFont font = gothicFont(13);
        while (font.pixelSize() > 9 && QFontMetrics(font).horizontalAdvance(b->text()) > b->width() - 6)
            font.setPixelSize(font.pixelSize() - 1);
        b->setFont(font);
    }
}

void TForm_Main::centreOnDesktop() {
    const QScreen* screen = this->screen();
    if (!screen) return;
    const QRect desk = screen->availableGeometry();
    move(desk.center() - QPoint(width() / 2, height() / 2));
}
