#include <gtest/gtest.h>
#include <QApplication>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "document_fixture.h"
#include "tests/fixtures/reports/engine_report.h"
#include "tests/fixtures/reports/sample_report.h"
#include "ui/preview/page_view.h"
#include "ui/preview/preview_dialog.h"

namespace ostrel::ui {
namespace {

// Answers the print dialog and records the messages shown.
class ScriptedPrompts final : public PreviewPrompts {
  public:
    ScriptedPrompts(bool accept, QString outputFile, int* chosen, QStringList* errors)
        : accept_(accept), outputFile_(std::move(outputFile)), chosen_(chosen), errors_(errors) {}
    bool ChoosePrinter(QPrinter& printer, int pageCount, QWidget*) override {
        *chosen_ = pageCount;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(outputFile_);
        return accept_;
    }
    void ShowError(const QString&, const QString& text, QWidget*) override { *errors_ << text; }
    void ShowSaved(const QString& path, QWidget*) override { *errors_ << "saved " + path; }

  private:
    bool accept_;
    QString outputFile_;
    int* chosen_;
    QStringList* errors_;
};

QPushButton* Button(const PreviewDialog& dlg, const char* name) {
    auto* button = dlg.findChild<QPushButton*>(QString::fromLatin1(name));
    EXPECT_NE(button, nullptr) << name;
    return button;
}

void WriteParagraphs(document::ReportDocument& doc, int count) {
    doc.SetPageBorder(0);
    doc.SetPageCaption("|Page %d|");
    doc.SetCaptionTextSize(8);
    doc.StartDocument();
    for (int i = 0; i < count; ++i) {
        doc.AddParagraph("Paragraph " + std::to_string(i));
    }
    doc.EndDocument();
}

// What completing the document does before the window is shown modally.
void PrepareAsTheRunDoes(PreviewDialog& dlg) {
    const int pages = dlg.Document().PageCount();
    if (pages > 1) {
        dlg.ShowPageButtons();
        dlg.SetPrevEnabled(false);
        dlg.SetCaption("Report Preview - Page 1 of " + std::to_string(pages));
    }
}

TEST(PreviewDialog, DesignStateLayoutAndTabOrder) {
    PreviewDialog dlg;
    EXPECT_EQ(dlg.objectName(), "frmPreview");
    EXPECT_EQ(dlg.windowTitle(), "Preview");
    const struct {
        const char* name;
        const char* caption;
        QRect geometry;
        bool visible;
    } expected[] = {{"cmdTransmit", "Print", QRect(14, 7, 78, 22), true},
                    {"cmdCancel", "Cancel", QRect(105, 7, 85, 22), true},
                    {"cmdNext", "Next Page", QRect(203, 7, 78, 22), false},
                    {"cmdPrev", "Prev Page", QRect(294, 7, 78, 22), false}};
    for (const auto& e : expected) {
        QPushButton* b = Button(dlg, e.name);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->text(), e.caption);
        EXPECT_EQ(b->geometry(), e.geometry) << e.name;
        EXPECT_EQ(b->isVisibleTo(&dlg), e.visible) << e.name;
        EXPECT_TRUE(b->isEnabled());
    }
    EXPECT_EQ(Button(dlg, "cmdPrev")->nextInFocusChain(), Button(dlg, "cmdNext"));
    EXPECT_EQ(Button(dlg, "cmdNext")->nextInFocusChain(), Button(dlg, "cmdTransmit"));
    EXPECT_EQ(Button(dlg, "cmdTransmit")->nextInFocusChain(), Button(dlg, "cmdCancel"));
    // Larger than the designed 596 x 534 pixels, to read a page across: most
    // of the screen's height, and on the screen.
    const QRect screen = dlg.screen()->availableGeometry();
    EXPECT_GE(dlg.height(), std::min(534, screen.height()));
    EXPECT_GE(dlg.height(), screen.height() * 8 / 10);
    EXPECT_LE(dlg.width(), screen.width());
}

TEST(PreviewDialog, OnePageReportShowsOnlyPrintAndCancel) {
    PreviewDialog dlg;
    WriteParagraphs(dlg.Document(), 3);
    ASSERT_EQ(dlg.Document().PageCount(), 1);
    PrepareAsTheRunDoes(dlg);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    EXPECT_EQ(dlg.windowTitle(), "Preview");
    EXPECT_TRUE(Button(dlg, "cmdTransmit")->isVisible());
    EXPECT_TRUE(Button(dlg, "cmdCancel")->isVisible());
    EXPECT_FALSE(Button(dlg, "cmdNext")->isVisible());
    EXPECT_FALSE(Button(dlg, "cmdPrev")->isVisible());

    // Page Down with nothing to turn to leaves the page as it is.
    QTest::keyClick(&dlg, Qt::Key_PageDown);
    EXPECT_EQ(dlg.Document().PreviewPage(), 1);

    // The page is drawn: dark text pixels appear on the sheet.
    const QImage shot = dlg.View()->Sheet()->grab().toImage();
    int dark = 0;
    for (int y = 0; y < shot.height(); y += 2) {
        for (int x = 0; x < shot.width(); x += 2) {
            dark += qGray(shot.pixel(x, y)) < 128 ? 1 : 0;
        }
    }
    EXPECT_GT(dark, 20);
}

TEST(PreviewDialog, PageButtonsWalkThroughAManyPageReport) {
    PreviewDialog dlg;
    WriteParagraphs(dlg.Document(), 200);
    const int pages = dlg.Document().PageCount();
    ASSERT_GE(pages, 3);
    PrepareAsTheRunDoes(dlg);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    QPushButton* next = Button(dlg, "cmdNext");
    QPushButton* prev = Button(dlg, "cmdPrev");
    const QString of = QStringLiteral(" of %1").arg(pages);
    EXPECT_EQ(dlg.windowTitle(), "Report Preview - Page 1" + of);
    EXPECT_TRUE(next->isVisible() && next->isEnabled());
    EXPECT_TRUE(prev->isVisible());
    EXPECT_FALSE(prev->isEnabled());

    QTest::mouseClick(next, Qt::LeftButton);
    EXPECT_EQ(dlg.Document().PreviewPage(), 2);
    EXPECT_EQ(dlg.windowTitle(), "Report Preview - Page 2" + of);
    EXPECT_TRUE(prev->isEnabled());
    for (int page = 3; page <= pages; ++page) {
        QTest::mouseClick(next, Qt::LeftButton);
    }
    EXPECT_EQ(dlg.Document().PreviewPage(), pages);
    EXPECT_FALSE(next->isEnabled());
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Report Preview - Page %1").arg(pages) + of);

    QTest::mouseClick(prev, Qt::LeftButton);
    EXPECT_EQ(dlg.Document().PreviewPage(), pages - 1);
    EXPECT_TRUE(next->isEnabled());
    for (int page = pages - 2; page >= 1; --page) {
        QTest::mouseClick(prev, Qt::LeftButton);
    }
    EXPECT_EQ(dlg.Document().PreviewPage(), 1);
    EXPECT_FALSE(prev->isEnabled());
    EXPECT_EQ(dlg.windowTitle(), "Report Preview - Page 1" + of);

    // Page Down shows all of a page, a view at a time, before it turns to
    // the next; Page Up goes back to the bottom of the page before.
    dlg.resize(700, 500);
    dlg.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    QScrollBar* bar = dlg.View()->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0) << "the page must be taller than the view";
    const int viewHeight = dlg.View()->viewport()->height();
    int shownTo = viewHeight;
    int presses = 0;
    while (dlg.Document().PreviewPage() == 1) {
        QTest::keyClick(dlg.View(), Qt::Key_PageDown);
        ++presses;
        ASSERT_LT(presses, 50);
        if (dlg.Document().PreviewPage() == 1) {
            EXPECT_LE(bar->value(), shownTo) << "part of the page was passed over";
            shownTo = bar->value() + viewHeight;
        }
    }
    EXPECT_GE(shownTo, dlg.View()->Sheet()->height()) << "the bottom of page 1 was never shown";
    EXPECT_GT(presses, 1);
    EXPECT_EQ(dlg.Document().PreviewPage(), 2);
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(dlg.windowTitle(), "Report Preview - Page 2" + of);
    QTest::keyClick(dlg.View(), Qt::Key_PageUp);
    EXPECT_EQ(dlg.Document().PreviewPage(), 1);
    EXPECT_EQ(bar->value(), bar->maximum());
    while (bar->value() > 0) {
        QTest::keyClick(dlg.View(), Qt::Key_PageUp);
    }
    QTest::keyClick(dlg.View(), Qt::Key_PageUp);
    EXPECT_EQ(dlg.Document().PreviewPage(), 1);
    EXPECT_FALSE(prev->isEnabled());
}

