// The password dialog, the engine that asks with it, and the whole flow of
// an encrypted database through the main window: asked once for the pickers
// and the run, kept only while the database is open, stored nowhere.
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <deque>
#include <fstream>
#include <memory>

#include "components/jet/jet_engine.h"
#include "components/schema/schema_error.h"
#include "settings/switch_store.h"
#include "tests/support/encrypted_copies.h"
#include "ui/app/engine_report_runner.h"
#include "ui/app/help_system.h"
#include "ui/app/main_window.h"
#include "ui/app/password_asking_engine.h"
#include "ui/app/password_dialog.h"
#include "ui/app/recent_databases.h"
#include "ui/preview/preview_dialog.h"
#include "ui_fakes.h"

using namespace ostrel;
using ostrel::ui::PasswordDialog;

namespace {

const char kSample[] = OSTREL_SOURCE_DIR "/samples/sample-business.mdb";
const QString kPassword = QStringLiteral("Zugang \u00E4 42");

void WriteBytes(const QString& path, const testsupport::FileBytes& bytes) {
    std::ofstream(path.toStdString(), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),  // NOLINT
               static_cast<std::streamsize>(bytes.size()));
}

// Types text into widget as key presses, letters outside ASCII too.
void Type(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QApplication::sendEvent(widget, &release);
    }
}

// Answers the password dialog once it shows: types text (unless null) and
// presses the key; notes whether it said the last password was wrong.
struct DialogAnswer {
    QString text;
    int key = Qt::Key_Return;
};

class DialogAnswerer {
  public:
    explicit DialogAnswerer(std::deque<DialogAnswer> answers) : answers_(std::move(answers)) {
        QObject::connect(&poll_, &QTimer::timeout, [this] { Answer(); });
        poll_.start(5);
    }
    int Shown() const { return shown_; }
    const std::vector<bool>& WrongNotices() const { return wrongNotices_; }

  private:
    void Answer() {
        auto* dialog = qobject_cast<PasswordDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || answers_.empty()) {
            return;
        }
        ++shown_;
        wrongNotices_.push_back(
            dialog->findChild<QLabel*>(QStringLiteral("lblWrongPassword"))->isVisible());
        const DialogAnswer answer = answers_.front();
        answers_.pop_front();
        auto* box = dialog->findChild<QLineEdit*>(QStringLiteral("txtPassword"));
        Type(box, answer.text);
        QTest::keyClick(box, static_cast<Qt::Key>(answer.key));
    }

    std::deque<DialogAnswer> answers_;
    QTimer poll_;
    int shown_ = 0;
    std::vector<bool> wrongNotices_;
};

}  // namespace

