// The pieces of the HTML page that turn names and file text into markup.
#include <gtest/gtest.h>

#include "engine/html_code.h"
#include "engine/html_links.h"
#include "engine/html_text.h"

namespace ostrel::engine {
namespace {

TEST(HtmlTextTest, EscapesMarkupAndReplacesWhatHtmlCannotCarry) {
    EXPECT_EQ(HtmlEscaped("<a href=\"x\" title='y'>&</a>"),
              "&lt;a href=&quot;x&quot; title=&#39;y&#39;&gt;&amp;&lt;/a&gt;");
    EXPECT_EQ(HtmlEscaped("Ünï Ταβλε 😀\t\r\n"), "Ünï Ταβλε 😀\t\r\n");
    const std::string replacement = "\xEF\xBF\xBD";
    // A lone continuation byte, a truncated sequence, an overlong slash, an
    // encoded surrogate, NUL and DEL.
    EXPECT_EQ(HtmlEscaped("a\x80"
                          "b"),
              "a" + replacement + "b");
    EXPECT_EQ(HtmlEscaped("\xC3"), replacement);
    EXPECT_EQ(HtmlEscaped("\xC0\xAF"), replacement + replacement);
    EXPECT_EQ(HtmlEscaped("\xED\xA0\x80"), replacement + replacement + replacement);
    EXPECT_EQ(HtmlEscaped(std::string("x\0y\x7F", 4)), "x" + replacement + "y" + replacement);
}

TEST(HtmlTextTest, AnchorsEncodeEveryByteOutsideTheirAlphabet) {
    EXPECT_EQ(ObjectAnchor(ObjectKind::Table, "Order Details"), "table-Order%20Details");
    EXPECT_EQ(ObjectAnchor(ObjectKind::Query, "Ü_x-1%"), "query-%C3%9C_x-1%25");
    EXPECT_EQ(ObjectAnchor(ObjectKind::Relationship, "\"><i>"), "relationship-%22%3E%3Ci%3E");
    EXPECT_EQ(ScriptSafeJson(R"({"</script><!--":"<"})"),
              R"({"\u003c/script>\u003c!--":"\u003c"})");
}

TEST(HtmlTextTest, CodeKeepsItsLineNumbersAndMarksCommentsStringsAndKeywords) {
    ObjectText text;
    text.text = "Attribute VB_Name = \"A\"\r\nSub A()\r\n  x = \"<b>\"\"\"' no\rEnd Sub\n' </pre>";
    text.hiddenLength = text.text.find("Sub");
    text.firstLine = 7;
    const std::string html = CodeBlockHtml(text);
    // The editor's hidden header is not shown and takes no number.
    EXPECT_EQ(html.find("VB_Name"), std::string::npos) << html;
    EXPECT_NE(html.find("<span class=\"no\" aria-hidden=\"true\">7</span><span class=\"k\">Sub"
                        "</span> A()\n"),
              std::string::npos)
        << html;
    EXPECT_NE(html.find("<span class=\"s\">&quot;&lt;b&gt;&quot;&quot;&quot;</span>"
                        "<span class=\"c\">&#39; no</span>\n"),
              std::string::npos)
        << html;
    EXPECT_NE(html.find(">9</span><span class=\"k\">End</span> <span class=\"k\">Sub</span>\n"),
              std::string::npos)
        << html;
    EXPECT_NE(html.find(">10</span><span class=\"c\">&#39; &lt;/pre&gt;</span>\n</code></pre>"),
              std::string::npos)
        << html;
}

TEST(HtmlTextTest, SqlLinksTheObjectsItReadsAndWritesOnly) {
    const auto anchorOf = [](std::string_view name) -> std::optional<std::string> {
        if (name == "Orders" || name == "Order Details" || name == "Old") {
            return "table-" + PercentEncoded(name);
        }
        return std::nullopt;
    };
    EXPECT_EQ(SqlHtml("SELECT Orders.Id FROM Orders INNER JOIN [Order Details] ON Orders.Id = "
                      "[Order Details].Id WHERE Note = 'FROM Orders';",
                      anchorOf),
              "SELECT Orders.Id FROM <a href=\"#table-Orders\">Orders</a> INNER JOIN "
              "<a href=\"#table-Order%20Details\">[Order Details]</a> ON Orders.Id = "
              "[Order Details].Id WHERE Note = &#39;FROM Orders&#39;;");
    EXPECT_EQ(SqlHtml("INSERT INTO Old SELECT * FROM [<i>], Orders", anchorOf),
              "INSERT INTO <a href=\"#table-Old\">Old</a> SELECT * FROM [&lt;i&gt;], "
              "<a href=\"#table-Orders\">Orders</a>");
}

}  // namespace
}  // namespace ostrel::engine
