#include "ui/app/password_dialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/app/window_geometry.h"

namespace ostrel::ui {
namespace {

// The path is shortened in its middle to about this many characters; the
// whole of it is in the tooltip.
constexpr int kPathCharacters = 48;

}  // namespace

PasswordDialog::PasswordDialog(const QString& path, bool wrongBefore, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmPassword"));
    setWindowTitle(QStringLiteral("Database Password"));

    auto* intro = new QLabel(
        QStringLiteral("This database is encrypted. Enter its database password to open it:"),
        this);
    intro->setWordWrap(true);

    lblFile_ = new QLabel(this);
    lblFile_->setObjectName(QStringLiteral("lblFile"));
    const QFontMetrics metrics(lblFile_->font());
    lblFile_->setText(
        metrics.elidedText(path, Qt::ElideMiddle, metrics.averageCharWidth() * kPathCharacters));
    lblFile_->setToolTip(path);
    lblFile_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont bold = lblFile_->font();
    bold.setBold(true);
    lblFile_->setFont(bold);

    lblWrongPassword_ = new QLabel(
        QStringLiteral("The password was wrong. Check it, and Caps Lock, and try again."), this);
    lblWrongPassword_->setObjectName(QStringLiteral("lblWrongPassword"));
    lblWrongPassword_->setWordWrap(true);
    lblWrongPassword_->setVisible(wrongBefore);

    txtPassword_ = new QLineEdit(this);
    txtPassword_->setObjectName(QStringLiteral("txtPassword"));
    txtPassword_->setEchoMode(QLineEdit::Password);
    txtPassword_->setMinimumWidth(metrics.averageCharWidth() * 24);
    auto* label = new QLabel(QStringLiteral("&Password:"), this);
    label->setBuddy(txtPassword_);

    cmdShowPassword_ = new QPushButton(QStringLiteral("&Show"), this);
    cmdShowPassword_->setObjectName(QStringLiteral("cmdShowPassword"));
    cmdShowPassword_->setCheckable(true);
    cmdShowPassword_->setAutoDefault(false);
    cmdShowPassword_->setToolTip(QStringLiteral("Show or hide the password as it is typed"));
    connect(cmdShowPassword_, &QPushButton::toggled, this, &PasswordDialog::ShowPassword);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdOK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cmdCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* entry = new QGridLayout;
    entry->addWidget(label, 0, 0);
    entry->addWidget(txtPassword_, 0, 1);
    entry->addWidget(cmdShowPassword_, 0, 2);
    entry->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(lblFile_);
    layout->addWidget(lblWrongPassword_);
    layout->addSpacing(6);
    layout->addLayout(entry);
    layout->addSpacing(6);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetMinimumSize);

    // Typed first, then Show, then OK and Cancel.
    setTabOrder(txtPassword_, cmdShowPassword_);
    setTabOrder(cmdShowPassword_, buttons->button(QDialogButtonBox::Ok));
    setTabOrder(buttons->button(QDialogButtonBox::Ok), buttons->button(QDialogButtonBox::Cancel));
    txtPassword_->setFocus();
    adjustSize();
    FitToScreen(*this);
}

PasswordDialog::~PasswordDialog() {
    txtPassword_->clear();
}

void PasswordDialog::ShowPassword(bool shown) {
    txtPassword_->setEchoMode(shown ? QLineEdit::Normal : QLineEdit::Password);
    cmdShowPassword_->setText(shown ? QStringLiteral("&Hide") : QStringLiteral("&Show"));
    txtPassword_->setFocus();
}

schema::Password PasswordDialog::TakePassword() {
    QString typed = txtPassword_->text();
    // Emptying the box drops its own copy and its undo history; then ours,
    // the only one left, is overwritten once it has been converted.
    txtPassword_->clear();
    QByteArray utf8 = typed.toUtf8();
    schema::Password password(
        std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
    schema::WipeMemory(utf8.data(), static_cast<std::size_t>(utf8.size()));
    schema::WipeMemory(typed.data(), static_cast<std::size_t>(typed.size()) * sizeof(QChar));
    return password;
}

std::optional<schema::Password> AskForPassword(const std::string& path, bool wrongBefore) {
    PasswordDialog dialog(QString::fromStdString(path), wrongBefore, QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.TakePassword();
}

}  // namespace ostrel::ui
