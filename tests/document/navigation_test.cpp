// The report as something to find one's way in: the outline and links of the
// PDF, pages laid out again identically, find, and the repeated headings.
#include <gtest/gtest.h>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <map>
#include <string>
#include <vector>

#include "components/qtdocument/qt_report_document.h"
#include "document_fixture.h"
#include "tests/fixtures/reports/sample_report.h"

namespace ostrel::qtdocument {
namespace {

using testing::LinesOnPage;
using testing::RunTool;

// A report written as the engine writes one: sections, and in them object
// blocks with a heading and property tables. Relationships name their tables.
void WriteNavigableReport(document::ReportDocument& doc, int tables, int rowsPerTable) {
    doc.SetPageBorder(0);
    doc.SetPageCaption("|Page %d|");
    doc.SetCaptionTextSize(8);
    doc.StartDocument();
    auto section = [&](const std::string& title) {
        doc.BeginSection(title);
        doc.SetHeadingEmphasis(true);
        doc.SetTextSize(12);
        doc.AddParagraph(title);
        doc.SetTextSize(8);
        doc.SetHeadingEmphasis(false);
        doc.AddParagraph("");
        doc.SetTableStyle(0);
    };
    auto object = [&](const std::string& kind, const std::string& name) {
        doc.BeginObject(kind, name);
        doc.SetObjectHeadingEmphasis(true);
        doc.AddParagraph(kind + " : " + name);
        doc.SetObjectHeadingEmphasis(false);
        doc.AddParagraph("");
    };
    section("1 - Database Properties");
    doc.AddTable("2000|8000;Version|4.0;Updatable|True;");
    section("2 - Table Properties");
    for (int t = 0; t < tables; ++t) {
        object("Table", "T" + std::to_string(t));
        std::string table = "2000|2400|5600;";
        for (int r = 0; r < rowsPerTable; ++r) {
            table += "Field - F" + std::to_string(r) + "|Type|Long;";
        }
        doc.AddTable(table);
        doc.AddParagraph("");
    }
    section("3 - Relationship Properties");
    for (int t = 0; t + 1 < tables; t += 2) {
        object("Relationship", "R" + std::to_string(t));
        doc.AddTable("2000|2400|5600;|ForeignTable|T" + std::to_string(t + 1) +
                     ";|RelationUnique|False;|Table|T" + std::to_string(t) + ";");
        doc.AddParagraph("");
    }
    // A relationship to a table that is not in the report gets no link.
    object("Relationship", "Outside");
    doc.AddTable("2000|2400|5600;|ForeignTable|Elsewhere;|Table|T0;");
    section("4 - Query Properties");
    object("Query", "Q : with a colon");
    doc.AddTable("2000|2400|5600;|SQL|SELECT a\\|b FROM T0\\;;");
    doc.EndDocument();
}

struct OutlineItem {
    std::string title;
    int page = 0;
    int depth = 0;
};

void ReadOutline(const QJsonArray& items, int depth, std::vector<OutlineItem>& out) {
    for (const QJsonValue& value : items) {
        const QJsonObject item = value.toObject();
        out.push_back({item.value("title").toString().toStdString(),
                       item.value("destpageposfrom1").toInt(), depth});
        ReadOutline(item.value("kids").toArray(), depth + 1, out);
    }
}

QString PageText(const QString& pdf, int page) {
    return RunTool("pdftotext",
                   {"-layout", "-f", QString::number(page), "-l", QString::number(page), pdf, "-"});
}

class PdfNavigationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        bool found = false;
        RunTool("qpdf", {"--version"}, &found);
        bool poppler = false;
        RunTool("pdftotext", {"-v"}, &poppler);
        if (!found || !poppler) {
            GTEST_SKIP() << "qpdf or pdftotext not installed";
        }
    }
    QTemporaryDir dir;
};

