// Every module of the two versions of an add-in in objects/vcs-addin, read
// from the binary, against the text Access itself exported at the same
// commit (modules/*.bas, and the code after "CodeBehindForm" in forms/*.bas):
// equal once the hidden header is dropped from both, line ends and trailing
// blank lines aside.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "components/jet/jet_engine.h"
#include "components/jet/text_decoding.h"
#include "tests/jet/vba_module_text.h"
#include "tests/support/testdata_dir.h"

namespace ostrel::jet::test {
namespace {

namespace fs = std::filesystem;

// Access exports in the project's code page, 1252 here.
std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    const std::string bytes = text.str();
    return DecodeCodePageText(
        std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), 1252);
}

// The code as the editor shows it: LF line ends, no hidden header, no blank
// lines at the end.
std::string Code(const std::string& text) {
    std::string code = WithoutHiddenHeader(WithLfLineEnds(text));
    while (!code.empty() && code.back() == '\n') {
        code.pop_back();
    }
    return code;
}

// VBA compares module names without regard to letter case; the export's
// file names keep the case of an earlier name.
struct CaseBlind {
    bool operator()(const std::string& a, const std::string& b) const {
        return std::lexicographical_compare(
            a.begin(), a.end(), b.begin(), b.end(),
            [](unsigned char x, unsigned char y) { return std::tolower(x) < std::tolower(y); });
    }
};
using ExportMap = std::map<std::string, std::string, CaseBlind>;

// Module name to exported text, for one version of the add-in.
ExportMap Exports(const fs::path& version) {
    ExportMap exports;
    for (const auto& entry : fs::directory_iterator(version / "modules")) {
        exports[entry.path().stem().string()] = ReadText(entry.path());
    }
    const std::string marker = "\nCodeBehindForm\n";
    std::error_code noForms;
    for (const auto& entry : fs::directory_iterator(version / "forms", noForms)) {
        const std::string text = WithLfLineEnds(ReadText(entry.path()));
        const std::size_t at = text.find(marker);
        if (at != std::string::npos) {
            exports["Form_" + entry.path().stem().string()] = text.substr(at + marker.size());
        }
    }
    return exports;
}

TEST(AccessExport, EveryModuleEqualsAccessOwnExport) {
    const auto data = testsupport::TestDataDir();
    if (!data) {
        GTEST_SKIP() << "no test data folder";
    }
    JetEngine engine;
    int compared = 0;
    for (const char* commit : {"08a54a763b", "5f7ace6cb1"}) {
        SCOPED_TRACE(commit);
        const fs::path version = *data / "objects" / "vcs-addin" / commit;
        const auto exports = Exports(version);
        const auto db = engine.OpenDatabase((version / (std::string(commit) + ".accda")).string());
        const auto& modules = db->Modules();
        ASSERT_EQ(static_cast<std::size_t>(modules.Count()), exports.size());
        for (int i = 0; i < modules.Count(); ++i) {
            const auto& module = modules.Item(i);
            SCOPED_TRACE(module.Name());
            const auto exported = exports.find(module.Name());
            ASSERT_NE(exported, exports.end()) << "no export of this module";
            EXPECT_EQ(Code(module.Source()), Code(exported->second));
            ++compared;
        }
    }
    EXPECT_EQ(compared, 56);
}

}  // namespace
}  // namespace ostrel::jet::test
