#include "engine/json_renderer.h"

namespace ostrel::engine {
namespace {

// Text is handed on in pieces of about this size.
constexpr std::size_t kPiece = std::size_t{1} << 20;

}  // namespace

JsonRenderer::JsonRenderer(std::function<void(std::string_view)> write)
    : write_(std::move(write)), json_(text_) {}

void JsonRenderer::Flush(bool always) {
    if (!text_.empty() && (always || text_.size() >= kPiece)) {
        write_(text_);
        text_.clear();
    }
}

void JsonRenderer::Title(const ReportTitle& title) {
    json_.BeginObject();
    json_.Header("ostrel2-report", kJsonReportVersion, {title.programLine, title.produced});
    databasePath_ = title.databasePath;
}

void JsonRenderer::DatabaseSection(const PropertyRows& rows) {
    json_.Key("database");
    json_.BeginObject();
    json_.Key("path");
    json_.Text(databasePath_);
    json_.Key("properties");
    json_.Properties(rows);
    json_.EndObject();
}

void JsonRenderer::BeginSection(ObjectKind kind) {
    if (IsApplicationKind(kind)) {
        pending_ = kind;
        sectionOpen_ = false;
        return;
    }
    json_.Key(WordsOf(kind).jsonKey);
    json_.BeginObject();
    sectionOpen_ = true;
}

void JsonRenderer::Object(const ReportObject& object) {
    if (pending_) {
        json_.Key(WordsOf(*pending_).jsonKey);
        json_.BeginObject();
        pending_.reset();
        sectionOpen_ = true;
    }
    json_.Key(object.name);
    json_.BeginObject();
    json_.Key("properties");
    json_.Properties(object.properties);
    for (const MemberKind kind : MemberKindsOf(object.kind)) {
        json_.Key(WordsOf(kind).jsonKey);
        json_.BeginObject();
        if (const MemberGroup* group = object.Group(kind)) {
            for (const Member& member : group->members) {
                json_.Key(member.name);
                json_.BeginObject();
                json_.Key("properties");
                json_.Properties(member.rows);
                json_.EndObject();
            }
        }
        json_.EndObject();
    }
    if (object.unlisted && !IsApplicationKind(object.kind)) {
        // A linked table whose source cannot be read: why, in place of the
        // fields and indexes.
        json_.Key("fieldsNotListed");
        json_.Text(*object.unlisted);
    }
    if (IsApplicationKind(object.kind)) {
        ApplicationMembers(object);
    }
    json_.EndObject();
    Flush(false);
}

// A module's whole stored text, a macro's XML, and what could not be read.
void JsonRenderer::ApplicationMembers(const ReportObject& object) {
    if (object.text) {
        json_.Key(object.text->form == ObjectText::Form::Xml ? "xml" : "source");
        json_.Text(object.text->text);
    }
    if (object.unlisted) {
        json_.Key("note");
        json_.Text("cannot be read: " + *object.unlisted);
    } else if (object.note) {
        json_.Key("note");
        json_.Text(*object.note);
    }
}

void JsonRenderer::EndSection(ObjectKind /*kind*/, const diagram::DiagramModel* /*diagram*/) {
    pending_.reset();
    if (sectionOpen_) {
        json_.EndObject();
    }
    sectionOpen_ = false;
}

void JsonRenderer::End() {
    json_.EndObject();
    Flush(true);
}

}  // namespace ostrel::engine
