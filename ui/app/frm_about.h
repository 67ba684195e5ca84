#pragma once

#include <QDialog>

#include <cstdint>
#include <memory>

class QLabel;
class QPushButton;

namespace ostrel::ui {

// The About box: the program's name, picture and version. It is the splash
// screen at start-up (no OK button) and the About dialog of the Help menu.
class frmAbout : public QDialog {
    Q_OBJECT

  public:
    explicit frmAbout(QWidget* parent = nullptr);

    // Whether cmdOK shows; applied on every repaint.
    bool mblnShowButton = false;

    QLabel* lblAbout1 = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* picture = nullptr;
    QPushButton* cmdOK = nullptr;

    void cmdOK_Click();

  protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void Form_Load();
    void Form_Paint();
};

// "Version : 1\nRelease : 0\nBuild : 6" for this build.
QString VersionText();

// Mode 0: the splash, shown modeless and above every other window; the caller
// owns it and closes it. Mode 1: the About dialog, shown modally; returns when
// it has been closed, with nothing.
std::unique_ptr<frmAbout> ShowAbout(std::int16_t intMode, QWidget* parent = nullptr);

}  // namespace ostrel::ui