// A hit low on its page is scrolled into view, not left below the window.
TEST(PreviewDialog, FindShowsTheHitItself) {
    PreviewDialog dlg;
    document::ReportDocument& doc = dlg.Document();
    doc.SetPageCaption("|Page %d|");
    doc.StartDocument();
    for (int i = 0; i < 400; ++i) {
        doc.AddParagraph(i == 150 ? "the needle" : "Paragraph " + std::to_string(i));
    }
    doc.EndDocument();
    PrepareAsTheRunDoes(dlg);
    dlg.resize(700, 500);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    dlg.FindText(QStringLiteral("needle"));
    const int page = dlg.Document().PreviewPage();
    ASSERT_GT(page, 1);
    const auto rects = dlg.ReportDocument().MatchRects(page, QStringLiteral("needle"));
    ASSERT_EQ(rects.size(), 1U);
    const QWidget* sheet = dlg.View()->Sheet();
    const double scale = sheet->height() / dlg.ReportDocument().Geometry().paper.height();
    const double top = rects[0].front().top() * scale;
    const double bottom = rects[0].front().bottom() * scale;
    const int shown = dlg.View()->verticalScrollBar()->value();
    ASSERT_GT(top, dlg.View()->viewport()->height()) << "the hit must lie below the first view";
    EXPECT_GE(top, shown);
    EXPECT_LE(bottom, shown + dlg.View()->viewport()->height());
    EXPECT_EQ(dlg.FindStatus(), QStringLiteral("1 of 1"));
}

