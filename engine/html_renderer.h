#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/html_page.h"
#include "engine/html_text.h"
#include "engine/json_renderer.h"
#include "engine/report_sink.h"
#include "engine/run_ports.h"
#include "engine/value_formatter.h"

namespace ostrel::engine {

// Up to this many objects the page is complete, static HTML; above it, the
// objects' contents travel as compressed data and are rendered as they come
// into view.
inline constexpr std::size_t kStaticObjectLimit = 2000;

// The report as one self-contained HTML page: the same sections, objects and
// rows as the other outputs, a contents sidebar, every object under a stable
// anchor, the relationship diagram inline, and the structured (JSON) form
// embedded as data. The page is written through write at the end, as the
// sidebar lists what the walk has found.
class HtmlRenderer final : public ReportSink {
  public:
    HtmlRenderer(std::function<void(std::string_view)> write, const ValueFormatter& formatter,
                 DiagramSvgWriter diagramSvg);

    void Title(const ReportTitle& title) override;
    void DatabaseSection(const PropertyRows& rows) override;
    void BeginSection(ObjectKind kind) override;
    void Object(const ReportObject& object) override;
    bool TakesDiagram() const override { return static_cast<bool>(diagramSvg_); }
    void EndSection(ObjectKind kind, const diagram::DiagramModel* diagram) override;
    void End() override;

  private:
    // The main content in order: markup, and objects whose bodies are kept
    // apart so that a large report can carry them as data.
    struct Piece {
        std::string html;     // markup; for an object, its anchor
        int object = -1;      // a position in bodies_, for an object or the diagram
        std::string heading;  // an object's heading; empty for the diagram
    };

    int AddBody(std::string body);
    void StartPacking();
    void Pack(std::string_view body, int index);
    void FinishChunk();
    // A large page's diagram: its pages, drawn as they come into view once
    // it is shown.
    std::string DiagramPagesHtml(const diagram::DiagramModel& diagram);
    std::string Rows(const PropertyRows& rows) const;
    std::string Members(const MemberGroup& group) const;
    std::string Value(const PropertyRow& row) const;
    void WriteContent(bool staticPage);

    std::function<void(std::string_view)> write_;
    const ValueFormatter& formatter_;
    DiagramSvgWriter diagramSvg_;
    std::string jsonText_;
    JsonRenderer json_;
    HtmlTitle title_;
    HtmlContents contents_;
    std::vector<Piece> pieces_;
    // The bodies of objects (and the diagram's picture), as they are while
    // the page can be static; once there are more objects than a static page
    // holds, compressed in chunks, each a JSON array of strings, so that the
    // page unpacks only what is shown. The JSON form is then compressed too.
    std::vector<std::string> bodies_;
    int bodyCount_ = 0;
    bool packing_ = false;
    struct PackedChunk {
        std::string text;
        int first = 0;  // the position of its first body
    };
    std::vector<PackedChunk> packedChunks_;
    std::unique_ptr<GzipBase64Stream> chunk_;
    int chunkBodies_ = 0;
    std::size_t chunkText_ = 0;
    int chunkFirst_ = 0;
    std::unique_ptr<GzipBase64Stream> packedJson_;
    // The documented tables and queries (one name space in Jet) by name
    // folded to lower case, with their kind and anchor, for links.
    std::map<std::string, std::pair<ObjectKind, std::string>> sources_;
    // The diagram drawn whole while the page could stay static.
    std::optional<diagram::DiagramModel> wholeDiagram_;
    int sectionObjects_ = 0;
    std::size_t objectCount_ = 0;
};

}  // namespace ostrel::engine
