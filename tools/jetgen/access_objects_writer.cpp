#include "tools/jetgen/access_objects_writer.h"

#include <set>

#include "tools/jetgen/compound_writer.h"
#include "tools/jetgen/generator_error.h"
#include "tools/jetgen/text_codec.h"
#include "tools/jetgen/vba_project_writer.h"

namespace ostrel::jetgen {

namespace {

constexpr std::size_t kPiece = 3992;
// A macro's XML is stored in pieces of at most this many UTF-16 units.
constexpr std::size_t kXmlPieceUnits = 250;

// "\x03DirData": each object's name with the number of its storage.
Bytes DirData(const std::vector<std::string>& names) {
    ByteWriter w;
    w.U32(0);
    for (std::size_t i = 0; i < names.size(); ++i) {
        const Bytes name = Utf8ToUtf16Le(names[i]);
        if (name.size() + 4 > 0xFF) {
            throw GeneratorError("object name \"" + names[i] + "\" is too long");
        }
        w.U8(4);
        w.U8(static_cast<std::uint32_t>(name.size() + 4));
        w.Append(name);
        w.U32(static_cast<std::uint32_t>(i));
    }
    return w.Take();
}

// A macro's Blob: binary records, with the XML (when there is one) in pieces
// marked "_AXL:" and ended by a NUL, each preceded by its length.
Bytes MacroBlob(const std::optional<std::string>& xml) {
    ByteWriter w;
    w.U32(0);
    w.Zeros(28);
    if (!xml) {
        w.U16(0x2D);
        w.Append(std::string_view("An older macro, whose actions are binary.\0\0\0\0", 45));
        return w.Take();
    }
    const Bytes text = Utf8ToUtf16Le(*xml);
    for (std::size_t at = 0; at < text.size(); at += 2 * kXmlPieceUnits) {
        const std::size_t length = std::min(2 * kXmlPieceUnits, text.size() - at);
        w.U16(static_cast<std::uint32_t>(10 + length + 2));
        w.Append(Utf8ToUtf16Le("_AXL:"));
        w.Append(Bytes(text.begin() + static_cast<std::ptrdiff_t>(at),
                       text.begin() + static_cast<std::ptrdiff_t>(at + length)));
        w.U16(0);
        // The binary record Access keeps between pieces.
        w.U32(0);
        w.U32(0x00030000);
        w.Zeros(24);
    }
    return w.Take();
}

void AddObjects(StorageNode& root, const char* folder, const std::vector<std::string>& names,
                const std::vector<Bytes>& blobs) {
    if (names.empty()) {
        return;
    }
    StorageNode& storage = root.Storage(folder);
    storage.Stream(
        "\x03"
        "DirData",
        DirData(names));
    for (std::size_t i = 0; i < names.size(); ++i) {
        storage.Storage(std::to_string(i)).Stream("Blob", blobs[i]);
    }
}

void CheckUnique(std::set<std::string>& seen, const std::string& name, const char* what) {
    if (!seen.insert(name).second) {
        throw GeneratorError(std::string(what) + " \"" + name + "\" is described twice");
    }
}

}  // namespace

bool HasApplication(const DatabaseDescription& db) {
    return !db.forms.empty() || !db.reports.empty() || !db.macros.empty() || !db.modules.empty();
}

std::vector<CatalogEntry> ApplicationEntries(const DatabaseDescription& db,
                                             const std::map<std::string, std::int32_t>& folders,
                                             std::int32_t& nextId) {
    std::vector<CatalogEntry> entries;
    auto add = [&](const char* folder, int type, const auto& objects) {
        for (const auto& o : objects) {
            CatalogEntry e;
            e.id = nextId++;
            e.parentId = folders.at(folder);
            e.name = o.name;
            e.type = type;
            e.created = o.created;
            e.updated = o.updated;
            entries.push_back(std::move(e));
        }
    };
    add("Forms", kObjectForm, db.forms);
    add("Reports", kObjectReport, db.reports);
    add("Scripts", kObjectMacro, db.macros);
    add("Modules", kObjectModule, db.modules);
    return entries;
}

Bytes WriteAccessObjectsFile(const DatabaseDescription& db) {
    std::vector<ProjectModuleSource> modules;
    std::set<std::string> moduleNames;
    for (const ModuleDescription& m : db.modules) {
        CheckUnique(moduleNames, m.name, "module");
        modules.push_back(
            {m.name,
             m.type == ModuleType::Class ? ProjectModuleKind::Class : ProjectModuleKind::Standard,
             m.source});
    }
    StorageNode root;
    struct Documents {
        const char* folder;
        const std::vector<DocumentDescription>* list;
        const char* prefix;
    };
    for (const Documents& kind :
         {Documents{"Forms", &db.forms, "Form_"}, Documents{"Reports", &db.reports, "Report_"}}) {
        const char* folder = kind.folder;
        const char* prefix = kind.prefix;
        const auto* documents = kind.list;
        std::vector<std::string> names;
        std::set<std::string> seen;
        for (const DocumentDescription& d : *documents) {
            CheckUnique(seen, d.name, folder);
            names.push_back(d.name);
            if (d.module) {
                const std::string name = prefix + d.name;
                CheckUnique(moduleNames, name, "module");
                modules.push_back({name, ProjectModuleKind::Document, *d.module});
            }
        }
        AddObjects(root, folder, names, std::vector<Bytes>(names.size(), Bytes(16, 0)));
    }
    std::vector<std::string> macroNames;
    std::vector<Bytes> blobs;
    std::set<std::string> seenMacros;
    for (const MacroDescription& m : db.macros) {
        CheckUnique(seenMacros, m.name, "macro");
        macroNames.push_back(m.name);
        blobs.push_back(MacroBlob(m.xml));
    }
    AddObjects(root, "Scripts", macroNames, blobs);
    if (!modules.empty()) {
        AddVbaProject(root, modules, db.vbaCodePage);
    }
    return WriteCompoundFile(root);
}

std::vector<Row> AccessObjectsRows(const Bytes& compoundFile) {
    std::vector<Row> rows;
    ByteWriter header;
    header.U32(5);
    header.U32(static_cast<std::uint32_t>(compoundFile.size()));
    header.Zeros(kPiece - header.Size());
    rows.push_back(
        {Cell::Blob(std::string(header.Data().begin(), header.Data().end())), Cell::Int(0)});
    for (std::size_t at = 0; at < compoundFile.size(); at += kPiece) {
        std::string piece(compoundFile.begin() + static_cast<std::ptrdiff_t>(at),
                          compoundFile.begin() + static_cast<std::ptrdiff_t>(
                                                     std::min(at + kPiece, compoundFile.size())));
        piece.resize(kPiece, '\0');
        rows.push_back(
            {Cell::Blob(std::move(piece)), Cell::Int(static_cast<std::int64_t>(at / kPiece + 1))});
    }
    return rows;
}

}  // namespace ostrel::jetgen
