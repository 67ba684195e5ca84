#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <stdexcept>

#include "components/qtdocument/page_printer.h"
#include "components/qtdocument/pdf_stream.h"
#include "components/qtdocument/qt_report_document.h"
#include "document_fixture.h"
#include "tests/fixtures/reports/sample_report.h"

namespace ostrel::qtdocument {
namespace {

using testing::RunTool;

int PdfPages(const QString& file) {
    const QString info = RunTool(QStringLiteral("pdfinfo"), {file});
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)"), QRegularExpression::MultilineOption)
            .match(info);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

bool HavePoppler() {
    bool found = false;
    RunTool(QStringLiteral("pdfinfo"), {QStringLiteral("-v")}, &found);
    return found;
}

QString WithoutBlanks(QString text) {
    text.remove(QRegularExpression(QStringLiteral("\\s+")));
    return text;
}

class PdfTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!HavePoppler()) {
            GTEST_SKIP() << "pdfinfo/pdftotext (poppler-utils) not installed";
        }
        ASSERT_TRUE(dir_.isValid());
    }
    QString Path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }
    QTemporaryDir dir_;
};

TEST_F(PdfTest, EveryTextLandsOnItsPageInOrder) {
    QtReportDocument doc(QLocale(QLocale::German, QLocale::Germany));
    doc.KeepPlacedTexts(true);
    sample::WriteLargeReport(doc, 30, 12, 2);
    std::string error;
    ASSERT_TRUE(doc.SavePdf(Path("large.pdf").toStdString(), error)) << error;
    ASSERT_GT(doc.PageCount(), 5);
    EXPECT_EQ(PdfPages(Path("large.pdf")), doc.PageCount());

    // pdftotext separates pages with form feeds.
    const QStringList pages =
        RunTool(QStringLiteral("pdftotext"),
                {QStringLiteral("-layout"), Path("large.pdf"), QStringLiteral("-")})
            .split(u'\f');
    ASSERT_GE(pages.size(), doc.PageCount());
    std::vector<QString> flat;
    for (int p = 0; p < doc.PageCount(); ++p) {
        EXPECT_TRUE(pages[p].contains(QStringLiteral("Page %1").arg(p + 1))) << "page " << p + 1;
        flat.push_back(WithoutBlanks(pages[p]));
    }
    // In order within each page; and names that occur once in the report
    // are found on exactly one page.
    std::vector<qsizetype> cursor(flat.size(), 0);
    for (const PlacedText& placed : doc.Placed()) {
        const QString text = WithoutBlanks(QString::fromStdString(placed.text));
        if (text.isEmpty()) {
            continue;
        }
        const auto page = static_cast<std::size_t>(placed.page - 1);
        const qsizetype at = flat[page].indexOf(text, cursor[page]);
        ASSERT_GE(at, 0) << placed.text << " missing from page " << placed.page;
        cursor[page] = at + text.size();
        if (placed.text.rfind("Field - ", 0) == 0) {
            const QRegularExpression whole(
                QRegularExpression::escape(QString::fromStdString(placed.text)) + "\\b");
            int holding = 0;
            for (int p = 0; p < doc.PageCount(); ++p) {
                holding += pages[p].contains(whole) ? 1 : 0;
            }
            EXPECT_EQ(holding, 1) << placed.text;
        }
    }
}

TEST_F(PdfTest, OtherScriptsEscapesAndLineBreaksReachThePdf) {
    QtReportDocument doc;
    doc.KeepPlacedTexts(true);
    sample::WriteOrdersReport(doc);
    std::string error;
    ASSERT_TRUE(doc.SavePdf(Path("orders.pdf").toStdString(), error)) << error;
    EXPECT_EQ(PdfPages(Path("orders.pdf")), doc.PageCount());
    // Wrapped cells may break anywhere between words: compare without blanks.
    const QString text = WithoutBlanks(
        RunTool(QStringLiteral("pdftotext"), {Path("orders.pdf"), QStringLiteral("-")}));
    for (const char* expected :
         {"Table : Κατηγορίες (Kategorien)", "Описание категории товаров", "Όνομα",
          "In (\"Deutschland\";\"Österreich\";\"Schweiz\")",
          "Choose one of the countries we deliver to;",
          "ask the sales office | Verkauf for others.", "Parameter - [Start Date]"}) {
        EXPECT_TRUE(text.contains(WithoutBlanks(QString::fromUtf8(expected)))) << expected;
    }
    if (QFontDatabase::families(QFontDatabase::Japanese).isEmpty()) {
        GTEST_SKIP() << "no font with Japanese installed";
    }
    EXPECT_TRUE(text.contains(WithoutBlanks(QString::fromUtf8("Table : 受注明細"))));
}

