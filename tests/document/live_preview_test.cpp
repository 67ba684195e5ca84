// The preview window while the report is still being laid out, and its
// navigation: page box, Home and End, contents, find and zoom.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <QTreeWidget>

#include "ui/preview/page_view.h"
#include "ui/preview/preview_dialog.h"

namespace ostrel::ui {
namespace {

QPushButton* Button(const PreviewDialog& dlg, const char* name) {
    return dlg.findChild<QPushButton*>(QString::fromLatin1(name));
}

void Start(document::ReportDocument& doc) {
    doc.SetPageBorder(0);
    doc.SetPageCaption("|Page %d|");
    doc.SetCaptionTextSize(8);
    doc.StartDocument();
}

void WriteObject(document::ReportDocument& doc, int n) {
    const std::string name = "T" + std::to_string(n);
    doc.BeginObject("Table", name);
    doc.SetObjectHeadingEmphasis(true);
    doc.AddParagraph("Table : " + name);
    doc.SetObjectHeadingEmphasis(false);
    doc.AddParagraph("");
    std::string table = "2000|2400|5600;";
    for (int r = 0; r < 30; ++r) {
        table += "|Row " + std::to_string(r) + "|of " + name + ";";
    }
    doc.AddTable(table);
}

// The count in "Report Preview - Page n of N[ so far]".
int CaptionCount(const QString& caption) {
    static const QRegularExpression pattern(QStringLiteral("of (\\d+)"));
    const QRegularExpressionMatch match = pattern.match(caption);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

TEST(LivePreview, ShowsPageOneAndPagesOnWhileTheReportIsLaidOut) {
    PreviewDialog dlg;
    dlg.ShowWhileLayingOut(true);
    document::ReportDocument& doc = dlg.Document();
    Start(doc);
    doc.BeginSection("2 - Table Properties");
    doc.AddParagraph("2 - Table Properties");
    int object = 0;
    while (doc.PageCount() < 1) {
        WriteObject(doc, object++);
    }
    // Page 1 is finished: the window is up before the report is complete.
    ASSERT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.ReportDocument().PreviewPage(), 1);
    EXPECT_TRUE(dlg.windowTitle().endsWith(QStringLiteral(" so far")) ||
                dlg.windowTitle() == QStringLiteral("Preview"));

    // Next Page at the last page laid out so far waits, then moves on.
    int lastCount = 0;
    while (doc.PageCount() < 2) {
        WriteObject(doc, object++);
    }
    dlg.GoToLastPage();
    const int waitingOn = dlg.ReportDocument().PreviewPage();
    EXPECT_EQ(waitingOn, doc.PageCount());
    ASSERT_TRUE(Button(dlg, "cmdNext")->isEnabled());
    Button(dlg, "cmdNext")->click();
    EXPECT_EQ(dlg.ReportDocument().PreviewPage(), waitingOn);
    for (int i = 0; i < 40; ++i) {
        WriteObject(doc, object++);
        // The count shown never goes down, and never passes what exists.
        const int shown = CaptionCount(dlg.windowTitle());
        EXPECT_GE(shown, lastCount);
        EXPECT_LE(shown, doc.PageCount());
        lastCount = shown;
    }
    EXPECT_EQ(dlg.ReportDocument().PreviewPage(), waitingOn + 1);

    doc.EndDocument();
    const int pages = doc.PageCount();
    // What the run does after the end; the window keeps the page it is on.
    dlg.ShowPageButtons();
    dlg.SetPrevEnabled(false);
    dlg.SetCaption("Report Preview - Page 1 of " + std::to_string(pages));
    EXPECT_EQ(dlg.windowTitle(),
              QStringLiteral("Report Preview - Page %1 of %2").arg(waitingOn + 1).arg(pages));
    EXPECT_TRUE(Button(dlg, "cmdPrev")->isEnabled());
    EXPECT_GE(pages, lastCount);
    dlg.GoToLastPage();
    EXPECT_FALSE(Button(dlg, "cmdNext")->isEnabled());
    dlg.reject();
}

TEST(LivePreview, CancelWhileLayingOutAsksTheRunToStop) {
    PreviewDialog dlg;
    dlg.ShowWhileLayingOut(true);
    document::ReportDocument& doc = dlg.Document();
    Start(doc);
    int object = 0;
    while (doc.PageCount() < 1) {
        WriteObject(doc, object++);
    }
    ASSERT_TRUE(dlg.isVisible());
    EXPECT_FALSE(dlg.CloseRequested());
    // Print waits for the whole report.
    EXPECT_FALSE(Button(dlg, "cmdTransmit")->isEnabled());
    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_TRUE(dlg.CloseRequested());
    EXPECT_FALSE(dlg.isVisible());
    // The run, told to stop, no longer shows the window.
    dlg.ShowModal();
    EXPECT_FALSE(dlg.isVisible());
}

class NavigationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        document::ReportDocument& doc = dlg.Document();
        Start(doc);
        doc.BeginSection("2 - Table Properties");
        doc.SetHeadingEmphasis(true);
        doc.AddParagraph("2 - Table Properties");
        doc.SetHeadingEmphasis(false);
        for (int i = 0; i < 12; ++i) {
            WriteObject(doc, i);
        }
        doc.EndDocument();
        dlg.ShowPageButtons();
        dlg.SetPrevEnabled(false);
        dlg.SetCaption("Report Preview - Page 1 of " + std::to_string(doc.PageCount()));
        dlg.show();
        QApplication::setActiveWindow(&dlg);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
        pages = doc.PageCount();
        ASSERT_GT(pages, 3);
    }
    int Page() const { return dlg.ReportDocument().PreviewPage(); }

