#pragma once
// The main window's access to the history store of its base folder. The
// store is opened after the window shows (when its file exists; else with
// the first write, so a run that prints nothing leaves no file behind) and
// kept open; when it cannot be had (read-only folder, locked or unreadable file) every use
// tries again, so a passing problem does not lose the rest of the run.
// Notices of the store (a damaged file moved aside, a newer file opened
// read-only) are shown as notice boxes when they arise.
#include <QObject>
#include <QString>
#include <memory>
#include <utility>

#include "store/history_store.h"

class QWidget;

class HistoryBook : public QObject {
    Q_OBJECT
public:
    // `owner` parents the notice boxes.
    explicit HistoryBook(QWidget* owner);
    ~HistoryBook() override;

    // The folder of the database; a store of another folder is closed.
    void setFolder(const QString& folder);
    QString filePath() const;

    // Runs `work` on the store. Returns false when the store cannot be
    // opened or the work threw; lastError() then says why (UTF-8 from
    // SQLite or the system, as a QString).
    template <class F>
    bool run(F&& work) {
        try {
            store::HistoryBackend& s = open();
            work(s);
            showNotice();
            return true;
        } catch (const std::exception& e) {
            failed(e);
            return false;
        }
    }
    // The same for work that only reads: without a database file there is
    // nothing to read, and none is made (the file appears with the first
    // print or address kept).
    template <class F>
    bool read(F&& work) {
        return (!store_ && !fileExists()) || run(std::forward<F>(work));
    }
    QString lastError() const { return error_; }

private:
    bool fileExists() const;
    store::HistoryBackend& open();
    void showNotice();
    void failed(const std::exception& e);

    QWidget* owner_;
    QString folder_;
    std::unique_ptr<store::HistoryBackend> store_;
    QString error_;
};
