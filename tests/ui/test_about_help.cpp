#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>

#include "settings/switch_layout.h"
#include "ui/app/about_box.h"
#include "ui/app/help_system.h"

using namespace ostrel::ui;

namespace {

QString ReadText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.readAll());
}

}  // namespace

class TestAboutHelp : public QObject {
    Q_OBJECT

  private slots:
    void splashShowsVersionAndNeverItsOkButton() {
        std::unique_ptr<AboutBox> splash = ShowSplash();
        QVERIFY(splash != nullptr);
        QVERIFY(splash->isVisible());
        QVERIFY(!splash->isModal());
        QVERIFY(splash->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(splash->TitleLabel()->text(), QStringLiteral("Ostrel 2"));
        QCOMPARE(splash->VersionLabel()->text(),
                 QStringLiteral("Version : 1\nRelease : 0\nBuild : 6"));
        QVERIFY(!splash->PictureLabel()->pixmap().isNull());
        QVERIFY(!splash->OkButton()->isVisible());
        splash->repaint();
        QCoreApplication::processEvents();
        QVERIFY(!splash->OkButton()->isVisible());
    }

    void aboutBoxIsCentredOnTheScreen() {
        std::unique_ptr<AboutBox> splash = ShowSplash();
        const QRect screen = splash->screen()->geometry();
        QCOMPARE(splash->x(), screen.x() + (screen.width() - splash->width()) / 2);
        QCOMPARE(splash->y(), screen.y() + (screen.height() - splash->height()) / 2);
    }

    void dialogModeIsModalWithOk() {
        bool okVisible = false;
        bool modal = false;
        QTimer::singleShot(0, [&] {
            auto* about = qobject_cast<AboutBox*>(QApplication::activeModalWidget());
            QVERIFY(about != nullptr);
            modal = about->isModal();
            okVisible = about->OkButton()->isVisible();
            QTest::mouseClick(about->OkButton(), Qt::LeftButton);
        });
        ShowAboutDialog();  // returns only after OK
        QVERIFY(modal);
        QVERIFY(okVisible);
    }

    void helpFileSitsBesideTheExecutableWithOneSeparator() {
        QCOMPARE(ContextIDs::HelpFilePath("/opt/ostrel2"),
                 QStringLiteral("/opt/ostrel2/Ostrel2.HLP"));
        QCOMPARE(ContextIDs::HelpFilePath("/"), QStringLiteral("/Ostrel2.HLP"));
        QCOMPARE(ContextIDs::HelpFilePath("/opt/ostrel2/"),
                 QStringLiteral("/opt/ostrel2/Ostrel2.HLP"));
        ContextIDs help;
        help.InitHelp(nullptr);
        QCOMPARE(help.HelpFile(), QCoreApplication::applicationDirPath() + "/Ostrel2.HLP");
    }

    void topicsAreFoundByContextNumber() {
        const HelpBook book = HelpBook::Parse(
            "<html><body><p>Intro</p>"
            "<a name=\"10\"></a><h2>First <i>topic</i></h2><p>one</p>"
            "<a name=\"60\"></a><h1>Obtaining support</h1><p>mail us</p>"
            "</body></html>");
        QCOMPARE(book.Topics().size(), std::size_t{2});
        QCOMPARE(book.Find(10)->title, QStringLiteral("First topic"));
        QVERIFY(book.Find(10)->html.contains("one"));
        QVERIFY(!book.Find(10)->html.contains("mail us"));
        QVERIFY(book.Find(60)->html.endsWith("<p>mail us</p>"));
        QVERIFY(book.Find(11) == nullptr);
        QVERIFY(book.ContentsHtml().startsWith("<p>Intro</p>"));
        QVERIFY(book.ContentsHtml().contains("href=\"#60\""));
    }

    void theHelpFileCoversTheProgram() {
        const QString path = QStringLiteral(OSTREL_HELP_FILE);
        const HelpBook book = HelpBook::Load(path);
        QVERIFY2(book.Note().isEmpty(), qPrintable(book.Note()));
        QVERIFY(book.Find(kHelpSupport) != nullptr);
        QCOMPARE(book.Find(kHelpSupport)->title, QStringLiteral("Obtaining support"));
        // Every link to a topic leads somewhere.
        const QString text = ReadText(path);
        const QRegularExpression link(QStringLiteral("href=\"#(\\d+)\""));
        auto links = link.globalMatch(text);
        int count = 0;
        while (links.hasNext()) {
            const int context = links.next().captured(1).toInt();
            QVERIFY2(book.Find(context) != nullptr, qPrintable(QString::number(context)));
            ++count;
        }
        QVERIFY(count > 10);
        // Every switch of the configuration dialog is explained.
        for (const auto& info : ostrel::settings::SwitchLayout()) {
            const QString caption =
                QString::fromUtf8(info.caption.data(), static_cast<qsizetype>(info.caption.size()));
            QVERIFY2(text.contains(caption), qPrintable(caption));
        }
        for (const char* window : {"The main window", "The configuration dialog",
                                   "The print preview window", "The CSV report file"}) {
            bool found = false;
            for (const auto& [context, topic] : book.Topics()) {
                found = found || topic.title == QLatin1String(window);
            }
            QVERIFY2(found, window);
        }
    }

    void viewerShowsContentsTopicsAndFollowsLinks() {
        ContextIDs help;
        help.SetHelpFile(QStringLiteral(OSTREL_HELP_FILE));
        QWidget owner;
        help.InitHelp(&owner);
        help.ShowHelpContents();
        HelpViewer* viewer = help.Viewer();
        QVERIFY(viewer != nullptr && viewer->isVisible());
        QVERIFY(viewer->Browser()->toPlainText().contains("Obtaining support"));
        help.ShowHelpTopic(kHelpSupport);
        QCOMPARE(viewer->CurrentContext(), kHelpSupport);
        emit viewer->Browser()->anchorClicked(QUrl("#20"));
        QCOMPARE(viewer->CurrentContext(), 20);
        help.ShowHelpTopic(12345);  // no such topic: the contents
        QCOMPARE(viewer->CurrentContext(), 0);
        QPointer<HelpViewer> watch = viewer;
        help.CloseHelp();
        QTRY_VERIFY(watch.isNull());
        help.CloseHelp();  // nothing open: nothing happens
    }

    void aMissingHelpFileShowsAnEmptyViewerWithANote() {
        QTemporaryDir dir;
        ContextIDs help;
        help.SetHelpFile(dir.filePath("Ostrel2.HLP"));
        help.InitHelp(nullptr);
        help.ShowHelpTopic(kHelpSupport);
        HelpViewer* viewer = help.Viewer();
        QVERIFY(viewer != nullptr && viewer->isVisible());
        QVERIFY(viewer->Browser()->toPlainText().isEmpty());
        auto* note = viewer->findChild<QLabel*>("lblNote");
        QVERIFY(note->isVisible());
        QVERIFY(note->text().contains("Ostrel2.HLP"));
        QVERIFY(!note->text().contains('\n'));
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        help.CloseHelp();
    }
};

QTEST_MAIN(TestAboutHelp)
#include "test_about_help.moc"