    PreviewDialog dlg;
    int pages = 0;
};

TEST_F(NavigationTest, KeysAndThePageBoxTurnPagesWithinTheReport) {
    QTest::keyClick(&dlg, Qt::Key_End);
    EXPECT_EQ(Page(), pages);
    EXPECT_FALSE(Button(dlg, "cmdNext")->isEnabled());
    // Page Down on the last page stays on it.
    for (int i = 0; i < 5; ++i) {
        QTest::keyClick(&dlg, Qt::Key_PageDown);
    }
    EXPECT_EQ(Page(), pages);
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Report Preview - Page %1 of %1").arg(pages));
    QTest::keyClick(&dlg, Qt::Key_Home);
    EXPECT_EQ(Page(), 1);
    EXPECT_FALSE(Button(dlg, "cmdPrev")->isEnabled());

    auto* box = dlg.findChild<QSpinBox*>(QStringLiteral("txtPage"));
    ASSERT_NE(box, nullptr);
    box->setValue(3);
    EXPECT_EQ(Page(), 3);
    box->setValue(pages + 50);  // clamped by the box
    EXPECT_EQ(Page(), pages);
    EXPECT_EQ(dlg.findChild<QLabel*>(QStringLiteral("lblPageOf"))->text(),
              QStringLiteral("of %1").arg(pages));
}

TEST_F(NavigationTest, ContentsFindAndZoom) {
    QTreeWidget* contents = dlg.Contents();
    ASSERT_EQ(contents->topLevelItemCount(), 1);
    QTreeWidgetItem* section = contents->topLevelItem(0);
    ASSERT_EQ(section->childCount(), 12);
    QTreeWidgetItem* last = section->child(11);
    EXPECT_EQ(last->text(0), QStringLiteral("Table : T11"));
    emit contents->itemActivated(last, 0);
    EXPECT_EQ(Page(), dlg.ReportDocument().Blocks().back().page);
    dlg.SetContentsVisible(false);
    EXPECT_FALSE(contents->isVisible());
    dlg.SetContentsVisible(true);

    dlg.GoToFirstPage();
    dlg.FindText(QStringLiteral("of T7"));
    EXPECT_EQ(dlg.FindStatus(), QStringLiteral("1 of 30"));
    const int first = Page();
    EXPECT_GT(first, 1);
    for (int i = 0; i < 29; ++i) {
        dlg.FindNext();
    }
    EXPECT_EQ(dlg.FindStatus(), QStringLiteral("30 of 30"));
    EXPECT_GE(Page(), first);
    dlg.FindNext();  // round to the first hit
    EXPECT_EQ(dlg.FindStatus(), QStringLiteral("1 of 30"));
    EXPECT_EQ(Page(), first);
    dlg.FindPrevious();
    EXPECT_EQ(dlg.FindStatus(), QStringLiteral("30 of 30"));
    dlg.FindText(QStringLiteral("no such text"));
    EXPECT_EQ(dlg.FindStatus(), QStringLiteral("No matches"));

    PageView* view = dlg.View();
    EXPECT_EQ(view->ZoomFit(), PageView::Fit::Width);
    auto* zoom = dlg.findChild<QComboBox*>(QStringLiteral("cboZoom"));
    ASSERT_NE(zoom, nullptr);
    for (const auto& [typed, percent] :
         std::vector<std::pair<QString, int>>{{"150%", 150}, {"10", 50}, {"999 %", 400}}) {
        zoom->setEditText(typed);
        QTest::keyClick(zoom, Qt::Key_Return);
        EXPECT_EQ(view->ZoomPercent(), percent) << typed.toStdString();
    }
    dlg.ZoomBy(1);
    EXPECT_EQ(view->ZoomPercent(), 400);  // no further
    dlg.ZoomBy(-1);
    EXPECT_EQ(view->ZoomPercent(), 300);
    zoom->setEditText(QStringLiteral("Fit page"));
    QTest::keyClick(zoom, Qt::Key_Return);
    EXPECT_EQ(view->ZoomFit(), PageView::Fit::Page);
    EXPECT_LE(view->Sheet()->height(), view->viewport()->height());
}

TEST_F(NavigationTest, PrintOffersTheDatabaseNameAndEscapeCloses) {
    dlg.SetDatabasePath("/srv/data/Nordwind.mdb");
    EXPECT_TRUE(dlg.DefaultPrintFileName().endsWith(QStringLiteral("/srv/data/Nordwind.pdf")))
        << dlg.DefaultPrintFileName().toStdString();
    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
}

}  // namespace
}  // namespace ostrel::ui
