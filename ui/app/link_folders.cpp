#include "ui/app/link_folders.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

namespace ostrel::ui {
namespace {

const QString kGroup = QStringLiteral("Link Folders");
const QString kKey = QStringLiteral("Folders");

}  // namespace

QStringList StoredLinkFolders(const QString& settingsFile) {
    const QSettings ini(settingsFile, QSettings::IniFormat);
    return ini.value(kGroup + QLatin1Char('/') + kKey).toStringList();
}

void StoreLinkFolders(const QString& settingsFile, const QStringList& folders) {
    QSettings ini(settingsFile, QSettings::IniFormat);
    ini.setAtomicSyncRequired(true);
    ini.setValue(kGroup + QLatin1Char('/') + kKey, folders);
}

LinkFoldersDialog::LinkFoldersDialog(const QStringList& folders, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmLinkFolders"));
    setWindowTitle(QStringLiteral("Link Folders"));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(
        QStringLiteral("Where to look for the databases that linked tables come from, after the "
                       "place each link names and the database's own folder:"),
        this);
    label->setWordWrap(true);
    layout->addWidget(label);
    lstFolders_ = new QListWidget(this);
    lstFolders_->setObjectName(QStringLiteral("lstFolders"));
    lstFolders_->addItems(folders);
    label->setBuddy(lstFolders_);
    layout->addWidget(lstFolders_);

    auto* row = new QHBoxLayout;
    auto* add = new QPushButton(QStringLiteral("&Add..."), this);
    add->setObjectName(QStringLiteral("cmdAdd"));
    auto* remove = new QPushButton(QStringLiteral("&Remove"), this);
    remove->setObjectName(QStringLiteral("cmdRemove"));
    row->addWidget(add);
    row->addWidget(remove);
    row->addStretch();
    layout->addLayout(row);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);

    connect(add, &QPushButton::clicked, this, [this] {
        const QString folder = QFileDialog::getExistingDirectory(this, windowTitle());
        if (!folder.isEmpty() && lstFolders_->findItems(folder, Qt::MatchExactly).isEmpty()) {
            lstFolders_->addItem(QDir::toNativeSeparators(folder));
        }
    });
    connect(remove, &QPushButton::clicked, this, [this] { delete lstFolders_->currentItem(); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

QStringList LinkFoldersDialog::Folders() const {
    QStringList folders;
    for (int i = 0; i < lstFolders_->count(); ++i) {
        folders << lstFolders_->item(i)->text();
    }
    return folders;
}

}  // namespace ostrel::ui