class TestPasswordDialog : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_;
    QString encrypted_;
    QString plain_;

  private slots:
    void initTestCase() {
        const auto jet = testsupport::ReadFileBytes(kSample);
        const auto ace = testsupport::AsAceFile(jet);
        plain_ = dir_.filePath(QStringLiteral("plain.accdb"));
        WriteBytes(plain_, ace);
        encrypted_ = dir_.filePath(QStringLiteral("secret.accdb"));
        WriteBytes(encrypted_,
                   testsupport::EncryptedAceCopy(ace, testsupport::AceForm::AgileSha512Aes256,
                                                 kPassword.toStdU16String()));
        QFile::copy(QStringLiteral(OSTREL_SOURCE_DIR "/samples/HarbourArchive.mdb"),
                    dir_.filePath(QStringLiteral("HarbourArchive.mdb")));
    }

    void typedPasswordComesBackAsUtf8() {
        PasswordDialog dialog(QStringLiteral("/data/orders.accdb"), false);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto* box = dialog.findChild<QLineEdit*>(QStringLiteral("txtPassword"));
        QCOMPARE(QApplication::focusWidget(), box);
        Type(box, kPassword);
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const schema::Password password = dialog.TakePassword();
        QCOMPARE(QString::fromUtf8(password.Utf8().data(), qsizetype(password.Utf8().size())),
                 kPassword);
        QVERIFY(box->text().isEmpty());  // not left in the box
        QVERIFY(!dialog.findChild<QLabel*>(QStringLiteral("lblWrongPassword"))->isVisible());
    }

    void showAndHideAndTheKeyboard() {
        PasswordDialog dialog(QStringLiteral("/data/orders.accdb"), true);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QVERIFY(dialog.findChild<QLabel*>(QStringLiteral("lblWrongPassword"))->isVisible());
        auto* box = dialog.findChild<QLineEdit*>(QStringLiteral("txtPassword"));
        auto* show = dialog.findChild<QPushButton*>(QStringLiteral("cmdShowPassword"));
        Type(box, QStringLiteral("abc"));
        QCOMPARE(box->echoMode(), QLineEdit::Password);
        QCOMPARE(show->text(), QStringLiteral("&Show"));
        // Alt+S shows what was typed, Alt+H hides it again (a mnemonic
        // presses its button after a moment); typing goes on.
        QTest::keyClick(&dialog, Qt::Key_S, Qt::AltModifier);
        QTRY_COMPARE(box->echoMode(), QLineEdit::Normal);
        QCOMPARE(show->text(), QStringLiteral("&Hide"));
        QCOMPARE(QApplication::focusWidget(), box);
        QTest::keyClick(&dialog, Qt::Key_H, Qt::AltModifier);
        QTRY_COMPARE(box->echoMode(), QLineEdit::Password);
        // Tab: box, Show, OK, Cancel.
        QStringList order;
        for (int i = 0; i < 4; ++i) {
            order << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(order, QStringList({"txtPassword", "cmdShowPassword", "cmdOK", "cmdCancel"}));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }

    // Also run with QT_SCALE_FACTOR=2: the dialog fits the screen and shows
    // all of its texts, a long path shortened in the middle.
    void fitsTheScreen() {
        const QString path =
            QStringLiteral("/home/someone/Documents/Accounts/Archive/2019/Quarter 4/") +
            QStringLiteral("Customer orders and invoices, final copy.accdb");
        PasswordDialog dialog(path, true);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QRect area = dialog.screen()->availableGeometry();
        QVERIFY2(area.contains(dialog.frameGeometry()), qPrintable(QStringLiteral("%1x%2 in %3x%4")
                                                                       .arg(dialog.width())
                                                                       .arg(dialog.height())
                                                                       .arg(area.width())
                                                                       .arg(area.height())));
        for (QWidget* child : dialog.findChildren<QWidget*>()) {
            if (child->isVisible()) {
                QVERIFY2(child->width() >= child->minimumSizeHint().width() &&
                             child->height() >= child->minimumSizeHint().height(),
                         qPrintable(child->objectName() + QLatin1Char(' ') +
                                    child->metaObject()->className()));
            }
        }
        auto* file = dialog.findChild<QLabel*>(QStringLiteral("lblFile"));
        QCOMPARE(file->toolTip(), path);
        QVERIFY(file->text().contains(QStringLiteral("final copy.accdb")));
    }

    void engineAsksAgainAfterAWrongPasswordAndKeepsItWhileOpen() {
        jet::JetEngine jet;
        std::deque<std::optional<std::string>> answers = {"wrong", kPassword.toStdString()};
        std::vector<std::pair<std::string, bool>> asked;
        ui::PasswordAskingEngine engine(
            jet, [&](const std::string& path, bool wrongBefore) -> std::optional<schema::Password> {
                asked.emplace_back(path, wrongBefore);
                if (answers.empty()) {
                    return std::nullopt;
                }
                auto answer = answers.front();
                answers.pop_front();
                return answer ? std::optional(schema::Password(*answer)) : std::nullopt;
            });
        const std::string path = encrypted_.toStdString();
        auto pickers = engine.OpenDatabase(path);
        QVERIFY(pickers->TableDefs().Count() > 0);
        QCOMPARE(asked.size(), std::size_t(2));
        QCOMPARE(asked[0], std::make_pair(path, false));
        QCOMPARE(asked[1], std::make_pair(path, true));
        QVERIFY(engine.KeepsPasswordFor(path));

        // The run opens the file again while the pickers hold it: not asked.
        auto run = engine.OpenDatabase(path);
        run->Close();
        QCOMPARE(asked.size(), std::size_t(2));
        QVERIFY(engine.KeepsPasswordFor(path));
        pickers.reset();  // the last one open goes: the password with it
        QVERIFY(!engine.KeepsPasswordFor(path));

        // Asked again now; Cancel ends with the missing-password error.
        try {
            engine.OpenDatabase(path);
            QFAIL("opened without a password");
        } catch (const schema::PasswordError& e) {
            QCOMPARE(e.WhatFailed(), schema::PasswordError::Reason::Missing);
        }
        QCOMPARE(asked.size(), std::size_t(3));
        QVERIFY(!engine.KeepsPasswordFor(path));

        // A file without a password is never asked for, nor anything kept.
        auto plain = engine.OpenDatabase(plain_.toStdString());
        QCOMPARE(asked.size(), std::size_t(3));
        QVERIFY(!engine.KeepsPasswordFor(plain_.toStdString()));
    }

    void mainWindowAsksOnceAndStoresNoPassword() {
        const QString ini = dir_.filePath(QStringLiteral("Ostrel2.ini"));
        settings::SwitchStore store(ini);
        ui::testing::RecordingMessages messages;
        ui::testing::ScriptedDialogs dialogs;
        ui::ContextIDs help;
        const auto formatter = engine::MakeLocaleFormatter();
        jet::JetEngine jet;
        ui::PasswordAskingEngine engine(jet, ui::AskForPassword);
        ui::EngineReportRunner runner(engine, store, *formatter);
        auto window = std::make_unique<ui::MainWindow>(ui::MainWindowServices{
            .engine = engine,
            .switches = store,
            .runner = runner,
            .help = help,
            .messages = messages,
            .fileDialogs = dialogs,
            .loadPreview = [](QWidget* parent) -> std::unique_ptr<engine::PagedOutput> {
                return std::make_unique<ui::PreviewDialog>(parent);
            }});
        window->show();

        // A wrong password first: the dialog comes back saying so.
        DialogAnswerer answerer(
            {{QStringLiteral("nope"), Qt::Key_Return}, {kPassword, Qt::Key_Return}});
        dialogs.databaseAnswers.push_back(encrypted_);
        window->findChild<QPushButton*>(QStringLiteral("cmdBrowse1"))->click();
        QCOMPARE(answerer.Shown(), 2);
        QCOMPARE(answerer.WrongNotices(), std::vector<bool>({false, true}));
        QVERIFY(messages.shown.empty());
        QVERIFY(window->findChild<QListWidget*>(QStringLiteral("vsFlexTables"))->count() > 0);

        // The run reads the same file without asking again.
        const QString csv = dir_.filePath(QStringLiteral("report.csv"));
        auto* option = window->findChild<QRadioButton*>(QStringLiteral("optTarget1"));
        QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(8, option->height() / 2));
        window->findChild<QLineEdit*>(QStringLiteral("txtCSVFile"))->setText(csv);
        QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("cmdStart")),
                          Qt::LeftButton);
        QCOMPARE(answerer.Shown(), 2);
        QFile report(csv);
        QVERIFY(report.open(QIODevice::ReadOnly));
        QVERIFY(report.readAll().contains("Table : Customers\r\n"));
        QVERIFY(engine.KeepsPasswordFor(encrypted_.toStdString()));

        // Another database in the pickers: the password is let go.
        dialogs.databaseAnswers.push_back(plain_);
        window->findChild<QPushButton*>(QStringLiteral("cmdBrowse1"))->click();
        QVERIFY(!engine.KeepsPasswordFor(encrypted_.toStdString()));
        window.reset();

        // The settings file names the database among the recent ones and
        // holds no password.
        QCOMPARE(ui::RecentDatabases(ini).Entries().count(encrypted_), 1);
        QFile settingsFile(ini);
        QVERIFY(settingsFile.open(QIODevice::ReadOnly));
        const QByteArray stored = settingsFile.readAll();
        QVERIFY(!stored.contains(kPassword.toUtf8()));
        QVERIFY(!stored.contains("Zugang"));
    }
};

QTEST_MAIN(TestPasswordDialog)
#include "test_password_dialog.moc"
