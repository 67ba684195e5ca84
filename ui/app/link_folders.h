#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;

namespace ostrel::ui {

// The folders where the source databases of linked tables are looked for
// (after the place a link names and the database's own folder). They are kept
// in the settings file beside the report switches, in a section of their own.
QStringList StoredLinkFolders(const QString& settingsFile);
void StoreLinkFolders(const QString& settingsFile, const QStringList& folders);

// Edits the list of link folders: Add... picks a folder, Remove drops the
// selected one.
class LinkFoldersDialog : public QDialog {
    Q_OBJECT

  public:
    LinkFoldersDialog(const QStringList& folders, QWidget* parent = nullptr);
    QStringList Folders() const;

  private:
    QListWidget* lstFolders_ = nullptr;
};

}  // namespace ostrel::ui
