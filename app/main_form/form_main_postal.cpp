// One part of TForm_Main (form_main.h): its members are defined across the form_main*.cpp files by concern.
// Postal codes on the entry form: the code shown as "NNN-NNNN", F5 (〒→住所)
// and F6 (住所→〒) with a pick list, and the warning when the consignee's
// code is unknown or does not fit the address. The table is read on the
// first lookup, never at start.
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPalette>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "app/main_form/form_main.h"
#include "widgets/sjis_line_edit.h"
#include "widgets/ui_fonts.h"
#include "postal/address_key.h"
#include "postal/postal_search.h"
#include "postal/table_locator.h"
#include "services/guard.h"
#include "services/message_boxes.h"
#include "text/sjis.h"
#include "text/sjis_qt.h"

namespace {

const QString kUnreadable = QStringLiteral("郵便番号データを読めません");
const QString kMismatch = QStringLiteral("郵便番号と住所が一致しません");
const QString kUnknown = QStringLiteral("この郵便番号は見つかりません");

// The table for a lookup. A table of the user's that could not be read,
// so that the bundled one is used instead, is told once.
const postal::Table* loadedTable(QWidget* owner, postal::LazyTable& lazy) {
    const postal::Table* table = lazy.get();
    if (const std::string notice = lazy.takeNotice(); !notice.empty())
        messageBoxes().notice(owner, QString::fromStdString(notice));
    return table;
}

// Businesses that receive much mail have codes of their own, not in the
// table of places; most have 8 or 9 as the fourth digit.
const QString kBusinessHint =
    QStringLiteral("事業所の郵便番号は JIGYOSYO.CSV を取り込むと引けます（F5で手順を表示）");
const QString kBusinessHelp = QStringLiteral(
    "郵便番号 %1 は郵便番号データにありません。\n\n"
    "事業所の個別の郵便番号であれば、日本郵便の「事業所の個別郵便番号」データ（JIGYOSYO.CSV）に含まれます。"
    "日本郵便のホームページから KEN_ALL.CSV と JIGYOSYO.CSV を取得し、このプログラムを起動するフォルダで"
    "次のコマンドを実行して取り込んで下さい（README の「郵便番号」を参照）:\n\n"
    "vamu_pelican_cli postal import KEN_ALL.CSV JIGYOSYO.CSV");

bool mayBeBusinessCode(const std::string& sjisZip) {
    const auto digits = postal::zipDigits(sjisZip);
    return digits && ((*digits)[3] == '8' || (*digits)[3] == '9');
}

// An address that stops inside the code's prefecture and city ("東京都"
// left in おところ① with the city still to come in おところ②) is not yet
// a mismatch.
bool stopsInsideCity(const std::vector<postal::Candidate>& places, const std::string& sjisAddress) {
    const std::string key = postal::addressKey(sjisAddress);
    return std::any_of(places.begin(), places.end(), [&](const postal::Candidate& c) {
        return postal::addressKey(c.pref + c.city).starts_with(key) || postal::addressKey(c.city).starts_with(key);
    });
}

QString placeText(const postal::Candidate& c) { return sjis::toQString(c.pref + c.city + c.town); }

QString pickLine(const postal::Candidate& c) {
    QString line = QString::fromLatin1(postal::formatZip(c.zip)) + QStringLiteral("  ") + placeText(c);
    if (!c.office.empty()) line += QStringLiteral("  ") + sjis::toQString(c.office);
    return line;
}

}  // namespace

