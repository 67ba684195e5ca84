#include "engine/html_comparison.h"

#include "engine/comparison_form.h"
#include "engine/html_page.h"
#include "engine/html_text.h"

namespace ostrel::engine {
namespace {

// The change as a symbol and a word, coloured by its class.
std::string ChangeMark(Change change) {
    return "<span class=\"change " + std::string(ChangeWord(change)) +
           "\"><span aria-hidden=\"true\">" + std::string(ChangeSymbol(change)) + "</span> " +
           std::string(ChangeWord(change)) + "</span>";
}

std::string ChangeRows(const std::vector<PropertyChange>& changes,
                       const ValueFormatter& formatter) {
    std::string out;
    for (const PropertyChange& change : changes) {
        const PropertyRow oldRow{change.info, change.oldValue, change.form};
        const PropertyRow newRow{change.info, change.newValue, change.form};
        out += "<tr><th scope=\"row\">" + HtmlEscaped(change.info->rowLabel) +
               "</th><td class=\"value old\">" + HtmlEscaped(RowText(oldRow, formatter, "\r\n")) +
               "</td><td class=\"value new\">" + HtmlEscaped(RowText(newRow, formatter, "\r\n")) +
               "</td></tr>\n";
    }
    return out;
}

constexpr std::string_view kTableHead =
    "<table class=\"changes\">\n<thead><tr><th scope=\"col\">Property</th>"
    "<th scope=\"col\">Old value</th><th scope=\"col\">New value</th></tr></thead>\n";

std::string ObjectHtml(const ObjectComparison& object, const ValueFormatter& formatter) {
    std::string out = "<article class=\"object\" id=\"" + ObjectAnchor(object.kind, object.name) +
                      "\"><h3>" + HtmlEscaped(WordsOf(object.kind).word) + " : " +
                      HtmlEscaped(object.name) + " " + ChangeMark(object.change) + "</h3>\n";
    std::string rows;
    if (!object.properties.empty()) {
        rows += "<tbody>\n" + ChangeRows(object.properties, formatter) + "</tbody>\n";
    }
    for (const MemberKind kind : MemberKindsOf(object.kind)) {
        for (const MemberComparison& member : object.Members(kind)) {
            rows += "<tbody><tr><th class=\"member\" colspan=\"3\" scope=\"rowgroup\">" +
                    HtmlEscaped(WordsOf(kind).caption) + HtmlEscaped(member.name) + " " +
                    ChangeMark(member.change) + "</th></tr>\n" +
                    ChangeRows(member.properties, formatter) + "</tbody>\n";
        }
    }
    if (!rows.empty()) {
        out += std::string(kTableHead) + rows + "</table>\n";
    }
    return out + "</article>\n";
}

std::string SectionHtml(std::string_view id, std::string_view heading, const std::string& body,
                        bool empty) {
    const std::string anchor(id);
    return "<section class=\"part\" id=\"" + anchor + "\" aria-labelledby=\"" + anchor +
           "-heading\">\n<h2 id=\"" + anchor + "-heading\">" + HtmlEscaped(heading) + "</h2>\n" +
           (empty ? "<p>No differences</p>\n" : body) + "</section>\n";
}

}  // namespace

void WriteComparisonHtml(const Comparison& comparison, const HtmlComparisonTitle& title,
                         const ValueFormatter& formatter, std::string_view json,
                         const std::function<void(std::string_view)>& write) {
    HtmlContents contents;
    const std::string databaseHeading = "1 - Database Properties";
    contents.Section("database", databaseHeading);
    std::string main =
        SectionHtml("database", databaseHeading,
                    std::string(kTableHead) + "<tbody>\n" +
                        ChangeRows(comparison.database, formatter) + "</tbody>\n</table>\n",
                    comparison.database.empty());
    for (const ObjectKind kind : kObjectKinds) {
        const KindWords& words = WordsOf(kind);
        contents.Section(words.jsonKey, words.heading);
        std::string body;
        for (const ObjectComparison& object : comparison.Objects(kind)) {
            contents.Object(ObjectAnchor(kind, object.name),
                            std::string(ChangeSymbol(object.change)) + " " + object.name);
            body += ObjectHtml(object, formatter);
        }
        main += SectionHtml(words.jsonKey, words.heading, body, comparison.Objects(kind).empty());
    }
    HtmlPageWriter page(write);
    page.Start({PageFileName(title.oldPath) + " and " + PageFileName(title.newPath) +
                    " - Ostrel2 comparison",
                {title.programLine, "Comparison produced : " + title.producedText,
                 "Old database : " + title.oldPath, "New database : " + title.newPath}},
               contents);
    page.Write(main);
    page.EndMain();
    page.DataBlock("report-json", "application/json", ScriptSafeJson(json));
    page.Finish();
}

}  // namespace ostrel::engine
