#include "ui/app/frm_about.h"

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

frmAbout::frmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Ostrel2"));

    picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Picture1"));
    picture->setPixmap(QPixmap::fromImage(RenderAppIcon(96)));
    picture->setFixedSize(96, 96);

    lblAbout1 = new QLabel(QStringLiteral("Ostrel 2"), this);
    lblAbout1->setObjectName(QStringLiteral("lblAbout1"));
    lblAbout1->setFont(AboutFont(22, true));

    lblVersion = new QLabel(QStringLiteral("Version : X"), this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblVersion->setFont(AboutFont(11, false));

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdOK->setMinimumWidth(90);
    cmdOK->hide();
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);

    auto* text = new QVBoxLayout;
    text->addWidget(lblAbout1);
    text->addSpacing(8);
    text->addWidget(lblVersion);
    text->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addSpacing(16);
    top->addLayout(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 18);
    layout->addLayout(top);
    layout->addSpacing(12);
    layout->addWidget(cmdOK, 0, Qt::AlignRight);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void frmAbout::showEvent(QShowEvent* event) {
    Form_Paint();
    Form_Load();
    QDialog::showEvent(event);
}

void frmAbout::paintEvent(QPaintEvent* event) {
    Form_Paint();
    QDialog::paintEvent(event);
    if (windowFlags().testFlag(Qt::SplashScreen)) {
        // The splash has no window frame: draw an edge of its own.
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void frmAbout::Form_Load() {
    // Centred on the screen it shows on.
    const QScreen* screen =
        this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    const QRect area = screen->geometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
}

void frmAbout::Form_Paint() {
    if (cmdOK->isVisibleTo(this) != mblnShowButton) {
        cmdOK->setVisible(mblnShowButton);
    }
}

void frmAbout::cmdOK_Click() {
    accept();
}

std::unique_ptr<frmAbout> ShowAbout(std::int16_t intMode, QWidget* parent) {
    auto about = std::make_unique<frmAbout>(parent);
    about->lblVersion->setText(VersionText());
    about->mblnShowButton = intMode == 1;
    if (intMode == 1) {
        about->exec();
        return nullptr;
    }
    // The splash: no frame, above every other window of the desktop.
    about->setWindowFlags(Qt::SplashScreen | Qt::WindowStaysOnTopHint);
    about->adjustSize();
    about->show();
    return about;
}

}  // namespace ostrel::ui
