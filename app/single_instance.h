#pragma once
// One running instance per user session. The first instance listens on a
// local socket named from the application title and the user; a later start
// connects to it, asks it to bring its window to the front and ends.
#include <QObject>
#include <QString>

class QLocalServer;

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // name: the socket name, see socketName().
    explicit SingleInstance(QString name, QObject* parent = nullptr);
    ~SingleInstance() override;

    // The socket name for a title and the current user.
    static QString socketName(const QString& title);

    // True when another instance answered; it has then been asked to raise
    // its window. False when this process is now the one instance.
    bool anotherIsRunning();

signals:
    // A later start asked this instance to show itself.
    void raiseRequested();

private:
    bool askRunningInstance();
    bool listen();

    QString name_;
    QLocalServer* server_ = nullptr;
};
