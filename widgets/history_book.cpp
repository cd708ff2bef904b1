#include "widgets/history_book.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>
#include <chrono>

#include "settings/main_settings.h"
#include "services/message_boxes.h"
#include "store/ini_file.h"
#include "history/conninfo_password.h"
#include "history/outbox_sender.h"
#include "history/pg_db.h"
#include "history/pg_schema.h"
#include "history/shared_reader.h"
#include "text/sjis_qt.h"

namespace {
constexpr char kSharedSection[] = "SharedDatabase";
constexpr char kConninfoKey[] = "Conninfo";
// How soon a listener that lost its server tries again.
constexpr int kListenRetryMs = 3000;
// How long the window's reads wait for the server: a search falls back to
// the station's own rows within three seconds, their own read included.
constexpr std::chrono::milliseconds kReadTimeout(2500);
// The reader's lane of the listening attempts, after the reads' lanes.
constexpr int kListenLane = 3;
}  // namespace

HistoryBook::HistoryBook(QWidget* owner) : QObject(owner), owner_(owner) {}

HistoryBook::~HistoryBook() {
    closeStores();
    jobs_.waitAll();
}

void HistoryBook::closeStores() {
    delete notifier_;
    notifier_ = nullptr;
    listener_.reset();
    heardBefore_ = false;
    listening_ = false;
    // The sender and the reader are told to stop together and end on a
    // thread of their own: the window goes on while a hanging server lets
    // them go, and the end of the book waits for the slower of the two, not
    // for both in turn. Unsent rows stay in the file; the changes handed to
    // the reader still go, to the server their rows came from.
    if (sender_) sender_->stop();
    if (reader_) reader_->stop();
    if (sender_ || reader_) {
        jobs_.run([sender = std::shared_ptr<store::OutboxSender>(std::move(sender_)),
                   reader = std::shared_ptr<store::SharedReader>(std::move(reader_))]() mutable {
            sender.reset();
            reader.reset();
        });
    }
    // Answers of the closed store that are on their way are not shown.
    for (std::uint64_t& serial : serials_) ++serial;
    shared_ = nullptr;
    store_.reset();
}

void HistoryBook::setFolder(const QString& folder) {
    if (folder == folder_) return;
    closeStores();
    folder_ = folder;
    const std::string conninfo =
        IniFile(QFile::encodeName(settingsPath()).toStdString()).readString(kSharedSection, kConninfoKey, "");
    // A password written into the settings file by hand is not used: the
    // station keeps its history in its own file (where it waits for the
    // server as ever) until the string is mended; the file is left as it is.
    if (store::conninfoHasPassword(conninfo)) {
        conninfo_.clear();
        messageBoxes().notice(owner_, QString::fromUtf8(store::kPasswordInConninfo));
        return;
    }
    conninfo_ = sjis::toQString(conninfo);
}

QString HistoryBook::filePath() const {
    return QDir(folder_).filePath(QString::fromLatin1(store::kHistoryFileName));
}

QString HistoryBook::settingsPath() const { return QDir(folder_).filePath(QString::fromLatin1(kSettingsFileName)); }

void HistoryBook::setSharedConninfo(const QString& conninfo) {
    IniFile(QFile::encodeName(settingsPath()).toStdString())
        .writeString(kSharedSection, kConninfoKey, sjis::fromQString(conninfo));
    closeStores();
    conninfo_ = conninfo;
    error_.clear();
}

bool HistoryBook::fileExists() const { return QFileInfo::exists(filePath()); }

store::HistoryBackend& HistoryBook::openStore() {
    if (!store_) {
        const std::string file = QFile::encodeName(filePath()).toStdString();
        if (conninfo_.isEmpty()) {
            store_ = std::make_unique<store::HistoryStore>(file);
            // Searches over a long history take their time: they run on a
            // connection of their own on the reader's thread.
            reader_ = std::make_unique<store::SharedReader>(file, std::string(), kReadTimeout);
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
            reader_ = std::make_unique<store::SharedReader>(file, conninfo, kReadTimeout);
        }
        error_.clear();
    }
    return *store_;
}

std::vector<store::WaybillRecord> HistoryBook::ownHoldersOf(std::span<const std::string> trackings) {
    std::vector<store::WaybillRecord> held;
    read([&](store::HistoryBackend& s) {
        held = shared_ ? shared_->local().holdersOf(trackings) : s.holdersOf(trackings);
    });
    return held;
}

std::vector<std::string> HistoryBook::recordPrinting(std::vector<store::WaybillRecord> rows) {
    std::vector<std::string> uids;
    const bool saved = run([&](store::HistoryBackend& s) {
        for (store::WaybillRecord& r : rows) {
            r.job = store::WaybillRecord::kJobPrinting;
            r.uid = store::newRecordUid();
            uids.push_back(r.uid);
        }
        s.record(rows);
    });
    return saved ? uids : std::vector<std::string>();
}

