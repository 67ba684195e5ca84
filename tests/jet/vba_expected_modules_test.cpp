// Every VBA module of the real files in objects/ against the table an
// independent reader made of them (expected-modules.tsv): name, kind, code
// page, line counts and SHA-256 of the text, whole and without its hidden
// header. Both stores of nwind.mdb are read; through the schema interface the
// store of each file's own format is.

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "components/jet/application_store.h"
#include "components/jet/jet_database.h"
#include "components/jet/jet_engine.h"
#include "components/jet/text_decoding.h"
#include "components/schema/schema_error.h"
#include "tests/jet/vba_module_text.h"
#include "tests/support/testdata_dir.h"

namespace ostrel::jet::test {
namespace {

using schema::VbaModuleKind;

struct ExpectedModule {
    std::string file;
    std::string store;
    std::string module;
    std::string kind;
    std::string codePage;
    int lines = 0;
    std::string sha256;
    int codeLines = 0;
    std::string codeSha256;
};

std::filesystem::path ObjectsDir() {
    return *testsupport::TestDataDir() / "objects";
}

std::vector<ExpectedModule> LoadTable() {
    std::ifstream in(ObjectsDir() / "expected-modules.tsv");
    std::vector<ExpectedModule> rows;
    std::string line;
    std::getline(in, line);  // the column names
    while (std::getline(in, line)) {
        std::vector<std::string> cells;
        std::stringstream split(line);
        for (std::string cell; std::getline(split, cell, '\t');) {
            cells.push_back(cell);
        }
        if (cells.size() < 9) {
            continue;
        }
        rows.push_back({cells[0], cells[1], cells[2], cells[3], cells[4], std::stoi(cells[5]),
                        cells[6], std::stoi(cells[7]), cells[8]});
    }
    return rows;
}

std::string KindWord(VbaModuleKind kind) {
    switch (kind) {
        case VbaModuleKind::Standard:
            return "standard";
        case VbaModuleKind::Class:
            return "class";
        case VbaModuleKind::Document:
            return "document";
        case VbaModuleKind::Designer:
            return "designer";
    }
    return "?";
}

ProjectStore StoreNamed(const std::string& name) {
    if (name == "MSysAccessStorage") {
        return ProjectStore::AccessStorage;
    }
    return name == "MSysAccessObjects" ? ProjectStore::AccessObjects : ProjectStore::Modules2;
}

// What the table records of one module's text.
void ExpectText(const ExpectedModule& row, const std::string& source) {
    const std::string lf = WithLfLineEnds(source);
    EXPECT_EQ(CountLines(lf), row.lines);
    EXPECT_EQ(Sha256Hex(lf), row.sha256);
    const std::string code = WithoutHiddenHeader(lf);
    EXPECT_EQ(CountLines(code), row.codeLines);
    EXPECT_EQ(Sha256Hex(code), row.codeSha256);
}

class ExpectedModules : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!testsupport::TestDataDir()) {
            GTEST_SKIP() << "no test data folder";
        }
        rows_ = LoadTable();
        ASSERT_EQ(rows_.size(), 44U);
    }
    std::vector<ExpectedModule> rows_;
};

TEST_F(ExpectedModules, EveryStoreGivesTheTablesModules) {
    std::map<std::pair<std::string, std::string>, std::vector<const ExpectedModule*>> stores;
    for (const ExpectedModule& row : rows_) {
        stores[{row.file, row.store}].push_back(&row);
    }
    for (const auto& [key, expected] : stores) {
        SCOPED_TRACE(key.first + " " + key.second);
        auto state =
            std::make_shared<DatabaseState>(PageFile::Open((ObjectsDir() / key.first).string()),
                                            std::vector<std::filesystem::path>{});
        const auto project = ReadProjectFrom(state, StoreNamed(key.second));
        ASSERT_NE(project, nullptr);
        ASSERT_EQ(project->Modules().size(), expected.size());
        for (const ExpectedModule* row : expected) {
            SCOPED_TRACE(row->module);
            std::size_t index = 0;
            while (index < project->Modules().size() &&
                   project->Modules()[index].name != row->module) {
                ++index;
            }
            ASSERT_LT(index, project->Modules().size()) << "module not listed";
            const ProjectModule& m = project->Modules()[index];
            EXPECT_EQ("cp" + std::to_string(m.codePage), row->codePage);
            try {
                ExpectText(*row, DecodeProjectText(project->SourceBytes(index), m.codePage));
            } catch (const schema::SchemaError& e) {
                ADD_FAILURE() << e.what();
            }
            if (m.kind) {
                EXPECT_EQ(KindWord(*m.kind), row->kind);
            }
        }
    }
}

// Through the schema interface each file lists its modules once, from the
// store of its own format, with the lines the VBA editor shows; each
// document module belongs to a form or report that says it has a module.
TEST_F(ExpectedModules, DatabasesListTheirOwnStoresModules) {
    const std::map<std::string, std::string> ownStore = {{"Calendar.accdb", "MSysAccessStorage"},
                                                         {"AgeRange.mdb", "MSysAccessObjects"},
                                                         {"contacts.mdb", "MSysAccessObjects"},
                                                         {"nwind.mdb", "MSysModules2"}};
    JetEngine engine;
    for (const auto& [file, store] : ownStore) {
        SCOPED_TRACE(file);
        const auto db = engine.OpenDatabase((ObjectsDir() / file).string());
        EXPECT_EQ(db->ProjectProblem(), std::nullopt);
        const auto& modules = db->Modules();
        int matched = 0;
        for (const ExpectedModule& row : rows_) {
            if (row.file != file || row.store != store) {
                continue;
            }
            SCOPED_TRACE(row.module);
            ++matched;
            const schema::VbaModule* module = nullptr;
            for (int i = 0; i < modules.Count(); ++i) {
                if (modules.Item(i).Name() == row.module) {
                    module = &modules.Item(i);
                }
            }
            ASSERT_NE(module, nullptr);
            EXPECT_EQ(module->Problem(), std::nullopt);
            EXPECT_EQ(KindWord(module->Kind()), row.kind);
            EXPECT_EQ(module->LineCount(), row.codeLines);
            if (!module->Problem()) {
                ExpectText(row, module->Source());
            }
            const auto owner = module->Owner();
            ASSERT_EQ(owner.has_value(), row.kind == "document");
            if (owner) {
                const auto& objects =
                    owner->kind == schema::AccessObjectKind::Form ? db->Forms() : db->Reports();
                bool found = false;
                for (int i = 0; i < objects.Count(); ++i) {
                    if (objects.Item(i).Name() == owner->name) {
                        found = true;
                        EXPECT_TRUE(objects.Item(i).HasModule());
                    }
                }
                EXPECT_TRUE(found) << "no " << owner->name;
            } else {
                EXPECT_FALSE(schema::IsNull(module->DateCreated()));
            }
        }
        EXPECT_EQ(modules.Count(), matched);
    }
}

}  // namespace
}  // namespace ostrel::jet::test
