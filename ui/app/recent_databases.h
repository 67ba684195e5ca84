#pragma once

#include <QString>
#include <QStringList>

namespace ostrel::ui {

// The databases opened last, newest first, at most eight. They are kept in
// the program's INI file in a group of their own, apart from the report
// switches.
class RecentDatabases {
  public:
    static constexpr int kLimit = 8;
    static constexpr const char* kGroup = "RecentDatabases";

    explicit RecentDatabases(QString iniPath);

    // The stored list without the entries whose file is gone; those are
    // dropped from the file as well.
    QStringList Entries() const;
    // Puts the path first (once), keeping at most eight.
    void Add(const QString& path) const;
    // Takes the path off the list.
    void Remove(const QString& path) const;

  private:
    QStringList Read() const;
    void Write(const QStringList& paths) const;

    QString iniPath_;
};

}  // namespace ostrel::ui