TEST(PreviewDialog, ResizingKeepsTheStripDockedAndThePageFullWidth) {
    PreviewDialog dlg;
    WriteParagraphs(dlg.Document(), 5);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    for (const QSize size : {QSize(900, 1000), QSize(400, 300), QSize(1200, 500)}) {
        dlg.resize(size);
        QApplication::processEvents();
        const QWidget* strip = dlg.findChild<QWidget*>(QStringLiteral("VideoSoftElastic1"));
        ASSERT_NE(strip, nullptr);
        EXPECT_EQ(strip->geometry().bottom(), dlg.height() - 1);
        EXPECT_EQ(strip->height(), 35);  // its designed height, at the usual font
        EXPECT_EQ(strip->width(), dlg.width());
        const QWidget* sheet = dlg.View()->Sheet();
        EXPECT_EQ(sheet->width(), dlg.View()->viewport()->width());
        EXPECT_NEAR(sheet->height(), sheet->width() / dlg.ReportDocument().PageAspect(), 1.0);
        EXPECT_EQ(Button(dlg, "cmdTransmit")->geometry().topLeft(), QPoint(14, 7));
    }
    // The page scrolls.
    dlg.resize(600, 400);
    QApplication::processEvents();
    EXPECT_GT(dlg.View()->verticalScrollBar()->maximum(), 0);
}

TEST(PreviewDialog, ShowModalReturnsOnCancelAndOnTheCloseBox) {
    for (const bool closeBox : {false, true}) {
        PreviewDialog dlg;
        WriteParagraphs(dlg.Document(), 2);
        QTimer::singleShot(0, &dlg, [&] {
            if (closeBox) {
                dlg.close();
            } else {
                QTest::mouseClick(Button(dlg, "cmdCancel"), Qt::LeftButton);
            }
        });
        dlg.ShowModal();
        EXPECT_FALSE(dlg.isVisible());
        EXPECT_EQ(dlg.result(), QDialog::Rejected);
    }
}

