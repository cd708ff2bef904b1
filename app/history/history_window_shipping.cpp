// The history window's part in closing the loop with the sales platforms:
// a row's tracking number (伝票番号) typed or scanned in, and the shipped
// orders written as a platform's shipping-confirmation file.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <variant>

#include "settings/main_settings.h"
#include "widgets/history_book.h"
#include "widgets/input_mode.h"
#include "app/history/history_window.h"
#include "widgets/window_memory.h"
#include "batch/tracking_number.h"
#include "services/guard.h"
#include "services/message_boxes.h"
#include "store/atomic_file.h"
#include "store/ini_file.h"
#include "history/print_recording.h"
#include "history/shipped_export.h"

namespace {

// The confirmation files offered: caption, layout (none: a file for each
// platform the rows came from), Shift-JIS.
struct ShippedChoice {
    const char* caption;
    const char* layout;
    bool cp932;
};
constexpr ShippedChoice kShippedChoices[] = {
    {"Amazon 出荷通知 (タブ区切り)", "amazon", false},
    {"汎用 CSV (UTF-8)", "plain", false},
    {"汎用 CSV (Shift-JIS)", "plain", true},
    {"楽天 発送完了報告 (Shift-JIS)", "rakuten", true},
    {"EC-CUBE 出荷CSV (Shift-JIS)", "ec-cube", true},
    {"Qoo10 配送 (UTF-8)", "qoo10", false},
    {"Yahoo!ショッピング (UTF-8)", "yahoo", false},
    {"販路ごとに1ファイルずつ", nullptr, false},
};

}  // namespace

void HistoryWindow::buildShipping(QHBoxLayout* row) {
    Edit_Tracking = new QLineEdit(this);
    Edit_Tracking->setObjectName(QStringLiteral("Edit_Tracking"));
    Edit_Tracking->setPlaceholderText(QStringLiteral("選んだ行の伝票番号 (入力・読み取り)"));
    // A scanner's digits go in as typed, so its Enter records them.
    setInputMode(Edit_Tracking, InputMode::Code);
    BitBtn_Tracking = new QPushButton(QStringLiteral("伝票番号を記録"), this);
    BitBtn_Tracking->setObjectName(QStringLiteral("BitBtn_Tracking"));
    ComboBox_Shipped = new QComboBox(this);
    ComboBox_Shipped->setObjectName(QStringLiteral("ComboBox_Shipped"));
    for (const ShippedChoice& c : kShippedChoices) ComboBox_Shipped->addItem(QString::fromUtf8(c.caption));
    BitBtn_Shipped = new QPushButton(QStringLiteral("出荷通知出力"), this);
    BitBtn_Shipped->setObjectName(QStringLiteral("BitBtn_Shipped"));
    for (QPushButton* b : {BitBtn_Tracking, BitBtn_Shipped}) b->setAutoDefault(false);

    row->addWidget(new QLabel(QStringLiteral("伝票番号"), this));
    row->addWidget(Edit_Tracking, 1);
    row->addWidget(BitBtn_Tracking);
    row->addSpacing(16);
    row->addWidget(ComboBox_Shipped);
    row->addWidget(BitBtn_Shipped);

    connect(BitBtn_Tracking, &QPushButton::clicked, this, [this] { guarded(this, [this] { setTracking(); }); });
    // A barcode scanner ends the digits with Enter.
    connect(Edit_Tracking, &QLineEdit::returnPressed, this, [this] { guarded(this, [this] { setTracking(); }); });
    connect(BitBtn_Shipped, &QPushButton::clicked, this, [this] { guarded(this, [this] { exportShipped(); }); });
    askShippedPath = [](QWidget* owner, const QString& suggested) {
        return QFileDialog::getSaveFileName(owner, QStringLiteral("出荷通知出力"), suggested);
    };
}

void HistoryWindow::setTracking() {
    const int row = currentRow();
    if (row < 0 || row >= static_cast<int>(rows().size())) {
        messageBoxes().notice(this, QStringLiteral("伝票番号を記録する行を選んでください"));
        return;
    }
    const store::WaybillRecord& chosen = rows()[static_cast<std::size_t>(row)];
    const batch::TrackingScheme scheme = trackingScheme ? trackingScheme(chosen.form) : batch::TrackingScheme{};
    const auto parsed = batch::parseTracking(Edit_Tracking->text().toStdString(), scheme);
    if (const auto* refusal = std::get_if<batch::TrackingRefusal>(&parsed)) {
        // Nothing is stored; the text stays for correcting.
        messageBoxes().error(this, QString::fromStdString(refusal->reason));
        Edit_Tracking->selectAll();
        return;
    }
    const auto digits = std::get<std::string>(parsed);
    // Cleared at once, so that the next scan starts on an empty field; a
    // number that could not be stored comes back into it for another try.
    Edit_Tracking->clear();
    storeTracking(chosen.id, chosen.uid, digits, false);
}

