#include "ui/app/single_instance.h"

#include <QDir>
#include <QStandardPaths>

namespace ostrel::ui {

SingleInstance::SingleInstance(const QString& lockPath) : lock_(lockPath) {
    // Never treat a lock as stale by its age: the first copy may run for
    // days. Only a lock whose process is gone is stale.
    lock_.setStaleLockTime(0);
}

QString SingleInstance::DefaultLockPath() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) {
        folder = QDir::tempPath();
    }
    return folder + QStringLiteral("/ostrel2.lock");
}

bool SingleInstance::TryAcquire() {
    return lock_.isLocked() || lock_.tryLock(0);
}

}  // namespace ostrel::ui
