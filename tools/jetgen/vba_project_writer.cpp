#include "tools/jetgen/vba_project_writer.h"

#include <iconv.h>

#include "tools/jetgen/generator_error.h"
#include "tools/jetgen/text_codec.h"
#include "tools/jetgen/vba_compressor.h"

namespace ostrel::jetgen {

namespace {

// Bytes a real module keeps before its source (its compiled state); the
// directory's offset points past them.
constexpr std::size_t kCompiledStateSize = 24;

// Writes the records of the "dir" stream: an id, a four-byte size, the data.
class DirWriter {
  public:
    void Record(std::uint16_t id, const Bytes& data) {
        out_.U16(id);
        out_.U32(static_cast<std::uint32_t>(data.size()));
        out_.Append(data);
    }
    void U32(std::uint16_t id, std::uint32_t v) {
        ByteWriter w;
        w.U32(v);
        Record(id, w.Data());
    }
    void U16(std::uint16_t id, std::uint32_t v) {
        ByteWriter w;
        w.U16(v);
        Record(id, w.Data());
    }
    void Empty(std::uint16_t id) { Record(id, {}); }
    // PROJECTVERSION says 4 bytes and holds 6.
    void Version() {
        out_.U16(0x0009);
        out_.U32(4);
        out_.U32(1);
        out_.U16(0);
    }
    Bytes Take() { return out_.Take(); }

