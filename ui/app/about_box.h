#pragma once

#include <QDialog>

#include <memory>

class QLabel;
class QPushButton;

namespace ostrel::ui {

// The About box (object name "frmAbout"): the program's name, picture and
// version. It is the splash screen at start-up, without an OK button, and the
// About dialog of the Help menu, with one.
class AboutBox : public QDialog {
    Q_OBJECT

  public:
    enum class Mode { Splash, Dialog };

    explicit AboutBox(Mode mode, QWidget* parent = nullptr);

    QLabel* TitleLabel() const { return titleLabel_; }
    QLabel* VersionLabel() const { return versionLabel_; }
    QLabel* PictureLabel() const { return pictureLabel_; }
    QPushButton* OkButton() const { return okButton_; }

  protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void BuildLayout();
    void CentreOnScreen();

    QLabel* titleLabel_ = nullptr;
    QLabel* versionLabel_ = nullptr;
    QLabel* pictureLabel_ = nullptr;
    QPushButton* okButton_ = nullptr;
};

// "Version : 1\nRelease : 0\nBuild : 6" for this build.
QString VersionText();

// The splash: shown modeless, without a frame and above every other window;
// the caller owns it and closes it.
std::unique_ptr<AboutBox> ShowSplash(QWidget* parent = nullptr);
// The About dialog: shown modally; returns when it has been closed.
void ShowAboutDialog(QWidget* parent = nullptr);

}  // namespace ostrel::ui
