#include "app/history/shared_db_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "widgets/history_book.h"
#include "widgets/input_mode.h"
#include "widgets/ui_fonts.h"
#include "services/guard.h"
#include "services/message_boxes.h"
#include "history/conninfo_password.h"
#include "history/pg_db.h"
#include "history/pg_history_store.h"

SharedDbDialog::SharedDbDialog(HistoryBook& book, QWidget* parent) : QDialog(parent), book_(book) {
    setObjectName(QStringLiteral("Form_SharedDb"));
    setWindowTitle(QStringLiteral("共有データベース"));
    setFont(gothicFont(13));

    Edit_Conninfo = new QLineEdit(book.sharedConninfo(), this);
    Edit_Conninfo->setObjectName(QStringLiteral("Edit_Conninfo"));
    Edit_Conninfo->setPlaceholderText(QStringLiteral("host=192.168.1.10 dbname=pelican user=station1 sslmode=verify-full"));
    Edit_Conninfo->setMinimumWidth(520);
    setInputMode(Edit_Conninfo, InputMode::Latin);
    Label_Help = new QLabel(
        QStringLiteral("複数のパソコンで履歴とアドレス帳を共有するときは、PostgreSQL サーバーの接続文字列、または "
                       "pg_service.conf のサービス名を入力します。空にすると、このパソコンだけで記録します。\n"
                       "パスワードはここに書かず、~/.pgpass（または PGPASSFILE で指定したファイル）に書いて下さい。\n"
                       "別のコンピュータのサーバーには、暗号化した接続（sslmode=verify-full）をお勧めします。"),
        this);
    Label_Help->setObjectName(QStringLiteral("Label_Help"));
    Label_Help->setWordWrap(true);
    Label_TestResult = new QLabel(this);
    Label_TestResult->setObjectName(QStringLiteral("Label_TestResult"));
    Label_TestResult->setWordWrap(true);
    Label_TestResult->setTextInteractionFlags(Qt::TextSelectableByMouse);

    BitBtn_Test = new QPushButton(QStringLiteral("接続テスト"), this);
    BitBtn_Test->setObjectName(QStringLiteral("BitBtn_Test"));
    BitBtn_Ok = new QPushButton(QStringLiteral("OK"), this);
    BitBtn_Ok->setObjectName(QStringLiteral("BitBtn_Ok"));
    BitBtn_Cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    BitBtn_Cancel->setObjectName(QStringLiteral("BitBtn_Cancel"));
    for (QPushButton* b : {BitBtn_Test, BitBtn_Ok, BitBtn_Cancel}) b->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BitBtn_Test);
    buttons->addStretch(1);
    buttons->addWidget(BitBtn_Ok);
    buttons->addWidget(BitBtn_Cancel);
    auto* all = new QVBoxLayout(this);
    all->addWidget(new QLabel(QStringLiteral("接続文字列またはサービス名"), this));
    all->addWidget(Edit_Conninfo);
    all->addWidget(Label_Help);
    all->addWidget(Label_TestResult);
    all->addLayout(buttons);

    connect(BitBtn_Test, &QPushButton::clicked, this, [this] { guarded(this, [this] { BitBtn_TestClick(); }); });
    connect(BitBtn_Ok, &QPushButton::clicked, this, [this] { guarded(this, [this] { BitBtn_OkClick(); }); });
    connect(BitBtn_Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void SharedDbDialog::BitBtn_TestClick() {
    const std::string conninfo = store::normalisedConninfo(Edit_Conninfo->text().toStdString());
    if (conninfo.empty()) {
        Label_TestResult->setText(QStringLiteral("接続文字列が空です。このパソコンだけで記録します"));
        emit tested(false);
        return;
    }
    Label_TestResult->setText(QStringLiteral("接続しています…"));
    BitBtn_Test->setEnabled(false);
    setCursor(Qt::BusyCursor);
    // A server that does not answer takes the whole time-out; the dialog
    // goes on meanwhile (and may be closed: then the outcome is dropped).
    book_.inBackground(this, [this, conninfo]() -> HistoryBook::Answer {
        QString outcome;
        bool usable = false;
        try {
            store::PgHistoryStore probe(conninfo);
            const std::string notice = probe.takeNotice();
            outcome = notice.empty()
                          ? QStringLiteral("接続できました。このパソコンから履歴とアドレス帳を読み書きできます")
                          : QString::fromStdString(notice);
            usable = true;
        } catch (const std::exception& e) {
            outcome = QString::fromUtf8(e.what());
        }
        return [this, outcome, usable] {
            unsetCursor();
            BitBtn_Test->setEnabled(true);
            Label_TestResult->setText(outcome);
            emit tested(usable);
        };
    });
}

void SharedDbDialog::BitBtn_OkClick() {
    const QString text = Edit_Conninfo->text().trimmed();
    if (store::conninfoHasPassword(text.toStdString())) {
        messageBoxes().notice(this, QString::fromUtf8(store::kPasswordInConninfo));
        Edit_Conninfo->setFocus(Qt::OtherFocusReason);
        return;
    }
    book_.setSharedConninfo(text);
    accept();
}
