#include <gtest/gtest.h>
#include <QFontDatabase>
#include <random>

#include "components/qtdocument/qt_report_document.h"
#include "document_fixture.h"
#include "tests/fixtures/reports/engine_report.h"
#include "tests/fixtures/reports/sample_report.h"

namespace ostrel::qtdocument {
namespace {

using testing::HandedTexts;
using testing::LinesOnPage;

void Begin(document::ReportDocument& doc) {
    doc.SetPageBorder(0);
    doc.SetPageCaption("|Page %d|");
    doc.SetCaptionTextSize(8);
    doc.StartDocument();
    doc.SetTextSize(8);
}

// The widest a line of a cell may be in the value column of "2000|2400|5600;".
double ValueColumnInner(const QtReportDocument& doc) {
    const double scale = std::min(1.0, doc.Geometry().body.width() / 10000.0);
    return 5600 * scale - 2 * 70;
}

TEST(QtReportDocument, NothingIsLostAcrossManyPages) {
    auto write = [](document::ReportDocument& d) { sample::WriteLargeReport(d, 40, 12, 3); };
    QtReportDocument doc(QLocale(QLocale::German, QLocale::Germany));
    doc.KeepPlacedTexts(true);
    write(doc);
    const std::vector<std::string> handed = HandedTexts(write);

    ASSERT_GT(doc.PageCount(), 10);
    ASSERT_EQ(doc.Placed().size(), handed.size());
    int lastPage = 1;
    for (std::size_t i = 0; i < handed.size(); ++i) {
        const PlacedText& placed = doc.Placed()[i];
        ASSERT_EQ(placed.text, handed[i]) << "at " << i;
        ASSERT_GE(placed.page, lastPage) << "out of order at " << i;
        ASSERT_LE(placed.page, doc.PageCount());
        lastPage = placed.page;
    }
    EXPECT_EQ(lastPage, doc.PageCount());

    // Every non-empty text drawn on its page, each page captioned.
    for (int page = 1; page <= doc.PageCount(); ++page) {
        const QStringList lines = LinesOnPage(doc, page);
        ASSERT_FALSE(lines.isEmpty());
        EXPECT_EQ(lines.front(), QStringLiteral("Page %1").arg(page));
    }
    for (const PlacedText& placed : doc.Placed()) {
        if (!placed.text.empty()) {
            ASSERT_TRUE(LinesOnPage(doc, placed.page).contains(QString::fromStdString(placed.text)))
                << placed.text << " not on page " << placed.page;
        }
    }
}

TEST(QtReportDocument, PaperFollowsTheLocale) {
    QtReportDocument us(QLocale(QLocale::English, QLocale::UnitedStates));
    QtReportDocument de(QLocale(QLocale::German, QLocale::Germany));
    QtReportDocument gb(QLocale(QLocale::English, QLocale::UnitedKingdom));
    EXPECT_EQ(us.Paper().id(), QPageSize::Letter);
    EXPECT_EQ(de.Paper().id(), QPageSize::A4);
    EXPECT_EQ(gb.Paper().id(), QPageSize::A4);
    // About 2 cm margins (1134 twips) on A4 (11906 twips wide).
    EXPECT_NEAR(de.Geometry().body.left(), 1134, 2);
    EXPECT_NEAR(de.Geometry().paper.width() - de.Geometry().body.right(), 1134, 2);
}

TEST(QtReportDocument, EmptyDocumentHasOnePageAndPreviewPageStaysInRange) {
    QtReportDocument doc;
    doc.KeepPlacedTexts(true);
    Begin(doc);
    doc.EndDocument();
    EXPECT_EQ(doc.PageCount(), 1);
    EXPECT_EQ(doc.PreviewPage(), 1);
    EXPECT_EQ(LinesOnPage(doc, 1), QStringList{"Page 1"});
    doc.SetPreviewPage(5);
    EXPECT_EQ(doc.PreviewPage(), 1);
    doc.SetPreviewPage(0);
    EXPECT_EQ(doc.PreviewPage(), 1);

    // A new document starts over.
    Begin(doc);
    for (int i = 0; i < 300; ++i) {
        doc.AddParagraph("line " + std::to_string(i));
    }
    doc.EndDocument();
    ASSERT_GT(doc.PageCount(), 2);
    doc.SetPreviewPage(2);
    EXPECT_EQ(doc.PreviewPage(), 2);
    doc.SetPreviewPage(1000);
    EXPECT_EQ(doc.PreviewPage(), doc.PageCount());
    Begin(doc);
    EXPECT_EQ(doc.PreviewPage(), 1);
    EXPECT_TRUE(doc.Placed().empty());
}

TEST(QtReportDocument, CaptionPartsAndBorder) {
    QtReportDocument doc;
    doc.KeepPlacedTexts(true);
    doc.SetPageBorder(1);
    doc.SetPageCaption("Orders %d|Draft|p. %d");
    doc.StartDocument();
    doc.AddParagraph("x");
    doc.EndDocument();
    EXPECT_EQ(LinesOnPage(doc, 1), (QStringList{"Orders 1", "Draft", "p. 1", "x"}));
    const auto& shapes = doc.PageAt(1).shapes;
    EXPECT_EQ(std::count_if(
                  shapes.begin(), shapes.end(),
                  [](const LaidOutPage::Shape& s) { return s.fill == LaidOutPage::Fill::Border; }),
              4);
}

TEST(QtReportDocument, LongWordsBreakAndCarriageReturnsStartLines) {
    QtReportDocument doc;
    doc.KeepPlacedTexts(true);
    Begin(doc);
    const std::string word(300, 'W');
    doc.AddTable("2000|2400|5600;|DefaultValue|" + word +
                 ";|ValidationText|first\rsecond\r\nthird;|Fields|ID\r;|Next|row;");
    doc.EndDocument();
    const LaidOutPage& page = doc.PageAt(1);
    QString joined;
    QStringList others;
    for (const auto& text : page.texts) {
        EXPECT_LE(text.line.width, ValueColumnInner(doc) + 0.5) << text.line.text.toStdString();
        if (text.line.text.startsWith(u'W')) {
            joined += text.line.text;
        }
    }
    EXPECT_EQ(joined.toStdString(), word);
    const QStringList lines = LinesOnPage(doc, 1);
    EXPECT_GE(lines.filter(QStringLiteral("WWW")).size(), 3);
    const qsizetype first = lines.indexOf(QStringLiteral("first"));
    ASSERT_GE(first, 0);
    EXPECT_EQ(lines.value(first + 1), QStringLiteral("second"));
    EXPECT_EQ(lines.value(first + 2), QStringLiteral("third"));
    EXPECT_EQ(doc.Placed()[5].text, "first\rsecond\r\nthird");
    // A break at the end of a cell adds no empty line to the row.
    EXPECT_EQ(doc.Placed()[8].text, "ID\r");
    double idLine = 0;
    double nextLine = 0;
    for (const auto& text : page.texts) {
        idLine = text.line.text == "ID" ? text.origin.y() : idLine;
        nextLine = text.line.text == "Next" ? text.origin.y() : nextLine;
    }
    const double rowPitch = nextLine - idLine;
    ASSERT_GT(rowPitch, 0);
    EXPECT_LT(rowPitch, 2 * page.texts.back().line.height);
}

TEST(QtReportDocument, LongTextWrapsBetweenWords) {
    QtReportDocument doc;
    doc.KeepPlacedTexts(true);
    Begin(doc);
    std::string sql;
    for (int i = 0; i < 60; ++i) {
        sql += "Field" + std::to_string(i) + ", ";
    }
    doc.AddTable("2000|2400|5600;|SQL|SELECT " + sql + "x FROM T;");
    doc.EndDocument();
    const QStringList lines = LinesOnPage(doc, 1).mid(1);
    ASSERT_GT(lines.size(), 3);
    QString rejoined;
    for (const QString& line : lines.mid(1)) {
        EXPECT_FALSE(line.endsWith(u' '));
        // Breaks fall between words: every line ends with a whole field name.
        EXPECT_TRUE(line.endsWith(u',') || line.endsWith(QStringLiteral("T")))
            << line.toStdString();
        rejoined += (rejoined.isEmpty() ? "" : " ") + line;
    }
    EXPECT_EQ(rejoined.toStdString(), "SELECT " + sql + "x FROM T");
}

// Fills page 1 to just above its foot, then adds a row of several lines.
TEST(QtReportDocument, RowStaysOnOnePageUnlessTallerThanAPage) {
    QtReportDocument doc;
    doc.KeepPlacedTexts(true);
    Begin(doc);
    int filler = 0;
    // Until the layout finishes page 1, that is, opens page 2.
    while (doc.PageCount() < 1) {
        doc.AddTable("2000|8000;filler" + std::to_string(filler++) + "|x;");
    }
    // Start again with one row less than the overflow.
    Begin(doc);
    for (int i = 0; i < filler - 1; ++i) {
        doc.AddTable("2000|8000;filler" + std::to_string(i) + "|x;");
    }
    ASSERT_EQ(doc.PageCount(), 0);  // page 1 still open
    doc.AddTable("2000|8000;tall|a\rb\rc\rd\re;");
    doc.EndDocument();
    ASSERT_EQ(doc.PageCount(), 2);
    EXPECT_EQ(LinesOnPage(doc, 2).mid(1), (QStringList{"tall", "a", "b", "c", "d", "e"}));

    // A cell taller than a page runs on over pages, line by line.
    QtReportDocument tall;
    tall.KeepPlacedTexts(true);
    Begin(tall);
    std::string cell;
    for (int i = 0; i < 250; ++i) {
        cell += "line" + std::to_string(i) + "\r";
    }
    tall.AddParagraph("before");
    tall.AddTable("2000|8000;label|" + cell + ";");
    tall.EndDocument();
    ASSERT_GE(tall.PageCount(), 3);
    QStringList all;
    for (int page = 1; page <= tall.PageCount(); ++page) {
        all += LinesOnPage(tall, page).mid(1);
    }
    ASSERT_EQ(all.size(), 2 + 250);
    EXPECT_EQ(all[0], "before");
    EXPECT_EQ(all[1], "label");
    for (int i = 0; i < 250; ++i) {
        EXPECT_EQ(all[2 + i], QStringLiteral("line%1").arg(i));
    }
    EXPECT_EQ(tall.Placed()[1].page, 1);  // the row starts right after "before"
}

// The last row of a table never stands alone on a page: the row before it
// goes over with it. A table that fits stays as it is.
TEST(QtReportDocument, LastRowOfATableDoesNotStandAlone) {
    const auto pageOf = [](const QtReportDocument& doc, const std::string& text) {
        for (const PlacedText& placed : doc.Placed()) {
            if (placed.text == text) {
                return placed.page;
            }
        }
        return -1;
    };
    // Paragraphs fill page 1, then a table of `rows` rows follows.
    const auto layOut = [](QtReportDocument& doc, int fillers, int rows) {
        doc.KeepPlacedTexts(true);
        Begin(doc);
        for (int i = 0; i < fillers; ++i) {
            doc.AddParagraph("filler" + std::to_string(i));
        }
        std::string table = "2000|8000;";
        for (int r = 0; r < rows; ++r) {
            table += "row" + std::to_string(r) + "|x;";
        }
        doc.AddTable(table);
        doc.EndDocument();
    };
    // The first filling at which the last row no longer fits on page 1.
    for (int fillers = 0; fillers < 400; ++fillers) {
        QtReportDocument doc;
        layOut(doc, fillers, 6);
        if (pageOf(doc, "row5") == 1) {
            continue;
        }
        EXPECT_EQ(pageOf(doc, "row3"), 1);
        EXPECT_EQ(pageOf(doc, "row4"), 2) << "the last row was left alone";
        EXPECT_EQ(pageOf(doc, "row5"), 2);
        return;
    }
    ADD_FAILURE() << "the table never reached page 2";
}

TEST(QtReportDocument, TextInOtherScriptsIsKept) {
    QtReportDocument doc;
    doc.KeepPlacedTexts(true);
    Begin(doc);
    const std::vector<std::string> texts = {"Ελληνικά κείμενα", "Кириллица и ещё", "Ärger über Öl",
                                            "日本語のテキスト", "עברית",           "العربية"};
    for (const std::string& t : texts) {
        std::string table = "2000|8000;";
        table.append(t).append("|").append(t).append(";");
        doc.AddTable(table);
    }
    doc.EndDocument();
    const QStringList lines = LinesOnPage(doc, 1);
    for (const std::string& t : texts) {
        EXPECT_EQ(lines.count(QString::fromStdString(t)), 2) << t;
    }
}

TEST(QtReportDocument, EmphasisAndStylesHaveTheirOwnLook) {
    QtReportDocument doc;
    doc.KeepPlacedTexts(true);
    Begin(doc);
    doc.SetHeadingEmphasis(true);
    doc.SetTextSize(12);
    doc.AddParagraph("1 - Database Properties");
    doc.SetTextSize(8);
    doc.SetHeadingEmphasis(false);
    doc.SetObjectHeadingEmphasis(true);
    doc.AddParagraph("Table : Orders");
    doc.SetObjectHeadingEmphasis(false);
    doc.AddParagraph("plain");
    doc.SetTableStyle(0);
    doc.AddTable("2000|8000;a|b;c|d;");
    doc.SetTableStyle(7);
    doc.AddTable("2000|8000;e|f;");
    doc.EndDocument();
    const LaidOutPage& page = doc.PageAt(1);
    auto count = [&](LaidOutPage::Fill fill) {
        return std::count_if(page.shapes.begin(), page.shapes.end(),
                             [&](const LaidOutPage::Shape& s) { return s.fill == fill; });
    };
    EXPECT_EQ(count(LaidOutPage::Fill::Band), 1);        // object heading
    EXPECT_EQ(count(LaidOutPage::Fill::StrongRule), 2);  // under the heading, above table 0
    EXPECT_EQ(count(LaidOutPage::Fill::Rule), 2);        // under each row of table 0
    EXPECT_EQ(count(LaidOutPage::Fill::Grid), 2 + 3);    // style 7: a framed row
    // Heading, object heading and plain text each in their own face.
    ASSERT_GE(page.texts.size(), 4U);
    const auto& heading = page.texts[1];
    const auto& object = page.texts[2];
    const auto& plain = page.texts[3];
    EXPECT_TRUE(doc.Placed()[0].text == "1 - Database Properties");
    EXPECT_NE(heading.face, object.face);
    EXPECT_NE(object.face, plain.face);
}

}  // namespace
}  // namespace ostrel::qtdocument

