#include "ui/app/password_asking_engine.h"

#include <utility>

#include "components/schema/schema_error.h"

namespace ostrel::ui {

// The passwords kept, and what the open under way was given.
struct PasswordKeeper {
    struct Kept {
        schema::Password password;
        int openDatabases = 0;
    };
    std::map<std::string, Kept> kept;

    std::string opening;                    // the file being opened, if any
    bool wrongBefore = false;               // its last password was wrong
    bool passKept = false;                  // its kept password was wrong
    std::optional<schema::Password> given;  // what the user gave for it now

    void Release(const std::string& path) {
        const auto it = kept.find(path);
        if (it != kept.end() && --it->second.openDatabases <= 0) {
            kept.erase(it);  // the password is wiped as it goes
        }
    }
};

namespace {

// A database opened with a kept password: forwards every member, and lets
// the password go when it is closed or dropped.
class KeepingDatabase final : public schema::Database {
  public:
    KeepingDatabase(std::unique_ptr<schema::Database> inner, std::string path,
                    std::weak_ptr<PasswordKeeper> keeper)
        : inner_(std::move(inner)), path_(std::move(path)), keeper_(std::move(keeper)) {}
    ~KeepingDatabase() override { Release(); }
    KeepingDatabase(const KeepingDatabase&) = delete;
    KeepingDatabase& operator=(const KeepingDatabase&) = delete;

    std::int32_t CollatingOrder() const override { return inner_->CollatingOrder(); }
    std::string ReplicaID() const override { return inner_->ReplicaID(); }
    std::string Version() const override { return inner_->Version(); }
    bool Transactions() const override { return inner_->Transactions(); }
    bool Updatable() const override { return inner_->Updatable(); }
    const schema::Collection<schema::TableDef>& TableDefs() const override {
        return inner_->TableDefs();
    }
    const schema::Collection<schema::QueryDef>& QueryDefs() const override {
        return inner_->QueryDefs();
    }
    const schema::Collection<schema::Relation>& Relations() const override {
        return inner_->Relations();
    }
    void Close() override {
        Release();
        inner_->Close();
    }

  private:
    void Release() {
        if (released_) {
            return;
        }
        released_ = true;
        if (const auto keeper = keeper_.lock()) {
            keeper->Release(path_);
        }
    }

    std::unique_ptr<schema::Database> inner_;
    std::string path_;
    std::weak_ptr<PasswordKeeper> keeper_;
    bool released_ = false;
};

}  // namespace

PasswordAskingEngine::PasswordAskingEngine(schema::SchemaEngine& inner, PasswordAsker ask)
    : inner_(inner), ask_(std::move(ask)), keeper_(std::make_shared<PasswordKeeper>()) {
    inner_.SetPasswordProvider([this](const std::string& path) { return Provide(path); });
}

PasswordAskingEngine::~PasswordAskingEngine() {
    inner_.SetPasswordProvider({});
}

bool PasswordAskingEngine::KeepsPasswordFor(const std::string& path) const {
    return keeper_->kept.count(path) != 0;
}

std::optional<schema::Password> PasswordAskingEngine::Provide(const std::string& path) {
    PasswordKeeper& k = *keeper_;
    if (path != k.opening) {
        // A linked table's source, opened while its table is read.
        return ask_(path, false);
    }
    if (!k.passKept) {
        if (const auto it = k.kept.find(path); it != k.kept.end()) {
            return it->second.password.Copy();
        }
    }
    std::optional<schema::Password> password = ask_(path, k.wrongBefore);
    if (password) {
        k.given = password->Copy();
    }
    return password;
}

std::unique_ptr<schema::Database> PasswordAskingEngine::OpenDatabase(const std::string& path) {
    PasswordKeeper& k = *keeper_;
    k.wrongBefore = false;
    k.passKept = false;
    while (true) {
        k.opening = path;
        k.given.reset();
        std::unique_ptr<schema::Database> database;
        try {
            database = inner_.OpenDatabase(path);
        } catch (const schema::PasswordError& e) {
            k.opening.clear();
            if (e.WhatFailed() != schema::PasswordError::Reason::Wrong || e.Path() != path) {
                k.given.reset();
                throw;
            }
            // Asked again: after a wrong answer, or when the file no longer
            // takes the password kept for it.
            k.wrongBefore = k.given.has_value();
            k.passKept = true;
            continue;
        } catch (...) {
            k.opening.clear();
            k.given.reset();
            throw;
        }
        k.opening.clear();
        if (k.given) {
            // A new password for the file: kept from now on (replacing one
            // that no longer opened it).
            PasswordKeeper::Kept& kept = k.kept[path];
            kept.password = std::move(*k.given);
            k.given.reset();
        }
        const auto it = k.kept.find(path);
        if (it == k.kept.end()) {
            return database;  // no password involved
        }
        ++it->second.openDatabases;
        return std::make_unique<KeepingDatabase>(std::move(database), path, keeper_);
    }
}

}  // namespace ostrel::ui