TEST_F(PdfNavigationTest, OutlineLinksAndInformationLeadToTheHeadings) {
    QtReportDocument doc(QLocale(QLocale::German, QLocale::Germany));
    doc.SetDatabaseName("/data/Nordwind.mdb");
    WriteNavigableReport(doc, 24, 30);
    ASSERT_GT(doc.PageCount(), 10);
    const QString pdf = dir.filePath("nav.pdf");
    std::string error;
    ASSERT_TRUE(doc.SavePdf(pdf.toStdString(), error)) << error;

    // One outline entry per section and object, in report order, objects
    // under their sections, each landing on the page that shows its heading.
    const QString json = RunTool("qpdf", {"--json=2", "--json-key=outlines", pdf});
    std::vector<OutlineItem> outline;
    ReadOutline(QJsonDocument::fromJson(json.toUtf8()).object().value("outlines").toArray(), 0,
                outline);
    std::vector<std::string> expected;
    for (const Block& block : doc.Blocks()) {
        expected.push_back(block.section ? block.name : block.kind + " : " + block.name);
    }
    ASSERT_EQ(outline.size(), expected.size());
    for (std::size_t i = 0; i < outline.size(); ++i) {
        EXPECT_EQ(outline[i].title, expected[i]);
        EXPECT_EQ(outline[i].depth, doc.Blocks()[i].section ? 0 : 1) << outline[i].title;
        const QString text = PageText(pdf, outline[i].page);
        EXPECT_TRUE(text.contains(QString::fromStdString(expected[i])))
            << expected[i] << " not on page " << outline[i].page;
    }

    // Links: a relationship's Table and ForeignTable values lead to the
    // tables' pages; a table outside the report gets none.
    QPDF reader;
    reader.processFile(pdf.toStdString().c_str());
    std::vector<QPDFPageObjectHelper> pages = QPDFPageDocumentHelper(reader).getAllPages();
    std::map<QPDFObjGen, int> pageNumbers;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        pageNumbers[pages[i].getObjectHandle().getObjGen()] = static_cast<int>(i) + 1;
    }
    std::map<std::string, int> tablePages;
    for (const Block& block : doc.Blocks()) {
        if (block.kind == "Table") {
            tablePages[block.name] = block.page;
        }
    }
    int links = 0;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        QPDFObjectHandle annots = pages[i].getObjectHandle().getKey("/Annots");
        if (!annots.isArray()) {
            continue;
        }
        for (int a = 0; a < annots.getArrayNItems(); ++a) {
            QPDFObjectHandle dest = annots.getArrayItem(a).getKey("/Dest");
            ASSERT_TRUE(dest.isArray());
            const int target = pageNumbers[dest.getArrayItem(0).getObjGen()];
            ASSERT_GT(target, 0);
            EXPECT_TRUE(PageText(pdf, target).contains("Table : T"));
            ++links;
        }
    }
    // Twelve relationships with two links each, and T0 from "Outside".
    EXPECT_EQ(links, 12 * 2 + 1);
    // The first relationship's Table value leads to T0's page.
    const Block* r0 = nullptr;
    for (const Block& block : doc.Blocks()) {
        if (block.name == "R0") {
            r0 = &block;
        }
    }
    ASSERT_NE(r0, nullptr);
    QPDFObjectHandle annots =
        pages[static_cast<std::size_t>(r0->page - 1)].getObjectHandle().getKey("/Annots");
    ASSERT_TRUE(annots.isArray());
    std::vector<int> targets;
    for (int a = 0; a < annots.getArrayNItems(); ++a) {
        targets.push_back(
            pageNumbers[annots.getArrayItem(a).getKey("/Dest").getArrayItem(0).getObjGen()]);
    }
    EXPECT_NE(std::find(targets.begin(), targets.end(), tablePages["T0"]), targets.end());
    EXPECT_NE(std::find(targets.begin(), targets.end(), tablePages["T1"]), targets.end());

    const QString info = RunTool("pdfinfo", {pdf});
    EXPECT_TRUE(info.contains(QStringLiteral("Ostrel2 report \u2013 Nordwind.mdb")))
        << info.toStdString();
    EXPECT_TRUE(info.contains(
        QString::fromStdString("Author:          " + QtReportDocument::ProgramName())));
}