namespace ostrel::qtdocument {
namespace {

TEST(QtReportDocument, EmptyLinesAtTheFootOpenNoPage) {
    QtReportDocument doc;
    doc.KeepPlacedTexts(true);
    Begin(doc);
    int lines = 0;
    while (doc.PageCount() < 1) {  // until page 2 opens
        doc.AddParagraph("line " + std::to_string(lines++));
    }
    Begin(doc);
    for (int i = 0; i < lines - 1; ++i) {
        doc.AddParagraph("line " + std::to_string(i));
    }
    for (int i = 0; i < 3; ++i) {
        doc.AddParagraph("");
    }
    ASSERT_EQ(doc.PageCount(), 0);  // page 1 still open
    doc.AddParagraph("after");
    doc.EndDocument();
    EXPECT_EQ(doc.PageCount(), 2);
    EXPECT_EQ(doc.Placed().back().page, 2);
    EXPECT_EQ(doc.Placed()[doc.Placed().size() - 2].page, 1);
}

TEST(QtReportDocument, TheEngineReportIsPlacedWhole) {
    std::string error;
    auto write = [&](document::ReportDocument& d) {
        ASSERT_TRUE(sample::WriteEngineReport(d, error)) << error;
    };
    QtReportDocument doc;
    doc.KeepPlacedTexts(true);
    write(doc);
    const std::vector<std::string> handed = HandedTexts(write);
    ASSERT_EQ(doc.Placed().size(), handed.size());
    ASSERT_GT(doc.PageCount(), 2);
    for (std::size_t i = 0; i < handed.size(); ++i) {
        if (handed[i].rfind("Report produced : ", 0) != 0) {  // the clock moves on
            EXPECT_EQ(doc.Placed()[i].text, handed[i]);
        }
    }
    EXPECT_TRUE(doc.Finished());
}

}  // namespace
}  // namespace ostrel::qtdocument

