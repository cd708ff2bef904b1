#include "app/history_book.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QWidget>

#include "services/message_boxes.h"

HistoryBook::HistoryBook(QWidget* owner) : QObject(owner), owner_(owner) {}

HistoryBook::~HistoryBook() = default;

void HistoryBook::setFolder(const QString& folder) {
    if (folder == folder_) return;
    folder_ = folder;
    store_.reset();
}

QString HistoryBook::filePath() const {
    return QDir(folder_).filePath(QString::fromLatin1(store::kHistoryFileName));
}

bool HistoryBook::fileExists() const { return QFileInfo::exists(filePath()); }

store::HistoryBackend& HistoryBook::open() {
    if (!store_) {
        store_ = std::make_unique<store::HistoryStore>(QFile::encodeName(filePath()).toStdString());
        error_.clear();
    }
    return *store_;
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
