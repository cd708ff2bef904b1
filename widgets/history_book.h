#pragma once
// The main window's access to the history store of its base folder. The
// store is opened after the window shows (when its file exists; else with
// the first write, so a run that prints nothing leaves no file behind) and
// kept open; when it cannot be had (read-only folder, locked or unreadable file) every use
// tries again, so a passing problem does not lose the rest of the run.
// Notices of the store (a damaged file moved aside, a newer file opened
// read-only) are shown as notice boxes when they arise.
//
// With a shared database set (the section [SharedDatabase] of the settings
// file), the store is the shared one: prints go into the station's file
// as an outbox and a background sender takes them to the server; changes
// announced by the server (another station's print) raise changed().
#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "widgets/background_jobs.h"
#include "history/history_store.h"
#include "history/shared_history.h"

class QSocketNotifier;
class QWidget;
namespace store {
class OutboxSender;
class PgDb;
class SharedReader;
}  // namespace store

class HistoryBook : public QObject {
    Q_OBJECT
public:
    // `owner` parents the notice boxes.
    explicit HistoryBook(QWidget* owner);
    ~HistoryBook() override;

    // The folder of the database; a store of another folder is closed.
    // The shared database named in the folder's settings file is used.
    void setFolder(const QString& folder);
    QString filePath() const;
    QString settingsPath() const;

    // The libpq connection string of the shared database ("" for the
    // station's file alone), and changing it (the store is made again).
    QString sharedConninfo() const { return conninfo_; }
    void setSharedConninfo(const QString& conninfo);
    // Starts listening for other stations' changes (once the history is
    // on screen); a failed attempt is made again a little later.
    void listen();

    // What a read found, and the shared store's state after it (connected
    // with nothing unsent when the station keeps its history alone).
    struct Found {
        bool ok = true;
        QString error;  // why the read failed
        // The server answered too slowly (the read was cancelled); it is
        // not away, and what was shown before still stands.
        bool slow = false;
        std::vector<store::WaybillRecord> rows;
        std::vector<store::Consignee> consignees;
        store::SharedHistory::Status shared{true, 0, {}};
    };
    // Reads that go on side by side: a newer read replaces only an
    // unanswered one of its own lane.
    enum class Lane { Search, Complete, Export };
    using ReadWork = std::function<void(store::HistoryBackend& store, Found& found)>;
    // Reads without holding up the window: `work` runs on a reader thread
    // of its own (so it takes its values by copy), with its own connection
    // to the station's file, and `done` later on this one, and not at all
    // when `context` is gone by then or a newer read of the lane came
    // first. With a shared database within the reader's time-out (the
    // station's own rows stand in for a server that does not answer).
    // Without a file (and no shared database) `done` has run, with
    // nothing found, when this returns. The answer is `done`'s to keep: it
    // may move the rows out rather than copy a thousand of them.
    void readLater(Lane lane, QObject* context, ReadWork work, std::function<void(Found&)> done);

    // What a change came to: done, or why not (as lastError()).
    struct Written {
        bool ok = true;
        QString error;
    };
    using WriteWork = std::function<void(store::HistoryBackend& store)>;
    using WriteDone = std::function<void(const Written&)>;
    // Changes the history without holding up the window. With the station's
    // file alone at once: `done` has run when this returns. With a shared
    // database `work` runs on the reader's thread (it takes its values by
    // copy), ahead of the reads waiting there and after the changes handed
    // over before it, and is never dropped; `done` runs here once it went
    // or failed, unless `context` is gone by then.
    void writeLater(QObject* context, WriteWork work, WriteDone done);
    // Keeps a consignee in the address book: in the station's file at once,
    // and then on the shared server (as writeLater()) when there is one.
    void keepConsignee(QObject* context, const store::Consignee& consignee, WriteDone done);
    // Runs `work` on a thread of its own; the answer it returns runs here
    // afterwards, unless `context` is gone by then. The book's end waits
    // for the work.
    using Answer = std::function<void()>;
    void inBackground(QObject* context, std::function<Answer()> work);

    // Runs `work` on the store. Returns false when the store cannot be
    // opened or the work threw; lastError() then says why (UTF-8 from
    // SQLite or the system, as a QString).
    template <class F>
    bool run(F&& work) {
        try {
            store::HistoryBackend& s = openStore();
            work(s);
            afterWork();
            return true;
        } catch (const std::exception& e) {
            failed(e);
            return false;
        }
    }
    // The same for work that only reads: without a database file (and no
    // shared one) there is nothing to read, and none is made (the file
    // appears with the first print or address kept).
    template <class F>
    bool read(F&& work) {
        return (!store_ && conninfo_.isEmpty() && !fileExists()) || run(std::forward<F>(work));
    }
    QString lastError() const { return error_; }
    // Rows of the station's own history (its file, also when a shared
    // server is set: each station prints from its own stack of forms) that
    // hold any of these tracking numbers; read at once, never waiting on a
    // server. Empty when the history cannot be read.
    std::vector<store::WaybillRecord> ownHoldersOf(std::span<const std::string> trackings);
    // A print recorded before its job is handed over: the rows go in as
    // printing (one transaction), each with a fresh record id. Returns their
    // ids, or none when the history cannot be written (lastError() says why).
    std::vector<std::string> recordPrinting(std::vector<store::WaybillRecord> rows);
    // Their job went out as `job`, or was refused (nullopt: the rows go).
    // False when the history cannot be written (lastError() says why).
    bool recordPrinted(std::span<const std::string> uids, std::optional<int> job);

signals:
    // The shared history changed on the server, or unsent rows went.
    void changed();

private:
    bool fileExists() const;
    store::HistoryBackend& openStore();
    // Shows the store's notices and wakes the sender for new rows.
    void afterWork();
    void closeStores();
    void showNotice();
    void failed(const std::exception& e);
    void notified(bool sent);
    void listened(const std::shared_ptr<store::PgDb>& db);
    void listenLater();
    void submitWrite(QObject* context, std::function<void(store::SharedHistory&)> work, WriteDone done);

    QWidget* owner_;
    QString folder_;
    QString conninfo_;
    std::unique_ptr<store::HistoryBackend> store_;
    store::SharedHistory* shared_ = nullptr;  // store_ when it is the shared one
    std::unique_ptr<store::OutboxSender> sender_;
    std::unique_ptr<store::SharedReader> reader_;
    // The newest read of each lane and the newest listening attempt; an
    // answer to an older one is dropped.
    std::array<std::uint64_t, 4> serials_{};
    std::shared_ptr<store::PgDb> listener_;  // made on the reader's thread
    QSocketNotifier* notifier_ = nullptr;
    bool listenRetry_ = false;  // a retry of listen() is due
    bool listening_ = false;    // an attempt to listen is on its way
    bool heardBefore_ = false;  // listened once already in this store's life
    QString error_;
    // The threads of stores closed meanwhile, ending, and inBackground()'s.
    BackgroundJobs jobs_;
};
