#pragma once

#include <QLockFile>
#include <QString>

namespace ostrel::ui {

// Keeps a second copy of the program from running for the same user: a lock
// file in the user's runtime folder. A lock left behind by a copy that crashed
// names a process that no longer exists and is taken over.
class SingleInstance {
  public:
    explicit SingleInstance(const QString& lockPath = DefaultLockPath());
    static QString DefaultLockPath();
    // True when this is the only running copy; the lock is held until this
    // object goes.
    bool TryAcquire();

  private:
    QLockFile lock_;
};

}  // namespace ostrel::ui
