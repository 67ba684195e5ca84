#include "ui/app/single_instance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

namespace ostrel::ui {
namespace {

// A message is one percent-encoded path and a line feed; anything longer is
// not from us.
constexpr qint64 kMaxMessage = qint64{64} * 1024;

QString SocketBeside(const QString& lockPath) {
    QString path = lockPath;
    if (path.endsWith(QLatin1String(".lock"))) {
        path.chop(5);
    }
    return path + QStringLiteral(".socket");
}

}  // namespace

SingleInstance::SingleInstance(const QString& lockPath)
    : lock_(lockPath), socketPath_(SocketBeside(lockPath)) {
    // Never treat a lock as stale by its age: the first copy may run for
    // days. Only a lock whose process is gone is stale.
    lock_.setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::DefaultLockPath() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) {
        folder = QDir::tempPath();
    }
    return folder + QStringLiteral("/ostrel2.lock");
}

bool SingleInstance::TryAcquire() {
    if (lock_.isLocked()) {
        return true;
    }
    if (!lock_.tryLock(0)) {
        return false;
    }
    Listen();
    return true;
}

void SingleInstance::Listen() {
    // Holding the lock, any socket left here belongs to a copy that is gone.
    QLocalServer::removeServer(socketPath_);
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(socketPath_)) {
        // Later copies then cannot hand over, and say so; this copy runs on.
        qWarning("ostrel2: cannot listen on %s: %s", qPrintable(socketPath_),
                 qPrintable(server_->errorString()));
        server_.reset();
        return;
    }
    connect(server_.get(), &QLocalServer::newConnection, this, &SingleInstance::Accept);
}

void SingleInstance::Accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // Reads until the line is complete; the sender may already be gone.
        // The connection lives as long as the socket, so the socket is there
        // whenever this runs.
        const auto read = [this, socket] { Read(*socket); };
        connect(socket, &QLocalSocket::readyRead, socket, read);
        if (socket->bytesAvailable() > 0) {
            Read(*socket);
        }
    }
}

void SingleInstance::Read(QLocalSocket& socket) {
    if (!socket.canReadLine()) {
        if (socket.bytesAvailable() > kMaxMessage) {
            socket.abort();
        }
        return;
    }
    QByteArray line = socket.readLine(kMaxMessage);
    line.chop(1);
    socket.disconnectFromServer();
    emit openRequested(QString::fromUtf8(QByteArray::fromPercentEncoding(line)));
}

bool SingleInstance::HandOver(const QString& databasePath, int timeoutMs) const {
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    for (;;) {
        socket.connectToServer(socketPath_);
        if (socket.waitForConnected(static_cast<int>(qMax<qint64>(deadline.remainingTime(), 0)))) {
            break;
        }
        if (deadline.hasExpired()) {
            return false;
        }
        // The copy holding the lock may not be listening yet.
        QThread::msleep(50);
    }
    // One line: the path, percent-encoded so that no character of it ends
    // the line early.
    QByteArray message = databasePath.toUtf8().toPercentEncoding("/");
    message.append('\n');
    socket.write(message);
    const bool written =
        socket.waitForBytesWritten(static_cast<int>(qMax<qint64>(deadline.remainingTime(), 100)));
    socket.disconnectFromServer();
    return written || socket.bytesToWrite() == 0;
}

}  // namespace ostrel::ui
