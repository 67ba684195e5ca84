#include "engine/report_forms.h"

#include "engine/code_lines.h"

namespace ostrel::engine {

void FormsRenderer::Title(const ReportTitle& title) {
    writer_.TitleBlock({title.programLine, "Report produced : " + title.producedText,
                        "On contents of : " + title.databasePath});
}

bool FormsRenderer::AppendRows(TableText& text, const PropertyRows& rows) const {
    std::string scratch;
    for (const PropertyRow& row : rows) {
        text.AppendRow(row.Label(), RowTextView(row, formatter_, writer_.RowSeparator(), scratch));
    }
    return !rows.empty();
}

bool FormsRenderer::AppendMembers(TableText& text, const MemberGroup& group) const {
    const MemberWords& words = WordsOf(group.kind);
    std::size_t rows = 0;
    for (const Member& member : group.members) {
        rows += member.rows.size() + 1;
    }
    text.ReserveRows(rows);
    bool appended = false;
    for (const Member& member : group.members) {
        text.AppendCaption(words.caption, member.name);
        appended = AppendRows(text, member.rows) || appended;
        if (group.kind != MemberKind::Parameter) {
            text.EndRow();
        }
    }
    return appended;
}

void FormsRenderer::DatabaseSection(const PropertyRows& rows) {
    writer_.SectionHeading("1 - Database Properties");
    TableText table(writer_);
    for (const PropertyRow& row : rows) {
        table.AppendPair(row.Label(), RowText(row, formatter_, writer_.RowSeparator()));
    }
    if (!table.Empty()) {
        writer_.PropertyTable(kTwoColumns, table);
        writer_.EmptyLine();
    } else {
        writer_.NoneRequested();
    }
    writer_.SectionEnd();
}

void FormsRenderer::BeginSection(ObjectKind kind) {
    writer_.SectionHeading(std::string(WordsOf(kind).heading));
    anyWritten_ = false;
}

void FormsRenderer::Object(const ReportObject& object) {
    switch (object.kind) {
        case ObjectKind::Table:
            Table(object);
            return;
        case ObjectKind::Relationship:
            Relationship(object);
            return;
        case ObjectKind::Query:
            Query(object);
            return;
        case ObjectKind::Form:
        case ObjectKind::Report:
        case ObjectKind::Macro:
        case ObjectKind::Module:
            ApplicationObject(object);
            return;
    }
}

// The heading comes whenever there is anything to show: a row, a note or
// the text. A part that cannot be read is said in a "Note" row.
void FormsRenderer::ApplicationObject(const ReportObject& object) {
    TableText text(writer_);
    AppendRows(text, object.properties);
    if (object.unlisted) {
        text.AppendRow("Note", "cannot be read: " + *object.unlisted);
    } else if (object.note) {
        text.AppendRow("Note", *object.note);
    }
    if (text.Empty() && !object.text) {
        return;
    }
    writer_.ObjectHeading(WordsOf(object.kind).word, object.name);
    if (!text.Empty()) {
        writer_.PropertyTable(kThreeColumns, text);
        writer_.EmptyLine();
    }
    if (object.text) {
        writer_.Code(CodeLines(object.text->Shown()), object.text->firstLine);
        writer_.EmptyLine();
    }
    anyWritten_ = true;
}

// A table is written when any of its rows is: its own, its fields' or its
// indexes'. In the preview each of the three tables is followed by an empty
// line even when it holds nothing; in CSV only the ones written are.
void FormsRenderer::Table(const ReportObject& object) {
    TableText tableText(writer_);
    TableText fieldText(writer_);
    TableText indexText(writer_);
    bool written = AppendRows(tableText, object.properties);
    if (object.unlisted) {
        fieldText.AppendRow("Fields", "cannot be listed because " + *object.unlisted);
        written = true;
    } else {
        if (const MemberGroup* fields = object.Group(MemberKind::Field)) {
            written = AppendMembers(fieldText, *fields) || written;
        }
        if (const MemberGroup* indexes = object.Group(MemberKind::Index)) {
            written = AppendMembers(indexText, *indexes) || written;
        }
    }
    if (!written) {
        return;
    }
    writer_.ObjectHeading(WordsOf(object.kind).word, object.name);
    for (TableText* text : {&tableText, &fieldText, &indexText}) {
        if (!text->Empty()) {
            writer_.PropertyTable(kThreeColumns, *text);
            writer_.EmptyLine();
        } else if (writer_.Target() == ReportTarget::Preview) {
            writer_.EmptyLine();
        }
    }
    anyWritten_ = true;
}

void FormsRenderer::Relationship(const ReportObject& object) {
    TableText text(writer_);
    AppendRows(text, object.properties);
    if (text.Empty()) {
        return;
    }
    writer_.ObjectHeading(WordsOf(object.kind).word, object.name);
    writer_.PropertyTable(kThreeColumns, text);
    writer_.EmptyLine();
    anyWritten_ = true;
}

// The heading comes with the query's own rows; its parameter blocks are
// written when they hold rows, even when the query's own rows are all off.
void FormsRenderer::Query(const ReportObject& object) {
    TableText text(writer_);
    TableText parameterText(writer_);
    AppendRows(text, object.properties);
    bool parameterRows = false;
    if (const MemberGroup* parameters = object.Group(MemberKind::Parameter)) {
        parameterRows = AppendMembers(parameterText, *parameters);
    }
    if (!text.Empty()) {
        writer_.ObjectHeading(WordsOf(object.kind).word, object.name);
        writer_.PropertyTable(kThreeColumns, text);
        writer_.EmptyLine();
        anyWritten_ = true;
    }
    if (parameterRows) {
        writer_.PropertyTable(kThreeColumns, parameterText);
        writer_.EmptyLine();
        anyWritten_ = true;
    }
}

void FormsRenderer::EndSection(ObjectKind /*kind*/, const diagram::DiagramModel* diagram) {
    if (!anyWritten_) {
        writer_.NoneRequested();
    }
    if (diagram != nullptr) {
        writer_.Diagram(*diagram);
    }
    writer_.SectionEnd();
}

}  // namespace ostrel::engine
