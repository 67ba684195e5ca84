#include "engine/html_page.h"

#include <filesystem>

#include "engine/html_assets.h"
#include "engine/html_text.h"

namespace ostrel::engine {

std::string PageFileName(const std::string& path) {
    const std::string name = std::filesystem::path(path).filename().string();
    return name.empty() ? path : name;
}

void HtmlContents::Section(std::string_view anchor, std::string_view heading) {
    if (objectsOpen_) {
        items_ += "</ol>";
        objectsOpen_ = false;
    }
    if (sectionOpen_) {
        items_ += "</li>\n";
    }
    items_ += "<li><a class=\"section\" href=\"#" + std::string(anchor) + "\">" +
              HtmlEscaped(heading) + "</a>";
    sectionOpen_ = true;
}

void HtmlContents::Object(std::string_view anchor, std::string_view text) {
    if (!objectsOpen_) {
        items_ += "<ol>\n";
        objectsOpen_ = true;
    }
    items_ += "<li><a class=\"object-link\" href=\"#" + std::string(anchor) + "\">" +
              HtmlEscaped(text) + "</a></li>\n";
}

std::string HtmlContents::Html() const {
    std::string out =
        "<nav id=\"contents\" aria-label=\"Contents\">\n"
        "<div role=\"search\"><label for=\"find\">Find an object</label>"
        "<input id=\"find\" type=\"search\" autocomplete=\"off\" spellcheck=\"false\" "
        "aria-describedby=\"find-count\" aria-keyshortcuts=\"/\" placeholder=\"Name (press /)\">"
        "<div id=\"find-count\" aria-live=\"polite\"></div></div>\n<ol>\n";
    out += items_;
    if (objectsOpen_) {
        out += "</ol>";
    }
    if (sectionOpen_) {
        out += "</li>\n";
    }
    return out + "</ol>\n</nav>\n";
}

HtmlPageWriter::HtmlPageWriter(std::function<void(std::string_view)> write)
    : write_(std::move(write)) {}

void HtmlPageWriter::Start(const HtmlTitle& title, const HtmlContents& contents) {
    const std::string policy = "default-src 'none'; style-src 'sha256-" +
                               Sha256Base64(HtmlStyleSheet()) + "'; script-src 'sha256-" +
                               Sha256Base64(HtmlScript()) +
                               "'; img-src data:; base-uri 'none'; form-action 'none'";
    std::string out =
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<meta http-equiv=\"Content-Security-Policy\" content=\"" +
        policy +
        "\">\n<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
        "<meta name=\"color-scheme\" content=\"light dark\">\n"
        "<meta name=\"generator\" content=\"Ostrel2\">\n<title>" +
        HtmlEscaped(title.heading) + "</title>\n<style>";
    out += HtmlStyleSheet();
    out +=
        "</style>\n</head>\n<body>\n<a class=\"skip\" href=\"#main\">Skip to the report</a>\n"
        "<div class=\"layout\">\n";
    out += contents.Html();
    out += "<main id=\"main\" tabindex=\"-1\">\n<header class=\"title\">\n<h1>" +
           HtmlEscaped(title.heading) + "</h1>\n";
    for (const std::string& line : title.lines) {
        out += "<p>" + HtmlEscaped(line) + "</p>\n";
    }
    out += "</header>\n";
    write_(out);
}

void HtmlPageWriter::DataBlock(std::string_view id, std::string_view type, std::string_view text,
                               std::string_view attributes) {
    write_("<script type=\"" + std::string(type) + "\" id=\"" + std::string(id) + "\"" +
           std::string(attributes) + ">");
    write_(text);
    write_("</script>\n");
}

void HtmlPageWriter::EndMain() {
    write_("</main>\n</div>\n");
}

void HtmlPageWriter::Finish() {
    std::string out = "<script>";
    out += HtmlScript();
    out += "</script>\n</body>\n</html>\n";
    write_(out);
}

}  // namespace ostrel::engine
