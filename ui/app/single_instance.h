#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLocalSocket;

namespace ostrel::ui {

// Keeps a second copy of the program from running for the same user: a lock
// file in the user's runtime folder. A lock left behind by a copy that crashed
// names a process that no longer exists and is taken over; a lock is never
// stale by its age.
//
// The copy that holds the lock listens on a local socket beside it. A later
// copy hands its database to it there (HandOver) and ends.
class SingleInstance : public QObject {
    Q_OBJECT

  public:
    explicit SingleInstance(const QString& lockPath = DefaultLockPath());
    ~SingleInstance() override;
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    static QString DefaultLockPath();
    // The socket beside the lock.
    QString SocketPath() const { return socketPath_; }

    // True when this is the only running copy; the lock is held, and later
    // copies are listened for, until this object goes.
    bool TryAcquire();

    // Sends a database path (empty: only come to the front) to the copy that
    // holds the lock. Waits up to timeoutMs for it to listen (it may be
    // starting); returns once the message is on its way, without waiting for
    // the running copy to be idle. False when no copy could be reached.
    bool HandOver(const QString& databasePath, int timeoutMs = 3000) const;

  signals:
    // A later copy asked this one to open a database (empty: only to come to
    // the front).
    void openRequested(const QString& databasePath);

  private:
    void Listen();
    void Accept();
    void Read(QLocalSocket& socket);

    QLockFile lock_;
    QString socketPath_;
    std::unique_ptr<QLocalServer> server_;
};

}  // namespace ostrel::ui
