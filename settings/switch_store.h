#pragma once

#include <QString>

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "engine/report_switches.h"

namespace ostrel::settings {

// Raised when the switches cannot be written; the file keeps its old content.
class StoreWriteError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The per-user report switches: an INI file (organisation and application
// "Ostrel2", section "Config") with one "True"/"False" value per key.
//
// Key and section names are matched without regard to letter case. Reads come
// from a snapshot of the file taken on first use and again by Refresh(), which
// the program calls once before each report run, so a run never goes to the disk
// for a row and sees the switches as they were stored before it began. Writes
// replace the whole file at once (written beside it, then renamed over it), so
// an interrupted write leaves the previous file intact.
class SwitchStore : public engine::ReportSwitches {
  public:
    // The user's own store, under the user's configuration folder.
    SwitchStore();
    // A store kept in the given file (tests, other profiles).
    explicit SwitchStore(QString filePath);

    static QString DefaultFilePath();
    const QString& FilePath() const { return path_; }

    // On when the key is absent. Throws engine::SwitchError when the stored
    // text is neither True nor False nor a number, or the file cannot be read.
    bool GetReportSwitch(std::string_view key) const override;

    // Stores "True" or "False" under the key. Throws StoreWriteError.
    void SaveReportSwitch(std::string_view key, bool on);
    // Stores several switches in one write of the file. Throws StoreWriteError.
    void SaveReportSwitches(const std::vector<std::pair<std::string, bool>>& values);

    // Takes a fresh snapshot of the file.
    void Refresh();
    // Why the file could not be read at the last snapshot, if it could not.
    const std::optional<std::string>& LoadError() const {
        EnsureLoaded();
        return loadError_;
    }

  private:
    void EnsureLoaded() const;
    void Load() const;
    void SetAsideDamagedFile() const;

    QString path_;
    mutable bool loaded_ = false;
    mutable std::optional<std::string> loadError_;
    // Key names compared without regard to (ASCII) letter case, without
    // building a folded copy for every look-up: a run reads switches once per
    // row, hundreds of thousands of times.
    struct KeyHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view key) const noexcept;
    };
    struct KeyEqual {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const noexcept;
    };
    struct StoredValue {
        std::string text;
        std::optional<bool> on;  // empty when the text cannot be read
    };
    mutable std::unordered_map<std::string, StoredValue, KeyHash, KeyEqual> values_;
};

}  // namespace ostrel::settings
