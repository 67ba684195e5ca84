#include "engine/code_export.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>
#include <system_error>

#include "components/schema/schema_error.h"
#include "engine/code_lines.h"
#include "engine/object_name.h"

namespace ostrel::engine {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kCrLf = "\r\n";

bool StartsWithWord(std::string_view text, std::string_view word) {
    if (text.size() < word.size()) {
        return false;
    }
    return std::equal(word.begin(), word.end(), text.begin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) ==
               std::tolower(static_cast<unsigned char>(b));
    });
}

std::string LowerAscii(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

std::string ReadFile(const fs::path& path, bool& exists) {
    std::error_code error;
    exists = fs::is_regular_file(fs::symlink_status(path, error));
    if (!exists) {
        return {};
    }
    const std::uintmax_t size = fs::file_size(path, error);
    if (error) {
        exists = false;
        return {};
    }
    std::string bytes(static_cast<std::size_t>(size), '\0');
    std::ifstream in(path, std::ios::binary);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    return bytes;
}

// Writes bytes under a temporary name in the folder and renames it over
// the target, so that the target is either the old file or the new one.
void WriteAtomically(const fs::path& folder, const std::string& name, const std::string& bytes) {
    const fs::path target = folder / name;
    bool exists = false;
    if (ReadFile(target, exists) == bytes && exists) {
        return;
    }
    const fs::path temporary = folder / (".ostrel2-" + name + ".part");
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            std::error_code ignored;
            fs::remove(temporary, ignored);
            throw std::runtime_error("cannot write '" + target.string() + "'");
        }
    }
    std::error_code error;
    fs::rename(temporary, target, error);
    if (error) {
        fs::remove(temporary, error);
        throw std::runtime_error("cannot write '" + target.string() + "': " + error.message());
    }
}

// A plain name of a file directly in the folder, as a manifest may list.
bool IsPlainFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/\\") == std::string::npos && name.find('\0') == std::string::npos;
}

std::vector<std::string> ReadManifest(const fs::path& folder) {
    bool exists = false;
    std::istringstream in(ReadFile(folder / std::string(kCodeManifest), exists));
    std::vector<std::string> names;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (IsPlainFileName(line) && line != kCodeManifest) {
            names.push_back(line);
        }
    }
    return names;
}

std::string WithCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (const std::string_view line : CodeLines(text)) {
        out.append(line);
        out.append(kCrLf);
    }
    return out;
}

}  // namespace

std::string ExportText(const schema::VbaModule& module, const std::string& source) {
    std::string head;
    if (module.Kind() == schema::VbaModuleKind::Standard) {
        if (!StartsWithWord(source, "Attribute VB_Name")) {
            head = "Attribute VB_Name = \"" + module.Name() + "\"\n";
        }
    } else if (!StartsWithWord(source, "VERSION ")) {
        head = "VERSION 1.0 CLASS\nBEGIN\n  MultiUse = -1  'True\nEND\n";
        if (!StartsWithWord(source, "Attribute VB_Name")) {
            head += "Attribute VB_Name = \"" + module.Name() + "\"\n";
        }
    }
    return WithCrLf(head + source);
}

std::vector<std::string> ExportFileNames(const std::vector<std::string>& moduleNames,
                                         const std::vector<bool>& standard) {
    std::vector<std::string> names;
    std::set<std::string> taken{LowerAscii(std::string(kCodeManifest))};
    for (std::size_t i = 0; i < moduleNames.size(); ++i) {
        std::string stem;
        for (const char c : moduleNames[i]) {
            const auto u = static_cast<unsigned char>(c);
            stem.push_back(std::isalnum(u) != 0 || c == '_' || c == '-' || u >= 0x80 ? c : '_');
        }
        if (stem.empty() || stem.front() == '-') {
            stem.insert(0, "_");
        }
        const std::string extension = i < standard.size() && standard[i] ? ".bas" : ".cls";
        std::string name = stem + extension;
        for (int n = 2; taken.count(LowerAscii(name)) != 0; ++n) {
            name = stem;
            name += '~';
            name += std::to_string(n);
            name += extension;
        }
        taken.insert(LowerAscii(name));
        names.push_back(std::move(name));
    }
    return names;
}

CodeExportResult ExportCode(const schema::Database& database, const fs::path& folder,
                            const CodeExportOptions& options) {
    std::error_code error;
    fs::create_directories(folder, error);
    if (!fs::is_directory(folder, error)) {
        throw std::runtime_error("cannot make the folder '" + folder.string() + "'");
    }
    const schema::Collection<schema::VbaModule>& modules = database.Modules();
    // Files are named in the order of the modules' names, so that a clash is
    // settled the same way however the project lists them.
    std::vector<int> order;
    order.reserve(static_cast<std::size_t>(std::max(modules.Count(), 0)));
    for (int i = 0; i < modules.Count(); ++i) {
        order.push_back(i);
    }
    std::stable_sort(order.begin(), order.end(), [&modules](int a, int b) {
        return modules.Item(a).Name() < modules.Item(b).Name();
    });
    std::vector<std::string> names;
    std::vector<bool> standard;
    for (const int i : order) {
        names.push_back(modules.Item(i).Name());
        standard.push_back(modules.Item(i).Kind() == schema::VbaModuleKind::Standard);
    }
    const std::vector<std::string> files = ExportFileNames(names, standard);

    CodeExportResult result;
    std::set<std::string> unreadableFiles;
    for (std::size_t k = 0; k < order.size(); ++k) {
        const schema::VbaModule& module = modules.Item(order[k]);
        std::string source;
        try {
            source = module.Source();
        } catch (const schema::SchemaError& e) {
            result.unreadable.push_back(module.Name() + ": " + e.what());
            unreadableFiles.insert(LowerAscii(files[k]));
            continue;
        }
        std::string text = ExportText(module, source);
        if (!options.utf8) {
            text = options.encode ? options.encode(text, module.CodePage()) : text;
        }
        WriteAtomically(folder, files[k], text);
        result.written.push_back(files[k]);
    }

    std::set<std::string> kept;
    for (const std::string& name : result.written) {
        kept.insert(LowerAscii(name));
    }
    // A module that could not be read keeps its earlier file.
    std::vector<std::string> manifest = result.written;
    for (const std::string& old : ReadManifest(folder)) {
        if (kept.count(LowerAscii(old)) != 0) {
            continue;
        }
        const bool unreadableNow = unreadableFiles.count(LowerAscii(old)) != 0;
        if (!options.prune || unreadableNow) {
            manifest.push_back(old);
            continue;
        }
        const fs::path path = folder / old;
        if (fs::is_regular_file(fs::symlink_status(path, error)) && fs::remove(path, error)) {
            result.removed.push_back(old);
        }
    }
    std::sort(manifest.begin(), manifest.end());
    manifest.erase(std::unique(manifest.begin(), manifest.end()), manifest.end());
    std::string manifestText;
    for (const std::string& name : manifest) {
        manifestText += name + "\n";
    }
    WriteAtomically(folder, std::string(kCodeManifest), manifestText);
    return result;
}

}  // namespace ostrel::engine
