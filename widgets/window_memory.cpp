#include "widgets/window_memory.h"

#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>
#include <QWidget>
#include <string>
#include <utility>

#include "store/ini_file.h"

namespace {

constexpr char kFolderSection[] = "FileDialog";
constexpr char kFolderKey[] = "Folder";

IniFile memoryFile(const QString& baseFolder) {
    return IniFile(QFile::encodeName(QDir(baseFolder).filePath(QString::fromLatin1(kWindowMemoryFileName))).toStdString());
}

QMargins frameOf(const QWidget& w) {
    const QRect inner = w.geometry(), outer = w.frameGeometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

// Watches one window: places it as it is shown, notes its geometry as it
// is hidden and when the run ends with it open.
class Placement final : public QObject {
public:
    Placement(QWidget& window, QString baseFolder)
        : QObject(&window), window_(window), baseFolder_(std::move(baseFolder)), section_(window.objectName().toStdString()) {
        window.installEventFilter(this);
        connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
            if (window_.isVisible()) store();
        });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // A window given back by the window manager (after minimising) is
        // where the user left it.
        if (watched == &window_ && event->type() == QEvent::Show && !event->spontaneous()) place();
        if (watched == &window_ && event->type() == QEvent::Hide) store();
        // The window manager frames the window once it is on the screen: the
        // first time its frame is known, the window is kept inside again.
        if (watched == &window_ && frameUnchecked_ && event->spontaneous() &&
            (event->type() == QEvent::Move || event->type() == QEvent::Resize))
            keepInside();
        return false;
    }

private:
    void place();
    // Moves the shown window in over the edges its frame crosses.
    void keepInside();
    QRect availableArea() const;
    void store();
    QRect remembered() const;

    QWidget& window_;
    QString baseFolder_;
    std::string section_;
    bool placedOnce_ = false;
    bool frameUnchecked_ = false;  // placed with a guessed frame
    QRect stored_;  // what the file holds for this window
};

QRect Placement::remembered() const {
    if (baseFolder_.isEmpty()) return {};
    const IniFile ini = memoryFile(baseFolder_);
    const QRect r(ini.readInteger(section_, "Left", 0), ini.readInteger(section_, "Top", 0),
                  ini.readInteger(section_, "Width", 0), ini.readInteger(section_, "Height", 0));
    return r.width() > 0 && r.height() > 0 ? r : QRect();
}

QRect Placement::availableArea() const {
    QScreen* screen = QGuiApplication::screenAt(window_.geometry().center());
    if (!screen) screen = window_.screen();
    if (!screen) screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

void Placement::place() {
    QRect wanted = window_.geometry();
    const QWidget* owner = window_.parentWidget() ? window_.parentWidget()->window() : nullptr;
    if (!placedOnce_) {
        placedOnce_ = true;
        stored_ = remembered();
        if (stored_.isValid()) wanted = stored_;
        else if (owner) wanted.moveCenter(owner->frameGeometry().center());
    }
    QScreen* screen = QGuiApplication::screenAt(wanted.center());
    if (!screen && owner) screen = owner->screen();
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    // The frame is known once a window has been on the screen; before
    // that, its owner's is the best guess, checked once the real one is in.
    QMargins frame = frameOf(window_);
    frameUnchecked_ = frame.isNull();
    if (frame.isNull() && owner) frame = frameOf(*owner);
    const QRect area = screen->availableGeometry();
    window_.setGeometry(fitIntoArea(wanted, frame, area));
    // A window that cannot be as small as the room (its minimum size) came
    // out larger than asked: moved in again at the size it has.
    const QRect placed = window_.geometry();
    const QRect room = area.marginsRemoved(frame);
    if (!room.contains(placed)) window_.setGeometry(QRect(fitIntoArea(placed, frame, area).topLeft(), placed.size()));
    QTimer::singleShot(0, this, [this] { keepInside(); });
}

void Placement::keepInside() {
    const QMargins frame = frameOf(window_);
    if (!window_.isVisible() || frame.isNull()) return;
    frameUnchecked_ = false;
    const QRect area = availableArea();
    if (area.isEmpty() || area.contains(window_.frameGeometry())) return;
    const QRect placed = window_.geometry();
    window_.setGeometry(QRect(fitIntoArea(placed, frame, area).topLeft(), placed.size().boundedTo(area.marginsRemoved(frame).size())));
}

void Placement::store() {
    const QRect g = window_.isMaximized() || window_.isFullScreen() ? window_.normalGeometry() : window_.geometry();
    if (baseFolder_.isEmpty() || !placedOnce_ || !g.isValid() || g == stored_) return;
    const auto n = [](int v) { return std::to_string(v); };
    try {
        memoryFile(baseFolder_).writeStrings(
            section_, {{"Left", n(g.left())}, {"Top", n(g.top())}, {"Width", n(g.width())}, {"Height", n(g.height())}});
        stored_ = g;
    } catch (const IniWriteError&) {
        // A read-only folder: the window opens in its default place next time.
    }
}

}  // namespace

void keepWindowPlacement(QWidget& window, const QString& baseFolder) { new Placement(window, baseFolder); }

QRect fitIntoArea(const QRect& wanted, const QMargins& frame, const QRect& available) {
    const QRect room = available.marginsRemoved(frame);
    QRect r(wanted.topLeft(), wanted.size().boundedTo(room.size()));
    if (r.right() > room.right()) r.moveRight(room.right());
    if (r.bottom() > room.bottom()) r.moveBottom(room.bottom());
    if (r.left() < room.left()) r.moveLeft(room.left());
    if (r.top() < room.top()) r.moveTop(room.top());
    return r;
}

QString fileDialogFolder(const QString& baseFolder) {
    if (!baseFolder.isEmpty()) {
        QString last = QString::fromStdString(memoryFile(baseFolder).readString(kFolderSection, kFolderKey, ""));
        if (!last.isEmpty() && QFileInfo(last).isDir()) return last;
    }
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QFileInfo(documents).isDir()) return documents;
    return QDir::homePath();
}

void rememberFileDialogFolder(const QString& baseFolder, const QString& chosenFile) {
    const QString folder = QFileInfo(chosenFile).absolutePath();
    // A folder name with a line break cannot be one line of the file.
    if (baseFolder.isEmpty() || chosenFile.isEmpty() || folder.contains(QLatin1Char('\n')) ||
        folder.contains(QLatin1Char('\r')))
        return;
    try {
        memoryFile(baseFolder).writeString(kFolderSection, kFolderKey, folder.toStdString());
    } catch (const IniWriteError&) {
        // Not remembered: the next dialog starts in the documents folder.
    }
}