void HistoryWindow::storeTracking(std::int64_t id, const std::string& uid, const std::string& digits, bool anyway) {
    // A number is on one form only: one that another row holds already is
    // stored only when the user says so. The check and the change run as
    // one piece of work, after the changes handed over before them.
    auto holder = std::make_shared<std::optional<store::WaybillRecord>>();
    book_.writeLater(
        this,
        [id, uid, digits, anyway, holder](store::HistoryBackend& s) {
            if (!anyway)
                for (store::WaybillRecord& r : s.holdersOf(std::span(&digits, 1)))
                    if (r.uid != uid) {
                        *holder = std::move(r);
                        return;
                    }
            s.setTracking(id, digits);
        },
        [this, id, uid, digits, holder](const HistoryBook::Written& written) {
            guarded(this, [&] {
                if (!written.ok || *holder) {
                    if (Edit_Tracking->text().isEmpty()) Edit_Tracking->setText(QString::fromStdString(digits));
                    if (!written.ok)
                        throw std::runtime_error("伝票番号を記録できません: " + written.error.toStdString());
                    if (messageBoxes().question(this, QString::fromStdString(store::trackingHeldText(**holder)) +
                                                          QStringLiteral("\nこの行にも記録しますか?"))) {
                        Edit_Tracking->clear();
                        storeTracking(id, uid, digits, true);
                    }
                    return;
                }
                reload([this, id, digits] {
                    // The same row again (its place may have moved with a search by number).
                    for (int i = 0; i < static_cast<int>(rows().size()); ++i)
                        if (rows()[static_cast<std::size_t>(i)].id == id) setCurrentRow(i);
                    Label_Count->setText(
                        QStringLiteral("伝票番号 %1 を記録しました").arg(QString::fromStdString(digits)));
                });
            });
        });
}

void HistoryWindow::exportShipped() {
    const int choice = std::max(0, ComboBox_Shipped->currentIndex());
    store::HistoryQuery query = currentQuery();
    query.shippedOnly = true;
    query.limit = -1;
    book_.readLater(
        HistoryBook::Lane::Export, this,
        [query](store::HistoryBackend& s, HistoryBook::Found& found) { found.rows = s.list(query); },
        [this, choice](const HistoryBook::Found& found) {
            guarded(this, [&] {
                if (!found.ok) throw std::runtime_error("履歴を読めません: " + found.error.toStdString());
                writeShipped(found.rows, choice);
            });
        });
}

void HistoryWindow::writeShipped(std::vector<store::WaybillRecord> shipped, int choiceIndex) {
    const ShippedChoice& choice = kShippedChoices[choiceIndex];
    std::vector<const store::ShippedLayout*> layouts;
    if (choice.layout) layouts.push_back(store::shippedLayout(choice.layout));
    else layouts = store::shippedLayoutsOf(shipped);
    if (shipped.empty() || layouts.empty()) {
        messageBoxes().notice(this, QStringLiteral("出荷済みの注文 (注文番号と伝票番号のある行) がありません"));
        return;
    }
    if (!choice.layout) {
        QStringList names;
        for (const store::ShippedLayout* l : layouts) names << QString::fromUtf8(l->name.data(), static_cast<qsizetype>(l->name.size()));
        if (!messageBoxes().question(this, QStringLiteral("範囲にある販路の出荷ファイルを1つずつ書き出します: %1").arg(names.join(QStringLiteral("、")))))
            return;
    }
    // Oldest first, as they were printed.
    std::reverse(shipped.begin(), shipped.end());
    // The carrier is set in the base folder's settings file, where the history lives.
    const QString base = QFileInfo(book_.filePath()).absolutePath();
    store::Carriers carriers;
    if (this->carriers) {
        carriers = this->carriers();
    } else {
        carriers.builtin = store::readCarrier(
            IniFile(QFile::encodeName(QDir(base).filePath(QString::fromUtf8(kSettingsFileName))).toStdString()));
    }
    QStringList written;
    for (const store::ShippedLayout* layout : layouts) {
        const std::string text = store::shippedExport(shipped, *layout, carriers, choice.cp932);
        const QString suggested = QString::fromUtf8(layout->fileName.data(), static_cast<qsizetype>(layout->fileName.size()));
        const QString path = askShippedPath(this, QDir(fileDialogFolder(base)).filePath(suggested));
        if (path.isEmpty()) continue;
        rememberFileDialogFolder(base, path);
        try {
            writeFileAtomically(QFile::encodeName(path).toStdString(), text);
        } catch (const FileError& e) {
            throw std::runtime_error(path.toStdString() + " に書き込めません: " + e.what());
        }
        written << path;
    }
    if (!written.isEmpty())
        Label_Count->setText(QStringLiteral("出荷済みの注文を %1 に書き出しました").arg(written.join(QStringLiteral("、"))));
}
