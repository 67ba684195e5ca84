#pragma once

#include <QDialog>

#include <optional>
#include <string>

#include "components/schema/password.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace ostrel::ui {

// Asks for the password of an encrypted database: the file, a password box
// that hides what is typed (Show shows it, Hide hides it again), and OK and
// Cancel. After a wrong password it says so and asks again.
class PasswordDialog : public QDialog {
    Q_OBJECT

  public:
    PasswordDialog(const QString& path, bool wrongBefore, QWidget* parent = nullptr);
    ~PasswordDialog() override;

    // The password typed, as UTF-8; the box is emptied. Call once, after
    // the dialog was accepted.
    schema::Password TakePassword();

  private:
    void ShowPassword(bool shown);

    QLabel* lblFile_ = nullptr;
    QLabel* lblWrongPassword_ = nullptr;
    QLineEdit* txtPassword_ = nullptr;
    QPushButton* cmdShowPassword_ = nullptr;
};

// Shows the dialog over the active window and returns the password, or
// nothing when the user cancels.
std::optional<schema::Password> AskForPassword(const std::string& path, bool wrongBefore);

}  // namespace ostrel::ui