void TForm_Main::buildPostal() {
    Label_ZipWarning = new QLabel(Panel1);
    Label_ZipWarning->setObjectName(QStringLiteral("Label_ZipWarning"));
    Label_ZipWarning->setGeometry(220, 23, 380, 13);
    Label_ZipWarning->setFont(gothicFont(13));
    QPalette red = Label_ZipWarning->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    Label_ZipWarning->setPalette(red);

    auto on = [this](auto* sender, auto signal, auto handler) {
        connect(sender, signal, this, [this, handler] { guarded(this, [&] { handler(); }); });
    };
    // Seven digits, however they came, show as "NNN-NNNN": the waybill's
    // fourth box is the hyphen's and is never printed.
    for (SjisLineEdit* zip : {Edit_Zip, Edit_MyZip}) {
        on(zip, &QLineEdit::textChanged, [zip] {
            const auto digits = postal::zipDigits(sjis::fromQString(zip->text()));
            if (!digits) return;
            const QString shown = QString::fromLatin1(postal::formatZip(*digits));
            if (zip->text() != shown) zip->setText(shown);
        });
    }
    // F5/F6 act on the part (consignee or sender) last entered.
    for (SjisLineEdit* e : {Edit_Zip, Edit_Add1, Edit_Add2, Edit_Add3, Edit_Custo1, Edit_tel})
        on(e, &SjisLineEdit::focusEntered, [this] {
            postalSender_ = false;
            updatePostalKeys();
        });
    for (SjisLineEdit* e : {Edit_MyZip, Edit_MyADD1, Edit_MyADD2, Edit_My, Edit_MyTEL})
        on(e, &SjisLineEdit::focusEntered, [this] {
            postalSender_ = true;
            updatePostalKeys();
        });
    for (SjisLineEdit* e : {Edit_Zip, Edit_MyZip, Edit_Add1, Edit_MyADD1})
        on(e, &QLineEdit::textChanged, [this] { updatePostalKeys(); });
    // A shown warning goes as soon as the code or the address is put right
    // (or cleared); a new one waits until the code is completed.
    for (SjisLineEdit* e : {Edit_Zip, Edit_Add1, Edit_Add2, Edit_Add3})
        on(e, &QLineEdit::textChanged, [this] {
            if (!Label_ZipWarning->text().isEmpty()) checkZipAddress(false);
        });

    on(SpeedButton_F5, &QPushButton::clicked, [this] { SpeedButton_F5Click(); });
    for (const auto& [key, button] : {std::pair{Qt::Key_F5, SpeedButton_F5}, std::pair{Qt::Key_F6, SpeedButton_F6}}) {
        auto* shortcut = new QShortcut(QKeySequence(key), this);
        connect(shortcut, &QShortcut::activated, button, [b = button] {
            if (b->isEnabled()) b->click();
        });
    }
}

postal::LazyTable* TForm_Main::postalTable() {
    if (!postalTable_) {
        const QString base = Label_CurrentDir->text().isEmpty() ? QDir::currentPath() : Label_CurrentDir->text();
        postalTable_ = std::make_shared<postal::LazyTable>(QFile::encodeName(base).toStdString(),
                                                           postal::executableFolder());
    }
    return postalTable_.get();
}

void TForm_Main::updatePostalKeys() {
    SjisLineEdit* zip = postalSender_ ? Edit_MyZip : Edit_Zip;
    SjisLineEdit* address = postalSender_ ? Edit_MyADD1 : Edit_Add1;
    const auto digits = postal::zipPrefixDigits(sjis::fromQString(zip->text()));
    const bool byCode = digits && (digits->size() == 3 || digits->size() == 5 || digits->size() == 7);
    SpeedButton_F5->setText(QStringLiteral("住所検索"));
    SpeedButton_F5->setEnabled(byCode);
    SpeedButton_F6->setText(QStringLiteral("〒検索"));
    SpeedButton_F6->setEnabled(!address->text().trimmed().isEmpty());
}

// A modal list to choose from: arrows and Enter or a double click choose,
// Escape closes it without a choice.
bool TForm_Main::postalPick(int& chosen, const QStringList& items, const QString& title) {
    QDialog box(this);
    box.setObjectName(QStringLiteral("Form_PostalPick"));
    box.setWindowTitle(title);
    auto* list = new QListWidget(&box);
    list->setObjectName(QStringLiteral("ListBox_Postal"));
    list->setFont(gothicFont(14));
    list->addItems(items);
    list->setCurrentRow(0);
    auto* layout = new QVBoxLayout(&box);
    layout->addWidget(list);
    box.resize(520, 300);
    connect(list, &QListWidget::itemActivated, &box, &QDialog::accept);
    connect(list, &QListWidget::itemDoubleClicked, &box, &QDialog::accept);
    if (box.exec() != QDialog::Accepted || list->currentRow() < 0) return false;
    chosen = list->currentRow();
    return true;
}