// The pages as the first layout made them, laid out again one by one after
// being dropped, and laid out in one run for printing, are the same pages.
TEST(Pagination, PagesAreTheSameHoweverOftenTheyAreLaidOut) {
    std::vector<QStringList> firstPass;
    QtReportDocument doc(QLocale(QLocale::German, QLocale::Germany));
    doc.SetLayoutSink([&](int page, LaidOutPage& content) {
        ASSERT_EQ(page, static_cast<int>(firstPass.size()) + 1);
        QStringList lines;
        for (const auto& text : content.texts) {
            lines << text.line.text;
        }
        firstPass.push_back(lines);
    });
    sample::WriteLargeReport(doc, 60, 12, 3);
    const int count = doc.PageCount();
    ASSERT_GT(count, 40);  // well beyond the few pages kept
    ASSERT_EQ(static_cast<int>(firstPass.size()), count);

    for (int page = count; page >= 1; page -= 3) {
        ASSERT_EQ(LinesOnPage(doc, page), firstPass[static_cast<std::size_t>(page - 1)])
            << "page " << page;
    }
    int printed = 0;
    doc.LayOutPages(1, count, [&](int page, LaidOutPage& content) {
        QStringList lines;
        for (const auto& text : content.texts) {
            lines << text.line.text;
        }
        EXPECT_EQ(lines, firstPass[static_cast<std::size_t>(page - 1)]) << "page " << page;
        ++printed;
    });
    EXPECT_EQ(printed, count);
    // A range from the middle starts where the page starts.
    doc.LayOutPages(count / 2, count / 2 + 1, [&](int page, LaidOutPage& content) {
        EXPECT_EQ(content.texts.front().line.text, QStringLiteral("Page %1").arg(page));
    });
}

TEST(Pagination, AContinuedBlockRepeatsItsHeading) {
    QtReportDocument doc;
    WriteNavigableReport(doc, 6, 120);
    std::map<QString, const Block*> headings;
    for (const Block& block : doc.Blocks()) {
        if (!block.section) {
            headings[QString::fromStdString(block.kind + " : " + block.name)] = &block;
        }
    }
    int continued = 0;
    for (int page = 2; page <= doc.PageCount(); ++page) {
        const QStringList lines = LinesOnPage(doc, page);
        ASSERT_GE(lines.size(), 2);
        if (!lines[1].endsWith(QStringLiteral(" (continued)"))) {
            continue;
        }
        ++continued;
        // The object whose rows the page goes on with: begun on an earlier
        // page, and the last one begun before this page.
        const auto found = headings.find(lines[1].chopped(12));
        ASSERT_NE(found, headings.end()) << lines[1].toStdString();
        EXPECT_LT(found->second->page, page);
        for (const Block& block : doc.Blocks()) {
            EXPECT_FALSE(&block > found->second && block.page > 0 && block.page < page)
                << block.name << " began after " << found->second->name;
        }
    }
    // 120 rows of a table do not fit on one page: every table continues.
    EXPECT_GE(continued, 6);
    // Repeated headings are not the report's text: find does not count them.
    EXPECT_EQ(doc.Find(QStringLiteral("Table : T3")).size(), 1U);
}