namespace ostrel::qtdocument {
namespace {

// Random bytes (broken UTF-8, control characters, separators, backslashes)
// mixed with words in several scripts: the layout keeps every text and draws
// nothing outside the body of the page.
TEST(QtReportDocument, HostileTextStaysInsideThePage) {
    std::mt19937 random(20261206);
    const std::vector<std::string> pieces = {"word ",
                                             "Ελληνικά ",
                                             "日本語のテキスト",
                                             "العربية ",
                                             "e\xcc\x81",
                                             "\xf0\x9f\x98\x80",
                                             "|",
                                             ";",
                                             "\\",
                                             "\r",
                                             "\n",
                                             "\t",
                                             "\x01",
                                             "\xff\xfe",
                                             std::string(120, 'X'),
                                             std::string(40, ' ')};
    auto randomText = [&] {
        std::string text;
        const int n = static_cast<int>(random() % 12);
        for (int i = 0; i < n; ++i) {
            if (random() % 4 == 0) {
                text.push_back(static_cast<char>(random() % 256));
            } else {
                text += pieces[random() % pieces.size()];
            }
        }
        return text;
    };
    QtReportDocument doc;
    doc.KeepPlacedTexts(true);
    Begin(doc);
    std::size_t expected = 0;
    for (int i = 0; i < 150; ++i) {
        doc.SetTextSize(static_cast<std::int16_t>(random() % 3 == 0 ? 14 : 8));
        doc.SetHeadingEmphasis(random() % 5 == 0);
        doc.SetObjectHeadingEmphasis(random() % 5 == 0);
        doc.SetTableStyle(random() % 2 == 0 ? 0 : 7);
        const std::string paragraph = randomText();
        doc.AddParagraph(paragraph);
        ++expected;
        const std::string table =
            (random() % 2 == 0 ? "2000|2400|5600;" : "300|200|100|50;") + randomText();
        doc.AddTable(table);
        const document::TableData parsed = document::ParseTableText(table);
        expected += parsed.rows.size() * parsed.columnTwips.size();
    }
    doc.EndDocument();
    EXPECT_EQ(doc.Placed().size(), expected);
    const QRectF body = doc.Geometry().body;
    for (int page = 1; page <= doc.PageCount(); ++page) {
        const auto& texts = doc.PageAt(page).texts;
        for (std::size_t i = 1; i < texts.size(); ++i) {  // the caption stands above the body
            const auto& t = texts[i];
            EXPECT_GE(t.origin.x(), body.left() - 0.5);
            EXPECT_LE(t.origin.x() + t.line.width, body.right() + 0.5) << t.line.text.toStdString();
            EXPECT_GE(t.origin.y(), body.top());
            EXPECT_LE(t.origin.y(), body.bottom());
        }
    }
}

}  // namespace
}  // namespace ostrel::qtdocument