void TForm_Main::SpeedButton_F5Click() {
    const bool sender = postalSender_;
    SjisLineEdit* zipField = sender ? Edit_MyZip : Edit_Zip;
    SjisLineEdit* addressField = sender ? Edit_MyADD1 : Edit_Add1;
    const auto digits = postal::zipPrefixDigits(sjis::fromQString(zipField->text()));
    if (!digits) return;
    const postal::Table* table = loadedTable(this, *postalTable());
    if (!table) {
        Panel_HelpMess->setText(kUnreadable);
        return;
    }
    const std::vector<postal::Candidate> found =
        digits->size() == 7 ? table->lookup(*digits) : table->lookupPrefix(*digits);
    if (found.empty()) {
        Panel_HelpMess->setText(kUnknown);
        if (digits->size() == 7 && mayBeBusinessCode(*digits))
            messageBoxes().notice(this, kBusinessHelp.arg(QString::fromLatin1(postal::formatZip(*digits))));
        return;
    }
    int pick = 0;
    if (found.size() > 1) {
        QStringList items;
        for (const postal::Candidate& c : found) items << pickLine(c);
        if (!postalPick(pick, items, QStringLiteral("住所の選択"))) return;
    }
    const postal::Candidate& c = found[static_cast<std::size_t>(pick)];
    if (digits->size() != 7) zipField->setText(QString::fromLatin1(postal::formatZip(c.zip)));
    const QString place = placeText(c);
    const QString now = addressField->text();
    // An address that already begins with the place keeps its 番地.
    if (!now.startsWith(place)) {
        if (!now.isEmpty() &&
            !messageBoxes().question(this, QStringLiteral("おところを「%1」に置き換えますか?").arg(place))) {
            addressField->setFocus(Qt::OtherFocusReason);
            return;
        }
        addressField->setText(place);
    }
    addressField->setFocus(Qt::OtherFocusReason);
    addressField->deselect();
    addressField->setCursorPosition(static_cast<int>(addressField->text().size()));
    if (!sender) {
        Edit_Warning();
        checkZipAddress(false);
    }
}

void TForm_Main::SpeedButton_F6Click() {
    const bool sender = postalSender_;
    SjisLineEdit* zipField = sender ? Edit_MyZip : Edit_Zip;
    SjisLineEdit* addressField = sender ? Edit_MyADD1 : Edit_Add1;
    const std::string address = sjis::fromQString(addressField->text());
    if (sjis::trimView(address).empty()) return;
    const postal::Table* table = loadedTable(this, *postalTable());
    if (!table) {
        Panel_HelpMess->setText(kUnreadable);
        return;
    }
    const std::vector<postal::Candidate> found = postal::reverseLookup(*table, address);
    if (found.empty()) {
        Panel_HelpMess->setText(QStringLiteral("この住所の郵便番号は見つかりません"));
        return;
    }
    int pick = 0;
    if (found.size() > 1) {
        QStringList items;
        for (const postal::Candidate& c : found) items << pickLine(c);
        if (!postalPick(pick, items, QStringLiteral("郵便番号の選択"))) return;
    }
    const postal::Candidate& c = found[static_cast<std::size_t>(pick)];
    const QString zip = QString::fromLatin1(postal::formatZip(c.zip));
    const auto now = postal::zipDigits(sjis::fromQString(zipField->text()));
    if (!zipField->text().trimmed().isEmpty() && now != c.zip &&
        !messageBoxes().question(this, QStringLiteral("郵便番号を「%1」に置き換えますか?").arg(zip)))
        return;
    zipField->setText(zip);
    if (!sender) checkZipAddress(false);
}

void TForm_Main::consigneeFieldExit(Qt::FocusReason reason) {
    // Only a move to another control completes the code or the line: a box
    // or another window taking the focus leaves the field as it was.
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) checkZipAddress(true);
}

TForm_Main::ZipVerdict TForm_Main::zipVerdict(bool announce) {
    const std::string zip = sjis::fromQString(Edit_Zip->text());
    std::string address;
    for (SjisLineEdit* e : {Edit_Add1, Edit_Add2, Edit_Add3}) address += sjis::fromQString(e->text());
    if (sjis::trimView(zip).empty()) return {};
    const postal::Table* table = loadedTable(this, *postalTable());
    if (!table) return {QString(), announce ? kUnreadable : QString()};
    const postal::CheckResult r = postal::checkAddress(*table, zip, address);
    if (!r.known) return {kUnknown, mayBeBusinessCode(zip) ? kBusinessHint : QString()};
    if (sjis::trimView(address).empty() || r.matches || stopsInsideCity(r.expected, address)) return {};
    const postal::Candidate& c = r.expected.front();
    const QString place = placeText(c);
    return {kMismatch,
            kMismatch + QStringLiteral("（〒%1は%2）").arg(QString::fromLatin1(postal::formatZip(c.zip)), place)};
}

void TForm_Main::checkZipAddress(bool announce) {
    const auto [warning, verdictDetail] = zipVerdict(announce);
    // Fixing things only clears the label; a new warning waits for the
    // code or an address line to be completed.
    if (!announce && !warning.isEmpty() && Label_ZipWarning->text().isEmpty()) return;
    Label_ZipWarning->setText(warning);
    if (!announce) return;
    const QString detail = verdictDetail.isEmpty() ? warning : verdictDetail;
    if (detail.isEmpty()) return;
    // After the focus moves the next field puts up its own prompt; the
    // warning follows it so that it is what the user reads.
    QTimer::singleShot(0, this, [this, detail] { Panel_HelpMess->setText(detail); });
}
