#include "app/single_instance.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QUrl>
#include <unistd.h>
#include <utility>

namespace {
const QByteArray kRaise = "raise\n";
constexpr int kConnectMs = 500;
}  // namespace

SingleInstance::SingleInstance(QString name, QObject* parent) : QObject(parent), name_(std::move(name)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::socketName(const QString& title) {
    // Socket names become file names: keep them ASCII and one per user.
    const QString safeTitle = QString::fromLatin1(QUrl::toPercentEncoding(title));
    return safeTitle + QStringLiteral("-") + QString::number(::getuid());
}

bool SingleInstance::askRunningInstance() {
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(kConnectMs)) return false;
    socket.write(kRaise);
    socket.waitForBytesWritten(kConnectMs);
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::listen() {
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(name_)) return false;
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* s = server_->nextPendingConnection()) {
            connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
            connect(s, &QLocalSocket::readyRead, this, [this, s] {
                if (s->readAll().contains("raise")) emit raiseRequested();
            });
        }
    });
    return true;
}

bool SingleInstance::anotherIsRunning() {
    if (askRunningInstance()) return true;
    if (listen()) return false;
    // Two starts at the same moment: the other one may have won the race.
    if (askRunningInstance()) return true;
    // A socket file left behind by a run that crashed: nobody answers, so
    // take it over.
    QLocalServer::removeServer(name_);
    listen();
    return false;
}
