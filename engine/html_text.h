#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "engine/report_model.h"

namespace ostrel::engine {

// Text as HTML content or as a quoted attribute value: the five characters
// HTML gives a meaning (& < > " ') become references, text that is not
// valid UTF-8 and characters HTML does not allow (NUL and other controls
// but tab and line ends) become the replacement character.
std::string HtmlEscaped(std::string_view text);
void AppendHtmlEscaped(std::string& out, std::string_view text);

// A name as a fragment identifier: every byte of its UTF-8 form outside
// A-Z a-z 0-9 _ - as %XX ("Order Details" gives "Order%20Details").
std::string PercentEncoded(std::string_view text);

// The stable anchor of an object: its kind, a hyphen and its encoded name
// ("table-Order%20Details"). The same text is the element's id and the
// link's fragment.
std::string ObjectAnchor(ObjectKind kind, std::string_view name);

// JSON text made safe inside a <script> element: every "<" (which JSON only
// has inside strings) becomes \u003c, so that nothing in it can end the
// element or open a comment.
std::string ScriptSafeJson(std::string_view json);

// The SHA-256 digest of the text in base64, as a Content-Security-Policy
// source names it ("sha256-" is not included).
std::string Sha256Base64(std::string_view text);

// Compresses text given in pieces in the gzip format; the result comes in
// base64, for a page to carry. Never holds more than the compressed text.
class GzipBase64Stream {
  public:
    GzipBase64Stream();
    ~GzipBase64Stream();
    GzipBase64Stream(const GzipBase64Stream&) = delete;
    GzipBase64Stream& operator=(const GzipBase64Stream&) = delete;

    void Append(std::string_view text);
    // The whole compressed text in base64; nothing may be appended after.
    std::string Finish();

  private:
    void Deflate(std::string_view text, bool finish);

    struct State;
    std::unique_ptr<State> state_;
    std::string packed_;
};

// Appends text as a JSON string, in quotes. The text must be valid UTF-8
// (as HtmlEscaped makes it).
void AppendJsonString(std::string& out, std::string_view text);

}  // namespace ostrel::engine