TEST_F(PdfTest, SaveReplacesWholeFileOrLeavesNothing) {
    QtReportDocument doc;
    doc.KeepPlacedTexts(true);
    sample::WriteOrdersReport(doc);
    std::string error;

    QFile old(Path("report.pdf"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old contents");
    old.close();
    ASSERT_TRUE(doc.SavePdf(Path("report.pdf").toStdString(), error)) << error;
    EXPECT_EQ(PdfPages(Path("report.pdf")), doc.PageCount());
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{"report.pdf"});

    const QString missing = Path("no such folder/report.pdf");
    EXPECT_FALSE(doc.SavePdf(missing.toStdString(), error));
    EXPECT_NE(error.find("no such folder"), std::string::npos) << error;
    EXPECT_FALSE(QFile::exists(missing));

    // A folder in the way of the file.
    ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("taken.pdf")));
    error.clear();
    EXPECT_FALSE(doc.SavePdf(Path("taken.pdf").toStdString(), error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{"report.pdf"});

    QtReportDocument empty;
    EXPECT_FALSE(empty.SavePdf(Path("empty.pdf").toStdString(), error));
    EXPECT_FALSE(QFile::exists(Path("empty.pdf")));
}

// A run cancelled while its PDF is being written drops the stream with
// pages still waiting to be drawn: it stops at once and leaves the earlier
// file as it was, with nothing beside it.
TEST_F(PdfTest, DroppedStreamStopsAndLeavesTheEarlierFile) {
    QtReportDocument doc;
    sample::WriteLargeReport(doc, 40, 12, 2);
    ASSERT_GT(doc.PageCount(), 20);
    QFile old(Path("report.pdf"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old contents");
    old.close();
    for (const int handedOver : {1, 5, doc.PageCount()}) {
        {
            PdfStream stream(doc, Path("report.pdf").toStdString());
            doc.LayOutPages(1, handedOver, [&](int page, LaidOutPage& content) {
                stream.AddPage(page, std::move(content));
            });
        }
        EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden),
                  QStringList{"report.pdf"});
        ASSERT_TRUE(old.open(QIODevice::ReadOnly));
        EXPECT_EQ(old.readAll(), QByteArray("old contents"));
        old.close();
    }
}

TEST_F(PdfTest, PrintHonoursThePageRangeAndReportsFailure) {
    QtReportDocument doc;
    doc.KeepPlacedTexts(true);
    sample::WriteOrdersReport(doc);
    ASSERT_GE(doc.PageCount(), 3);

    QPrinter all(QPrinter::HighResolution);
    all.setOutputFormat(QPrinter::PdfFormat);
    all.setOutputFileName(Path("all.pdf"));
    PrintPages(doc, all);
    EXPECT_EQ(PdfPages(Path("all.pdf")), doc.PageCount());

    QPrinter some(QPrinter::HighResolution);
    some.setOutputFormat(QPrinter::PdfFormat);
    some.setOutputFileName(Path("some.pdf"));
    some.setPrintRange(QPrinter::PageRange);
    some.setFromTo(2, 3);
    PrintPages(doc, some);
    EXPECT_EQ(PdfPages(Path("some.pdf")), 2);
    const QString text =
        RunTool(QStringLiteral("pdftotext"), {Path("some.pdf"), QStringLiteral("-")});
    EXPECT_TRUE(text.contains(QStringLiteral("Page 2")));
    EXPECT_FALSE(text.contains(QStringLiteral("Page 1\n")));

    QPrinter broken(QPrinter::HighResolution);
    broken.setOutputFormat(QPrinter::PdfFormat);
    broken.setOutputFileName(Path("missing/folder.pdf"));
    EXPECT_THROW(PrintPages(doc, broken), std::runtime_error);
}

TEST(QtReportDocumentPrint, NoPrinterIsAnError) {
    if (!QPrinterInfo::defaultPrinter().isNull()) {
        GTEST_SKIP() << "a default printer is installed";
    }
    QtReportDocument doc;
    doc.KeepPlacedTexts(true);
    sample::WriteOrdersReport(doc);
    EXPECT_THROW(doc.PrintDocument(), std::runtime_error) << "no print handler";
    doc.SetPrintHandler(&PrintOnDefaultPrinter);
    EXPECT_THROW(doc.PrintDocument(), std::runtime_error) << "no printer";
}

}  // namespace
}  // namespace ostrel::qtdocument