TEST(Find, HitsAreCountedAndPlacedOnTheirPages) {
    QtReportDocument doc;
    doc.StartDocument();
    doc.AddParagraph("Alpha at the start");
    for (int i = 0; i < 400; ++i) {
        doc.AddTable("2000|8000;row " + std::to_string(i) + "|value;");
    }
    // A long cell that wraps over several lines, the word on a later line.
    doc.AddTable("2000|1500;wrapped|" + std::string(30, 'x') + " " + std::string(30, 'y') +
                 " needle " + std::string(30, 'z') + ";");
    doc.AddTable("2000|8000;escaped|a\\|b\\;c;");
    doc.AddParagraph("alpha at the end");
    doc.EndDocument();
    ASSERT_GE(doc.PageCount(), 3);

    struct Case {
        QString text;
        std::size_t hits;
        int page;  // of the first hit; 0: none
    };
    const std::vector<Case> cases = {
        {"alpha", 2, 1},                 // case ignored, first and last page
        {"row 399", 1, 0},               // on a later page (checked below)
        {"needle", 1, doc.PageCount()},  // inside a wrapped cell
        {"a|b;c", 1, doc.PageCount()},   // separators as text
        {"nowhere", 0, 0},
        {"", 0, 0},
    };
    for (const Case& c : cases) {
        const std::vector<FindHit> hits = doc.Find(c.text);
        ASSERT_EQ(hits.size(), c.hits) << c.text.toStdString();
        if (c.page > 0) {
            EXPECT_EQ(hits.front().page, c.page) << c.text.toStdString();
        }
        for (const FindHit& hit : hits) {
            EXPECT_FALSE(doc.MatchRects(hit.page, c.text).empty())
                << c.text.toStdString() << " not drawn on page " << hit.page;
        }
    }
    const std::vector<FindHit> alpha = doc.Find("alpha");
    EXPECT_EQ(alpha.back().page, doc.PageCount());
    const std::vector<FindHit> row = doc.Find("row 399");
    EXPECT_GT(row.front().page, 1);
    EXPECT_TRUE(LinesOnPage(doc, row.front().page).contains("row 399"));
    // "row 1" is also in "row 10".."row 199": every hit counted once.
    EXPECT_EQ(doc.Find("row 1").size(), 1U + 10U + 100U);
}

// A match that runs on from one line of a wrapped cell to the next is
// highlighted on both lines, and only where the text really runs on.
TEST(Find, MatchesRunAcrossWrappedLines) {
    QtReportDocument doc;
    doc.StartDocument();
    // Each word on a line of its own; the long word broken between letters.
    doc.AddTable("2000|850;words|alpha beta gamma;");
    doc.AddTable("2000|700;long|" + std::string(24, 'w') + ";");
    doc.AddTable("2000|700;next|beta;");  // another cell: never joined to the first
    doc.EndDocument();
    const QStringList lines = LinesOnPage(doc, 1);
    ASSERT_TRUE(lines.contains("beta")) << lines.join(u'/').toStdString();
    ASSERT_TRUE(lines.contains("gamma")) << lines.join(u'/').toStdString();

    struct Case {
        QString text;
        std::size_t hits;    // counted by Find, and highlighted
        std::size_t pieces;  // lines the highlighting covers
    };
    constexpr std::size_t kBelow = ~std::size_t{0};
    const std::vector<Case> cases = {
        {"beta gamma", 1, 2},
        {"ta ga", 1, 2},
        {"alpha beta gamma", 1, 3},
        {"betagamma", 0, 0},   // the blank dropped at the wrap still counts
        {"gamma beta", 0, 0},  // not across two cells
        {QString(24, u'w'), 1, kBelow},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(doc.Find(c.text).size(), c.hits);
        const std::vector<std::vector<QRectF>> matches = doc.MatchRects(1, c.text);
        EXPECT_EQ(matches.size(), c.hits);
        if (c.pieces != kBelow) {
            std::size_t pieces = 0;
            for (const std::vector<QRectF>& match : matches) {
                pieces += match.size();
            }
            EXPECT_EQ(pieces, c.pieces);
        }
    }
    // The broken word: pieces on successive lines that add up to the word.
    const std::vector<QRectF> pieces = doc.MatchRects(1, QString(24, u'w')).front();
    ASSERT_GE(pieces.size(), 2U);
    double width = 0;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        width += pieces[i].width();
        if (i > 0) {
            EXPECT_GT(pieces[i].top(), pieces[i - 1].top());
        }
    }
    const QRectF whole = doc.MatchRects(1, QStringLiteral("w")).front().front();
    EXPECT_NEAR(width, 24 * whole.width(), 24 * 0.5);
}

}  // namespace
}  // namespace ostrel::qtdocument
