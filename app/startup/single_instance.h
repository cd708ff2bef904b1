#pragma once
// One running instance per user. The first instance holds a lock file and
// listens on a local socket next to it, both in a folder only the user can
// write to; a later start finds the lock taken, asks the instance on the
// socket to bring its window to the front and ends.
//
// That folder depends on the environment ($XDG_RUNTIME_DIR, $TMPDIR), so two
// starts that see different values would not meet there. The instance also
// holds a lock file in its data folder, which every start in that folder
// meets whatever its environment; the file names the socket of the instance
// that holds it, so a later start can still raise its window.
#include <QObject>
#include <QString>

class QSocketNotifier;

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // socketPath: where the instance listens, see socketPath(); the lock
    // file is the same path with ".lock" added. An empty path (no private
    // folder found) runs without a lock. dataFolder: the folder the program
    // keeps its files in, locked too (kDataFolderLockName); empty for none.
    explicit SingleInstance(QString socketPath, QString dataFolder = {}, QObject* parent = nullptr);
    ~SingleInstance() override;

    // The lock file's name in the data folder.
    static constexpr char kDataFolderLockName[] = "vamu_Pelican.lock";

    // The socket's file name for a title and the current user.
    static QString socketName(const QString& title);

    // The socket's path in the user's private runtime folder: the folder in
    // $XDG_RUNTIME_DIR when it is the user's own and closed to others, else
    // a folder of our own with mode 0700 in the temp folder, else in the home
    // folder. Empty when none of them can be trusted.
    static QString socketPath(const QString& title);

    // True when another instance of this user runs; it has then been asked
    // to raise its window. False when this process is now the one instance.
    // Also true when the data folder's lock cannot be taken (another user's
    // lock file, say): refusal() then says why, and this start must end.
    bool anotherIsRunning();
    // Why this start may not run on its data folder ("" when it may).
    const QString& refusal() const { return refusal_; }

signals:
    // A later start asked this instance to show itself.
    void raiseRequested();

private:
    bool askRunningInstance(const QString& socketPath);
    // False when another instance holds the data folder's lock (it has then
    // been asked to raise its window), or when the lock cannot be had
    // (refusal_ says why).
    bool lockDataFolder();
    bool listen();
    // Reads one accepted connection's request when it arrives, then closes it.
    void readRequest(int client);

    QString path_;
    QString dataFolder_;
    QString refusal_;
    int lockFd_ = -1;
    int folderLockFd_ = -1;
    int listenFd_ = -1;
    QSocketNotifier* listenNotifier_ = nullptr;
};
