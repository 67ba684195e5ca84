#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ostrel::engine {

// The contents sidebar: the sections in order, each with its objects.
class HtmlContents {
  public:
    void Section(std::string_view anchor, std::string_view heading);
    void Object(std::string_view anchor, std::string_view text);
    // The <nav> element with the find box.
    std::string Html() const;

  private:
    std::string items_;
    bool sectionOpen_ = false;
    bool objectsOpen_ = false;
};

// The file name of a path, for the page's title (the path when it has none).
std::string PageFileName(const std::string& path);

// The lines of a report's or a comparison's title block.
struct HtmlTitle {
    std::string heading;             // the page's <h1>
    std::vector<std::string> lines;  // the program, when it was made, the files
};

// A complete page: one self-contained file whose Content-Security-Policy
// allows only its own style sheet and script, by their digests; it loads
// nothing else. The parts are written in order through write.
class HtmlPageWriter {
  public:
    explicit HtmlPageWriter(std::function<void(std::string_view)> write);

    // From the doctype to the start of the report's main content: the head,
    // the sidebar and the title block.
    void Start(const HtmlTitle& title, const HtmlContents& contents);
    void Write(std::string_view html) { write_(html); }
    // A data block: <script type="TYPE" id="ID" ATTRIBUTES>, text as given
    // (the caller makes it safe in a script element).
    void DataBlock(std::string_view id, std::string_view type, std::string_view text,
                   std::string_view attributes = {});
    // The end of the main content; the data blocks follow, then Finish.
    void EndMain();
    void Finish();

  private:
    std::function<void(std::string_view)> write_;
};

}  // namespace ostrel::engine
