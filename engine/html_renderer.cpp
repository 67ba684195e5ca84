#include "engine/html_renderer.h"

#include <algorithm>

#include "engine/html_code.h"
#include "engine/html_links.h"
#include "engine/html_text.h"

namespace ostrel::engine {
namespace {

// Text is handed on in pieces of about this size.
constexpr std::size_t kPiece = std::size_t{1} << 20;
// A compressed chunk of a large page holds up to this many bodies, and ends
// after the body that takes it to this much text: a jump unpacks one chunk,
// and a large object's is then its own.
constexpr int kChunkBodies = 10;
constexpr std::size_t kChunkText = std::size_t{32} << 10;

std::string Folded(std::string_view name) {
    std::string folded(name);
    std::transform(folded.begin(), folded.end(), folded.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    return folded;
}

std::string SectionOpen(std::string_view id, std::string_view heading) {
    const std::string anchor(id);
    return "<section class=\"part\" id=\"" + anchor + "\" aria-labelledby=\"" + anchor +
           "-heading\">\n<h2 id=\"" + anchor + "-heading\">" + HtmlEscaped(heading) + "</h2>\n";
}

// The relationship rows that name a table.
bool NamesTable(const PropertyRow& row) {
    return row.info->key == "Relationship Table" || row.info->key == "Relationship ForeignTable";
}

// An SVG document as an element of the page: without its XML declaration.
std::string InlineSvg(std::string svg) {
    if (svg.starts_with("<?xml")) {
        const std::size_t end = svg.find("?>");
        svg.erase(0, end == std::string::npos ? svg.size() : end + 2);
    }
    return svg;
}

// The value of an attribute of an SVG document's root element, without its
// unit ("451.3pt": "451.3"); empty when it has none.
std::string RootLength(const std::string& svg, std::string_view name) {
    const std::size_t root = svg.find("<svg");
    const std::size_t end = svg.find('>', root);
    const std::string key = " " + std::string(name) + "=\"";
    const std::size_t at = svg.find(key, root);
    if (root == std::string::npos || end == std::string::npos || at == std::string::npos ||
        at > end) {
        return {};
    }
    std::string value =
        svg.substr(at + key.size(), svg.find('"', at + key.size()) - at - key.size());
    while (!value.empty() && (value.back() < '0' || value.back() > '9')) {
        value.pop_back();
    }
    return value.find_first_not_of("0123456789.") == std::string::npos ? value : std::string();
}

}  // namespace

HtmlRenderer::HtmlRenderer(std::function<void(std::string_view)> write,
                           const ValueFormatter& formatter, DiagramSvgWriter diagramSvg)
    : write_(std::move(write)),
      formatter_(formatter),
      diagramSvg_(std::move(diagramSvg)),
      json_([this](std::string_view text) {
          if (packedJson_) {
              packedJson_->Append(text);
          } else {
              jsonText_.append(text);
          }
      }) {}

int HtmlRenderer::AddBody(std::string body) {
    if (packing_) {
        Pack(body, bodyCount_);
    } else {
        bodies_.push_back(std::move(body));
    }
    return bodyCount_++;
}

void HtmlRenderer::Pack(std::string_view body, int index) {
    if (!chunk_) {
        chunk_ = std::make_unique<GzipBase64Stream>();
        chunkBodies_ = 0;
        chunkText_ = 0;
        chunkFirst_ = index;
    }
    std::string element = chunkBodies_ == 0 ? "[" : ",";
    AppendJsonString(element, body);
    chunk_->Append(element);
    chunkText_ += element.size();
    if (++chunkBodies_ == kChunkBodies || chunkText_ >= kChunkText) {
        FinishChunk();
    }
}

void HtmlRenderer::FinishChunk() {
    chunk_->Append("]");
    packedChunks_.push_back({chunk_->Finish(), chunkFirst_});
    chunk_.reset();
}

void HtmlRenderer::StartPacking() {
    packing_ = true;
    // The whole diagram gives way to its pages.
    Piece* diagram = nullptr;
    for (Piece& piece : pieces_) {
        if (piece.object >= 0 && piece.heading.empty()) {
            diagram = &piece;
            bodies_[static_cast<std::size_t>(piece.object)].clear();
        }
    }
    for (std::size_t i = 0; i < bodies_.size(); ++i) {
        Pack(bodies_[i], static_cast<int>(i));
    }
    std::vector<std::string>().swap(bodies_);
    if (diagram != nullptr && wholeDiagram_) {
        *diagram = {DiagramPagesHtml(*wholeDiagram_), -1, {}};
    }
    wholeDiagram_.reset();
    packedJson_ = std::make_unique<GzipBase64Stream>();
    packedJson_->Append(jsonText_);
    std::string().swap(jsonText_);
}

void HtmlRenderer::Title(const ReportTitle& title) {
    json_.Title(title);
    title_.heading = PageFileName(title.databasePath) + " - Ostrel2 report";
    title_.lines = {title.programLine, "Report produced : " + title.producedText,
                    "On contents of : " + title.databasePath};
}

std::string HtmlRenderer::Value(const PropertyRow& row) const {
    const std::string text = RowText(row, formatter_, "\r\n");
    if (row.form == TextForm::Sql) {
        return SqlHtml(text, [this](std::string_view name) -> std::optional<std::string> {
            const auto found = sources_.find(Folded(name));
            if (found == sources_.end()) {
                return std::nullopt;
            }
            return found->second.second;
        });
    }
    if (NamesTable(row)) {
        const auto found = sources_.find(Folded(text));
        if (found != sources_.end() && found->second.first == ObjectKind::Table) {
            return "<a href=\"#" + found->second.second + "\">" + HtmlEscaped(text) + "</a>";
        }
    }
    return HtmlEscaped(text);
}

std::string HtmlRenderer::Rows(const PropertyRows& rows) const {
    std::string out;
    for (const PropertyRow& row : rows) {
        out += "<tr><th scope=\"row\">" + HtmlEscaped(row.Label()) + "</th><td class=\"value\">" +
               Value(row) + "</td></tr>\n";
    }
    return out;
}

std::string HtmlRenderer::Members(const MemberGroup& group) const {
    const MemberWords& words = WordsOf(group.kind);
    std::string out = "<table class=\"members " + std::string(words.jsonKey) + "\">\n";
    for (const Member& member : group.members) {
        out += "<tbody><tr><th class=\"member\" colspan=\"2\" scope=\"rowgroup\">" +
               HtmlEscaped(words.caption) + HtmlEscaped(member.name) + "</th></tr>\n" +
               Rows(member.rows) + "</tbody>\n";
    }
    return out + "</table>\n";
}

void HtmlRenderer::DatabaseSection(const PropertyRows& rows) {
    json_.DatabaseSection(rows);
    const std::string heading = "1 - Database Properties";
    contents_.Section("database", heading);
    std::string html = SectionOpen("database", heading);
    if (rows.empty()) {
        html += "<p>None requested</p>\n";
    } else {
        html += "<table class=\"properties\">\n<tbody>\n" + Rows(rows) + "</tbody>\n</table>\n";
    }
    pieces_.push_back({html + "</section>\n", -1, {}});
}

void HtmlRenderer::BeginSection(ObjectKind kind) {
    json_.BeginSection(kind);
    const KindWords& words = WordsOf(kind);
    contents_.Section(words.jsonKey, words.heading);
    pieces_.push_back({SectionOpen(words.jsonKey, words.heading), -1, {}});
    sectionObjects_ = 0;
}

void HtmlRenderer::Object(const ReportObject& object) {
    json_.Object(object);
    const KindWords& words = WordsOf(object.kind);
    const std::string anchor = ObjectAnchor(object.kind, object.name);
    if (object.kind == ObjectKind::Table || object.kind == ObjectKind::Query) {
        sources_.emplace(Folded(object.name), std::make_pair(object.kind, anchor));
    }
    contents_.Object(anchor, object.name);

    std::string body;
    if (!object.properties.empty()) {
        body += "<table class=\"properties\">\n<tbody>\n" + Rows(object.properties) +
                "</tbody>\n</table>\n";
    }
    if (object.unlisted) {
        body += "<p class=\"empty\">Fields cannot be listed because " +
                HtmlEscaped(*object.unlisted) + "</p>\n";
    }
    for (const MemberGroup& group : object.groups) {
        if (!group.members.empty()) {
            body += Members(group);
        }
    }
    if (object.text) {
        body += CodeBlockHtml(*object.text);
    }
    if (++objectCount_ == kStaticObjectLimit + 1) {
        StartPacking();
    }
    pieces_.push_back(
        {anchor, AddBody(std::move(body)),
         "<h3>" + HtmlEscaped(words.word) + " : " + HtmlEscaped(object.name) + "</h3>"});
    ++sectionObjects_;
}

void HtmlRenderer::EndSection(ObjectKind kind, const diagram::DiagramModel* diagram) {
    json_.EndSection(kind, diagram);
    std::string html;
    if (sectionObjects_ == 0) {
        html += "<p>None requested</p>\n";
    }
    if (diagram != nullptr && diagramSvg_) {
        pieces_.push_back({html, -1, {}});
        html.clear();
        if (packing_) {
            pieces_.push_back({DiagramPagesHtml(*diagram), -1, {}});
        } else {
            // Whole while the page may stay static; drawn again as pages
            // should it turn large.
            std::vector<std::string> svg = diagramSvg_(*diagram, DiagramForm::Whole);
            svg.resize(1);
            pieces_.push_back({{}, AddBody(InlineSvg(std::move(svg[0]))), {}});
            wholeDiagram_ = *diagram;
        }
    }
    pieces_.push_back({html + "</section>\n", -1, {}});
}

std::string HtmlRenderer::DiagramPagesHtml(const diagram::DiagramModel& diagram) {
    std::vector<std::string> pages = diagramSvg_(diagram, DiagramForm::Pages);
    std::string html =
        "<figure class=\"diagram paged\" aria-label=\"Relationship diagram\">"
        "<p class=\"pending-note\">The diagram of " +
        std::to_string(diagram.tables.size()) + " tables on " + std::to_string(pages.size()) +
        (pages.size() == 1 ? " page" : " pages") +
        " is drawn when asked for, each page as it comes into view.</p><button type=\"button\" "
        "class=\"show-diagram\">Show the diagram</button>\n";
    // Numbered as the pages' "continued on page N" labels count them.
    int number = 1;
    for (std::string& page : pages) {
        const std::string width = RootLength(page, "width");
        const std::string height = RootLength(page, "height");
        html += "<div class=\"diagram-page pending\" hidden data-page=\"" + std::to_string(number) +
                "\"";
        ++number;
        html += " data-object=\"";
        html += std::to_string(AddBody(InlineSvg(std::move(page))));
        html += "\" data-width=\"" + width;
        html += "\" data-height=\"" + height + "\"></div>\n";
    }
    return html + "</figure>\n";
}

void HtmlRenderer::WriteContent(bool staticPage) {
    std::string out;
    for (const Piece& piece : pieces_) {
        if (piece.object < 0) {
            out += piece.html;
        } else if (piece.heading.empty() && staticPage) {
            out += "<figure class=\"diagram\" aria-label=\"Relationship diagram\">\n" +
                   bodies_[static_cast<std::size_t>(piece.object)] + "</figure>\n";
        } else if (staticPage) {
            out += "<article class=\"object\" id=\"" + piece.html + "\">" + piece.heading + "\n";
            out += bodies_[static_cast<std::size_t>(piece.object)];
            out += "</article>\n";
        } else {
            // Rendered from the data as it comes into view: the heading alone
            // until then, as few elements as can be.
            out += "<article class=\"object lazy pending\" id=\"" + piece.html +
                   "\" data-object=\"" + std::to_string(piece.object) + "\">" + piece.heading +
                   "</article>";
        }
        if (out.size() >= kPiece) {
            write_(out);
            out.clear();
        }
    }
    write_(out);
}

void HtmlRenderer::End() {
    json_.End();
    const bool staticPage = !packing_;
    if (!staticPage) {
        title_.lines.push_back(
            "This report holds " + std::to_string(objectCount_) +
            " objects: their details are shown as they come into view, and need scripts. "
            "To print it, make the PDF form of the report.");
    }
    HtmlPageWriter page(write_);
    page.Start(title_, contents_);
    WriteContent(staticPage);
    page.EndMain();
    if (staticPage) {
        page.DataBlock("report-json", "application/json", ScriptSafeJson(jsonText_));
    } else {
        if (chunk_) {
            FinishChunk();
        }
        for (std::size_t i = 0; i < packedChunks_.size(); ++i) {
            page.DataBlock("report-objects-" + std::to_string(i), "application/octet-stream",
                           packedChunks_[i].text,
                           " data-encoding=\"gzip+base64\" data-first=\"" +
                               std::to_string(packedChunks_[i].first) + "\"");
            std::string().swap(packedChunks_[i].text);
        }
        page.DataBlock("report-json", "application/octet-stream", packedJson_->Finish(),
                       " data-encoding=\"gzip+base64\"");
    }
    page.Finish();
}

}  // namespace ostrel::engine
