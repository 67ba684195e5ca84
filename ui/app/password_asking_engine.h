#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "components/schema/database.h"

namespace ostrel::ui {

// The passwords an engine keeps (in its source file).
struct PasswordKeeper;

// Asks the user for the password of the file at path; wrongBefore says that
// the last one given for it was wrong. Nothing when the user cancels.
using PasswordAsker =
    std::function<std::optional<schema::Password>(const std::string& path, bool wrongBefore)>;

// The desktop program's engine: the reader's engine, asking the user for a
// password when a file needs one, again after a wrong one, until the user
// cancels. A password is kept, in memory only, while a database opened with
// it is open (the pickers' and a run's open the same file), and wiped when
// the last of them closes; it is never stored anywhere else. The source of
// a linked table is asked for each time it is opened.
class PasswordAskingEngine final : public schema::SchemaEngine {
  public:
    PasswordAskingEngine(schema::SchemaEngine& inner, PasswordAsker ask);
    ~PasswordAskingEngine() override;
    PasswordAskingEngine(const PasswordAskingEngine&) = delete;
    PasswordAskingEngine& operator=(const PasswordAskingEngine&) = delete;

    std::unique_ptr<schema::Database> OpenDatabase(const std::string& path) override;
    void SetLinkFolders(const std::vector<std::string>& folders) override {
        inner_.SetLinkFolders(folders);
    }

    // Whether a password for path is being kept (while a database is open).
    bool KeepsPasswordFor(const std::string& path) const;

  private:
    std::optional<schema::Password> Provide(const std::string& path);

    schema::SchemaEngine& inner_;
    PasswordAsker ask_;
    // Shared with the databases handed out, which may outlive the engine.
    std::shared_ptr<PasswordKeeper> keeper_;
};

}  // namespace ostrel::ui