TEST(PreviewDialog, PrintPrintsAndClosesOrReportsFailureAndStaysOpen) {
    QTemporaryDir dir;
    int chosen = 0;
    QStringList errors;
    {
        const QString out = dir.filePath(QStringLiteral("printed.pdf"));
        PreviewDialog dlg(nullptr, std::make_unique<ScriptedPrompts>(true, out, &chosen, &errors));
        std::string runError;
        ASSERT_TRUE(sample::WriteEngineReport(dlg.Document(), runError)) << runError;
        QTimer::singleShot(0, &dlg,
                           [&] { QTest::mouseClick(Button(dlg, "cmdTransmit"), Qt::LeftButton); });
        dlg.ShowModal();
        EXPECT_EQ(dlg.result(), QDialog::Accepted);
        EXPECT_EQ(chosen, dlg.Document().PageCount());
        // The user is told where the file went.
        EXPECT_EQ(errors, QStringList{"saved " + out});
        errors.clear();
        // The same PDF as the batch program's: metadata and an outline.
        bool found = false;
        const QString info = qtdocument::testing::RunTool(QStringLiteral("pdfinfo"), {out}, &found);
        if (found) {
            EXPECT_TRUE(info.contains(
                QStringLiteral("Pages:           %1").arg(dlg.Document().PageCount())))
                << info.toStdString();
            EXPECT_TRUE(info.contains(QStringLiteral("Title:           Ostrel2 report")))
                << info.toStdString();
            EXPECT_TRUE(info.contains(QStringLiteral("Creator:         Ostrel2")))
                << info.toStdString();
        }
        const QString outline = qtdocument::testing::RunTool(
            QStringLiteral("qpdf"),
            {QStringLiteral("--json"), QStringLiteral("--json-key=outlines"), out}, &found);
        if (found) {
            EXPECT_TRUE(outline.contains(QStringLiteral("2 - Table Properties")))
                << outline.toStdString();
        }
    }
    {
        const QString out = dir.filePath(QStringLiteral("missing/printed.pdf"));
        PreviewDialog dlg(nullptr, std::make_unique<ScriptedPrompts>(true, out, &chosen, &errors));
        WriteParagraphs(dlg.Document(), 2);
        dlg.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
        QTest::mouseClick(Button(dlg, "cmdTransmit"), Qt::LeftButton);
        ASSERT_EQ(errors.size(), 1);
        EXPECT_TRUE(errors[0].startsWith(QStringLiteral("The report could not be printed.")));
        EXPECT_TRUE(dlg.isVisible());
    }
    {
        errors.clear();
        const QString out = dir.filePath(QStringLiteral("cancelled.pdf"));
        PreviewDialog dlg(nullptr, std::make_unique<ScriptedPrompts>(false, out, &chosen, &errors));
        WriteParagraphs(dlg.Document(), 2);
        dlg.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
        QTest::mouseClick(Button(dlg, "cmdTransmit"), Qt::LeftButton);
        EXPECT_TRUE(dlg.isVisible());
        EXPECT_TRUE(errors.isEmpty());
        EXPECT_FALSE(QFile::exists(out));
    }
}

}  // namespace
}  // namespace ostrel::ui

namespace ostrel::ui {
namespace {

// The report run loads the window, writes into its document, prepares the
// page buttons and shows it modally; the window is then as the user sees it.
TEST(PreviewDialog, TheReportRunShowsItsReportInTheWindow) {
    for (const bool empty : {true, false}) {
        QString title;
        bool nextShown = false;
        bool prevShown = false;
        bool prevEnabled = true;
        int pages = 0;
        auto load = [&]() -> std::unique_ptr<engine::PagedOutput> {
            auto dlg = std::make_unique<PreviewDialog>();
            PreviewDialog* window = dlg.get();
            QTimer::singleShot(0, window, [&, window] {
                title = window->windowTitle();
                nextShown = Button(*window, "cmdNext")->isVisible();
                prevShown = Button(*window, "cmdPrev")->isVisible();
                prevEnabled = Button(*window, "cmdPrev")->isEnabled();
                pages = window->Document().PageCount();
                QTest::mouseClick(Button(*window, "cmdCancel"), Qt::LeftButton);
            });
            return dlg;
        };
        std::string error;
        ASSERT_TRUE(sample::RunEngineReport(load, empty, error)) << error;
        if (empty) {
            EXPECT_EQ(pages, 1);
            EXPECT_EQ(title, "Preview");
            EXPECT_FALSE(nextShown);
            EXPECT_FALSE(prevShown);
        } else {
            ASSERT_GT(pages, 1);
            EXPECT_EQ(title, QStringLiteral("Report Preview - Page 1 of %1").arg(pages));
            EXPECT_TRUE(nextShown);
            EXPECT_TRUE(prevShown);
            EXPECT_FALSE(prevEnabled);
        }
    }
}

}  // namespace
}  // namespace ostrel::ui
