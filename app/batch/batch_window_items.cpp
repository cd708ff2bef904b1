// The batch window: a platform's item file read with its order file
// (Yahoo!ショッピング), the one found beside it offered, else asked for.
#include <QFile>
#include <QFileInfo>

#include "app/batch/batch_window.h"
#include "batch/item_file.h"
#include "services/message_boxes.h"

batch::OrderFile TBatchWindow::withCompanionFile(const QString& path, batch::OrderFile file,
                                                  batch::EncodingChoice choice) {
    const batch::PlatformLayout* other = batch::companionLayout(file);
    if (!other) return file;
    const bool itemsOnly = batch::layoutNamed(file.layout)->itemsOnly;
    const QString otherName = QString::fromStdString(std::string(other->name));
    QString otherPath = QFile::decodeName(batch::findCompanionFile(QFile::encodeName(path).toStdString(), *other).c_str());
    if (!otherPath.isEmpty() &&
        !messageBoxes().question(this, QStringLiteral("%1 を %2 のファイルとして一緒に読み込みますか?")
                                           .arg(QFileInfo(otherPath).fileName(), otherName)))
        otherPath.clear();
    if (otherPath.isEmpty() && !itemsOnly) otherPath = askOpenPath(this, QFileInfo(path).absolutePath());
    if (otherPath.isEmpty()) {
        // The item file alone is refused when its orders are made.
        if (!itemsOnly) file.notices.push_back(batch::missingItemFileNotice(*other));
        return file;
    }
    return batch::joinCompanion(std::move(file), QFile::encodeName(otherPath).toStdString(), choice);
}