  private:
    ByteWriter out_;
};

// Access gives module streams names of their own; these are "M" and a
// number, so that a reader must take them from the directory.
std::string StreamName(std::size_t index) {
    std::string digits = std::to_string(index);
    return "M" + std::string(digits.size() < 7 ? 7 - digits.size() : 0, '0') + digits;
}

Bytes DirStream(const std::vector<ProjectModuleSource>& modules, int codePage) {
    DirWriter dir;
    dir.U32(0x0001, 1);  // 32-bit Windows
    dir.U32(0x0002, 0x0409);
    dir.U32(0x0014, 0x0409);
    dir.U16(0x0003, static_cast<std::uint32_t>(codePage));
    dir.Record(0x0004, EncodeCodePage("VBAProject", codePage));
    dir.Empty(0x0005);
    dir.Empty(0x0040);
    dir.Empty(0x0006);
    dir.Empty(0x003D);
    dir.U32(0x0007, 0);
    dir.U32(0x0008, 0);
    dir.Version();
    dir.Empty(0x000C);
    dir.Empty(0x003C);
    // One registered reference, which a reader passes over.
    dir.Record(0x0016, EncodeCodePage("stdole", codePage));
    dir.Record(0x003E, Utf8ToUtf16Le("stdole"));
    ByteWriter reference;
    const std::string libid =
        "*\\G{00020430-0000-0000-C000-000000000046}#2.0#0#C:\\Windows\\system32\\stdole2.tlb#OLE "
        "Automation";
    reference.U32(static_cast<std::uint32_t>(libid.size()));
    reference.Append(libid);
    reference.U32(0);
    reference.U16(0);
    dir.Record(0x000D, reference.Data());
    dir.U16(0x000F, static_cast<std::uint32_t>(modules.size()));
    dir.U16(0x0013, 0xFFFF);
    for (std::size_t i = 0; i < modules.size(); ++i) {
        const ProjectModuleSource& m = modules[i];
        dir.Record(0x0019, EncodeCodePage(m.name, codePage));
        dir.Record(0x0047, Utf8ToUtf16Le(m.name));
        dir.Record(0x001A, EncodeCodePage(StreamName(i), codePage));
        dir.Record(0x0032, Utf8ToUtf16Le(StreamName(i)));
        dir.Empty(0x001C);
        dir.Empty(0x0048);
        dir.U32(0x0031, kCompiledStateSize);
        dir.U32(0x001E, 0);
        dir.U16(0x002C, 0xFFFF);
        dir.Empty(m.kind == ProjectModuleKind::Standard ? 0x0021 : 0x0022);
        dir.Empty(0x002B);
    }
    dir.Empty(0x0010);
    return dir.Take();
}

// The PROJECT stream, with the kind of every module as Access writes it.
Bytes ProjectStream(const std::vector<ProjectModuleSource>& modules, int codePage) {
    std::string text = "ID=\"{9E394C0B-697E-4AEE-9FA6-446F51FB30F3}\"\r\n";
    for (const ProjectModuleSource& m : modules) {
        switch (m.kind) {
            case ProjectModuleKind::Standard:
                text += "Module=" + m.name + "\r\n";
                break;
            case ProjectModuleKind::Class:
                text += "Class=" + m.name + "\r\n";
                break;
            case ProjectModuleKind::Document:
                text += "DocClass=" + m.name + "/&H00000000\r\n";
                break;
        }
    }
    text +=
        "Name=\"VBAProject\"\r\nHelpContextID=\"0\"\r\nVersionCompatible32=\"393222000\"\r\n\r\n"
        "[Host Extender Info]\r\n&H00000001={3832D640-CF90-11CF-8E43-00A0C911005A};VBE;"
        "&H00000000\r\n\r\n[Workspace]\r\n";
    return EncodeCodePage(text, codePage);
}

}  // namespace

std::string StoredModuleText(const ProjectModuleSource& module) {
    std::string text = "Attribute VB_Name = \"" + module.name + "\"\r\n";
    if (module.kind != ProjectModuleKind::Standard) {
        const bool document = module.kind == ProjectModuleKind::Document;
        text += "Attribute VB_GlobalNameSpace = False\r\n";
        text += std::string("Attribute VB_Creatable = ") + (document ? "True" : "False") + "\r\n";
        text +=
            std::string("Attribute VB_PredeclaredId = ") + (document ? "True" : "False") + "\r\n";
        text += "Attribute VB_Exposed = False\r\n";
    }
    return text + module.code;
}

void AddVbaProject(StorageNode& root, const std::vector<ProjectModuleSource>& modules,
                   int codePage) {
    StorageNode& project = root.Storage("VBA").Storage("VBAProject");
    project.Stream("PROJECT", ProjectStream(modules, codePage));
    StorageNode& code = project.Storage("VBA");
    code.Stream("dir", CompressContainer(DirStream(modules, codePage)));
    code.Stream("_VBA_PROJECT", Bytes{0xCC, 0x61, 0xFF, 0xFF, 0x00, 0x00, 0x00});
    for (std::size_t i = 0; i < modules.size(); ++i) {
        Bytes stream(kCompiledStateSize, 0);
        const Bytes packed =
            CompressContainer(EncodeCodePage(StoredModuleText(modules[i]), codePage));
        stream.insert(stream.end(), packed.begin(), packed.end());
        code.Stream(StreamName(i), std::move(stream));
    }
}

Bytes EncodeCodePage(const std::string& utf8, int codePage) {
    const std::string charset = "CP" + std::to_string(codePage);
    iconv_t cd = iconv_open(charset.c_str(), "UTF-8");
    // iconv_open reports failure as (iconv_t)-1.
    if (cd == reinterpret_cast<iconv_t>(-1)) {  // NOLINT(performance-no-int-to-ptr)
        throw GeneratorError("code page " + std::to_string(codePage) + " is not known");
    }
    std::string in = utf8;
    Bytes out(in.size() * 4 + 4);
    char* inPtr = in.data();
    std::size_t inLeft = in.size();
    auto* outPtr = reinterpret_cast<char*>(out.data());
    std::size_t outLeft = out.size();
    const std::size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (result == static_cast<std::size_t>(-1)) {
        throw GeneratorError("text \"" + utf8.substr(0, 40) + "\" cannot be written in code page " +
                             std::to_string(codePage));
    }
    out.resize(out.size() - outLeft);
    return out;
}

}  // namespace ostrel::jetgen
