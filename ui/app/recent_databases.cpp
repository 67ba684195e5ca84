#include "ui/app/recent_databases.h"

#include <QFileInfo>
#include <QSettings>

#include <utility>

namespace ostrel::ui {
namespace {

QString Key(int position) {
    return QStringLiteral("File%1").arg(position + 1);
}

}  // namespace

RecentDatabases::RecentDatabases(QString iniPath) : iniPath_(std::move(iniPath)) {}

QStringList RecentDatabases::Read() const {
    QSettings ini(iniPath_, QSettings::IniFormat);
    ini.beginGroup(QLatin1String(kGroup));
    QStringList paths;
    for (int i = 0; i < kLimit; ++i) {
        const QString path = ini.value(Key(i)).toString();
        if (!path.isEmpty() && !paths.contains(path)) {
            paths << path;
        }
    }
    return paths;
}

void RecentDatabases::Write(const QStringList& paths) const {
    QSettings ini(iniPath_, QSettings::IniFormat);
    ini.remove(QLatin1String(kGroup));
    ini.beginGroup(QLatin1String(kGroup));
    for (int i = 0; i < paths.size() && i < kLimit; ++i) {
        ini.setValue(Key(i), paths.at(i));
    }
    ini.endGroup();
    ini.sync();
}

QStringList RecentDatabases::Entries() const {
    const QStringList stored = Read();
    QStringList present;
    for (const QString& path : stored) {
        if (QFileInfo(path).isFile()) {
            present << path;
        }
    }
    if (present != stored) {
        Write(present);
    }
    return present;
}

void RecentDatabases::Add(const QString& path) const {
    QStringList paths = Read();
    paths.removeAll(path);
    paths.prepend(path);
    Write(paths);
}

void RecentDatabases::Remove(const QString& path) const {
    QStringList paths = Read();
    if (paths.removeAll(path) > 0) {
        Write(paths);
    }
}

}  // namespace ostrel::ui