bool HistoryBook::recordPrinted(std::span<const std::string> uids, std::optional<int> job) {
    if (uids.empty()) return true;
    return run([&](store::HistoryBackend& s) {
        if (job) s.markPrinted(uids, *job);
        else s.forgetPrinting(uids);
    });
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

void HistoryBook::readLater(Lane lane, QObject* context, ReadWork work, std::function<void(Found&)> done) {
    const auto at = static_cast<std::size_t>(lane);
    const std::uint64_t serial = ++serials_[at];
    // Without a file (and no server) there is nothing to read, and none is made.
    if (!store_ && conninfo_.isEmpty() && !fileExists()) {
        Found nothing;
        done(nothing);
        return;
    }
    try {
        openStore();
    } catch (const std::exception& e) {
        failed(e);
        Found found;
        found.ok = false;
        found.error = error_;
        done(found);
        return;
    }
    // The reader ends before this book does (closeStores()), and an answer
    // posted to a book that is gone is dropped with it.
    QPointer<QObject> target(context);
    reader_->submit(static_cast<int>(lane), [this, at, serial, target, work = std::move(work),
                                             done = std::move(done)](store::SharedHistory& history) {
        auto found = std::make_shared<Found>();
        try {
            work(history, *found);
        } catch (const std::exception& e) {
            found->ok = false;
            found->error = QString::fromUtf8(e.what());
            const auto* pg = dynamic_cast<const store::PgError*>(&e);
            found->slow = pg && pg->kind() == store::PgError::Kind::Slow;
        }
        try {
            found->shared = history.status();
        } catch (const std::exception& e) {
            found->shared = {false, 0, e.what()};
        }
        const QString notice = QString::fromStdString(history.takeNotice());
        QMetaObject::invokeMethod(
            this, [this, at, serial, target, done, found, notice] {
                if (!notice.isEmpty()) messageBoxes().notice(owner_, notice);
                if (target && serial == serials_[at]) done(*found);
            },
            Qt::QueuedConnection);
    });
}

void HistoryBook::writeLater(QObject* context, WriteWork work, WriteDone done) {
    if (conninfo_.isEmpty()) {
        const bool ok = run(work);
        done(Written{ok, ok ? QString() : error_});
        return;
    }
    try {
        openStore();
    } catch (const std::exception& e) {
        failed(e);
        done(Written{false, error_});
        return;
    }
    submitWrite(context, [work = std::move(work)](store::SharedHistory& history) { work(history); },
                std::move(done));
}

void HistoryBook::keepConsignee(QObject* context, const store::Consignee& consignee, WriteDone done) {
    // The station keeps it whatever the server does; its file answers at once.
    const bool kept = run([&](store::HistoryBackend& s) {
        if (shared_)
            shared_->local().keepConsignee(consignee);
        else
            s.keepConsignee(consignee);
    });
    if (!kept || !shared_) {
        done(Written{kept, kept ? QString() : error_});
        return;
    }
    submitWrite(context, [consignee](store::SharedHistory& history) { history.keepConsigneeOnServer(consignee); },
                std::move(done));
}

void HistoryBook::submitWrite(QObject* context, std::function<void(store::SharedHistory&)> work, WriteDone done) {
    QPointer<QObject> target(context);
    reader_->submitWrite([this, target, work = std::move(work), done = std::move(done)](store::SharedHistory& history) {
        Written written;
        try {
            work(history);
        } catch (const std::exception& e) {
            written = Written{false, QString::fromUtf8(e.what())};
        }
        const QString notice = QString::fromStdString(history.takeNotice());
        QMetaObject::invokeMethod(
            this, [this, target, done, written, notice] {
                if (!notice.isEmpty()) messageBoxes().notice(owner_, notice);
                // A number put back into the outbox goes at once.
                if (sender_) sender_->kick();
                if (target) done(written);
            },
            Qt::QueuedConnection);
    });
}

void HistoryBook::inBackground(QObject* context, std::function<Answer()> work) {
    QPointer<QObject> target(context);
    jobs_.run([this, target, work = std::move(work)] {
        Answer answer = work();
        QMetaObject::invokeMethod(
            this, [target, answer] {
                if (target && answer) answer();
            },
            Qt::QueuedConnection);
    });
}

void HistoryBook::listen() {
    if (!shared_ || listener_ || listenRetry_ || listening_) return;
    listening_ = true;
    const std::uint64_t serial = ++serials_[kListenLane];
    const std::string conninfo = store::normalisedConninfo(conninfo_.toStdString());
    // Connecting may take the whole time-out: on the reader's thread.
    reader_->submit(kListenLane, [this, serial, conninfo](store::SharedHistory& history) {
        std::shared_ptr<store::PgDb> db;
        // A server that failed the reads lately is left alone, so that
        // they do not wait behind another attempt.
        if (!history.resting()) {
            try {
                db = std::make_shared<store::PgDb>(conninfo, kReadTimeout);
                db->exec(std::string("LISTEN ") + store::kPgHistoryChannel);
            } catch (const store::PgError& e) {
                db.reset();
                // Nor do the reads wait for it next.
                if (e.unreachable()) history.unreachable(e);
            } catch (const std::exception&) {
                // No client library: the reads say so; listening is tried
                // again later, as for a server away.
                db.reset();
            }
        }
        QMetaObject::invokeMethod(
            this, [this, serial, db] {
                if (serial == serials_[kListenLane]) listened(db);
            },
            Qt::QueuedConnection);
    });
}

void HistoryBook::listened(const std::shared_ptr<store::PgDb>& db) {
    listening_ = false;
    if (!db) {
        listenLater();
        return;
    }
    listener_ = db;
    // What changed while nobody listened (before the first attempt came
    // through, or while the server was away) shows now.
    if (heardBefore_) {
        shared_->retryNow();
        reader_->retryNow();
    }
    heardBefore_ = true;
    emit changed();
    // The server's announcements arrive on the connection's socket: no
    // polling of the table, and the window hears of a change at once.
    notifier_ = new QSocketNotifier(static_cast<qintptr>(listener_->socket()), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        try {
            if (listener_->notifications().empty()) return;
            // The server spoke: the reads may try it again at once.
            reader_->retryNow();
            emit changed();
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
        reader_->retryNow();
        listen();
    }
    emit changed();
}
