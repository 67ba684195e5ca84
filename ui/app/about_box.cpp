#include "ui/app/about_box.h"

#include <QFont>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "ostrel_version.h"
#include "ui/app/app_icon.h"

namespace ostrel::ui {
namespace {

QFont AboutFont(int points, bool bold) {
    QFont font;
    // Comic Sans MS where it is installed, a rounded sans serif otherwise.
    font.setFamilies({QStringLiteral("Comic Sans MS"), QStringLiteral("Comic Neue"),
                      QStringLiteral("DejaVu Sans")});
    font.setPointSize(points);
    font.setBold(bold);
    return font;
}

}  // namespace

QString VersionText() {
    return QStringLiteral("Version : %1\nRelease : %2\nBuild : %3")
        .arg(kVersionMajor)
        .arg(kVersionMinor)
        .arg(kVersionRevision);
}

AboutBox::AboutBox(Mode mode, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Ostrel2"));
    BuildLayout();
    versionLabel_->setText(VersionText());
    // The splash never shows the button; the dialog always does.
    okButton_->setVisible(mode == Mode::Dialog);
    if (mode == Mode::Splash) {
        setWindowFlags(Qt::SplashScreen | Qt::WindowStaysOnTopHint);
    }
}

void AboutBox::BuildLayout() {
    pictureLabel_ = new QLabel(this);
    pictureLabel_->setObjectName(QStringLiteral("Picture1"));
    pictureLabel_->setPixmap(QPixmap::fromImage(RenderAppIcon(96)));
    pictureLabel_->setFixedSize(96, 96);

    titleLabel_ = new QLabel(QStringLiteral("Ostrel 2"), this);
    titleLabel_->setObjectName(QStringLiteral("lblAbout1"));
    titleLabel_->setFont(AboutFont(22, true));

    versionLabel_ = new QLabel(this);
    versionLabel_->setObjectName(QStringLiteral("lblVersion"));
    versionLabel_->setFont(AboutFont(11, false));

    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setObjectName(QStringLiteral("cmdOK"));
    okButton_->setDefault(true);
    okButton_->setMinimumWidth(90);
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);

    auto* text = new QVBoxLayout;
    text->addWidget(titleLabel_);
    text->addSpacing(8);
    text->addWidget(versionLabel_);
    text->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(pictureLabel_, 0, Qt::AlignTop);
    top->addSpacing(16);
    top->addLayout(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 18);
    layout->addLayout(top);
    layout->addSpacing(12);
    layout->addWidget(okButton_, 0, Qt::AlignRight);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void AboutBox::showEvent(QShowEvent* event) {
    CentreOnScreen();
    QDialog::showEvent(event);
}

void AboutBox::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    if (windowFlags().testFlag(Qt::SplashScreen)) {
        // The splash has no window frame: draw an edge of its own.
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void AboutBox::CentreOnScreen() {
    const QScreen* screen =
        this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    const QRect area = screen->geometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
}

std::unique_ptr<AboutBox> ShowSplash(QWidget* parent) {
    auto splash = std::make_unique<AboutBox>(AboutBox::Mode::Splash, parent);
    splash->adjustSize();
    splash->show();
    return splash;
}

void ShowAboutDialog(QWidget* parent) {
    AboutBox about(AboutBox::Mode::Dialog, parent);
    about.exec();
}

}  // namespace ostrel::ui
