#include "app/history_book.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>

#include "app/core/main_settings.h"
#include "services/message_boxes.h"
#include "store/ini_file.h"
#include "store/outbox_sender.h"
#include "store/pg_db.h"
#include "store/pg_schema.h"
#include "text/sjis_qt.h"

namespace {
constexpr char kSharedSection[] = "SharedDatabase";
constexpr char kConninfoKey[] = "Conninfo";
// How soon a listener that lost its server tries again.
constexpr int kListenRetryMs = 3000;
}  // namespace

HistoryBook::HistoryBook(QWidget* owner) : QObject(owner), owner_(owner) {}

HistoryBook::~HistoryBook() { close(); }

void HistoryBook::close() {
    delete notifier_;
    notifier_ = nullptr;
    listener_.reset();
    heardBefore_ = false;
    sender_.reset();  // stops the sender's thread; unsent rows stay in the file
    shared_ = nullptr;
    store_.reset();
}

void HistoryBook::setFolder(const QString& folder) {
    if (folder == folder_) return;
    close();
    folder_ = folder;
    conninfo_ = sjis::toQString(
        IniFile(QFile::encodeName(settingsPath()).toStdString()).readString(kSharedSection, kConninfoKey, ""));
}

QString HistoryBook::filePath() const {
    return QDir(folder_).filePath(QString::fromLatin1(store::kHistoryFileName));
}

QString HistoryBook::settingsPath() const { return QDir(folder_).filePath(QString::fromLatin1(kSettingsFileName)); }

void HistoryBook::setSharedConninfo(const QString& conninfo) {
    IniFile(QFile::encodeName(settingsPath()).toStdString())
        .writeString(kSharedSection, kConninfoKey, sjis::fromQString(conninfo));
    close();
    conninfo_ = conninfo;
    error_.clear();
}

bool HistoryBook::fileExists() const { return QFileInfo::exists(filePath()); }

store::HistoryBackend& HistoryBook::open() {
    if (!store_) {
        const std::string file = QFile::encodeName(filePath()).toStdString();
        if (conninfo_.isEmpty()) {
            store_ = std::make_unique<store::HistoryStore>(file);
        } else {
            const std::string conninfo = store::normalisedConninfo(conninfo_.toStdString());
            auto shared = std::make_unique<store::SharedHistory>(file, conninfo);
            shared->local();  // the station's file must open, or nothing can be kept
            shared_ = shared.get();
            store_ = std::move(shared);
            // Told from the sender's thread; handled on the window's.
            QPointer<HistoryBook> self(this);
            sender_ = std::make_unique<store::OutboxSender>(file, conninfo, [self](bool sent) {
                QMetaObject::invokeMethod(
                    self, [self, sent] {
                        if (self) self->notified(sent);
                    },
                    Qt::QueuedConnection);
            });
        }
        error_.clear();
    }
    return *store_;
}

void HistoryBook::afterWork() {
    showNotice();
    if (sender_) sender_->kick();
}

void HistoryBook::showNotice() {
    if (!store_) return;
    const std::string notice = store_->takeNotice();
    if (!notice.empty()) messageBoxes().notice(owner_, QString::fromStdString(notice));
}

void HistoryBook::failed(const std::exception& e) {
    error_ = QString::fromUtf8(e.what());
    // A store that opened but then moved a file aside still has news.
    showNotice();
}

store::SharedHistory::Status HistoryBook::sharedStatus() {
    if (!shared_) return {true, 0, {}};
    try {
        return shared_->status();
    } catch (const std::exception& e) {
        return {false, 0, e.what()};
    }
}

void HistoryBook::listen() {
    if (!shared_ || listener_ || listenRetry_) return;
    try {
        auto db = std::make_unique<store::PgDb>(store::normalisedConninfo(conninfo_.toStdString()));
        db->exec(std::string("LISTEN ") + store::kPgHistoryChannel);
        listener_ = std::move(db);
    } catch (const store::PgError&) {
        listenLater();
        return;
    }
    // The server is back: what changed while nobody listened shows now.
    if (heardBefore_) {
        shared_->retryNow();
        emit changed();
    }
    heardBefore_ = true;
    // The server's announcements arrive on the connection's socket: no
    // polling of the table, and the window hears of a change at once.
    notifier_ = new QSocketNotifier(static_cast<qintptr>(listener_->socket()), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        try {
            if (!listener_->notifications().empty()) emit changed();
        } catch (const store::PgError&) {
            // The server went away: listen again once it is back.
            notifier_->setEnabled(false);
            notifier_->deleteLater();
            notifier_ = nullptr;
            listener_.reset();
            listenLater();
        }
    });
}

void HistoryBook::listenLater() {
    listenRetry_ = true;
    QTimer::singleShot(kListenRetryMs, this, [this] {
        listenRetry_ = false;
        listen();
    });
}

void HistoryBook::notified(bool sent) {
    // The sender reached the server: the window's own connection may try
    // again at once, and the listener too. Either way the count changed.
    if (sent && shared_) {
        shared_->retryNow();
        listen();
    }
    emit changed();
}
