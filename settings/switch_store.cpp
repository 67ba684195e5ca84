#include "settings/switch_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>
#include <QVariant>

#include "engine/switch_table.h"

namespace ostrel::settings {
namespace {

constexpr auto kSection = "Config";

// Key names are ASCII; letters compare without regard to case.
char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Fold(std::string_view text) {
    std::string folded(text);
    for (char& c : folded) {
        c = LowerAscii(c);
    }
    return folded;
}

std::string Fold(const QString& text) {
    return Fold(text.toStdString());
}

// The spelling a key is written under: the table's for the 61 known switches.
QString CanonicalKey(std::string_view key) {
    if (const engine::SwitchInfo* info = engine::FindSwitch(key)) {
        key = info->key;
    }
    return QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
}

// Calls visit(key, exact) for every key of every section named "Config" in
// any letter case; exact tells whether the section is spelled exactly so.
template <typename Visit>
void ForEachSwitchKey(QSettings& ini, Visit visit) {
    const QStringList groups = ini.childGroups();
    for (const QString& group : groups) {
        if (group.compare(QLatin1String(kSection), Qt::CaseInsensitive) != 0) {
            continue;
        }
        const bool exact = group == QLatin1String(kSection);
        ini.beginGroup(group);
        const QStringList keys = ini.childKeys();
        for (const QString& key : keys) {
            visit(key, exact);
        }
        ini.endGroup();
    }
}

// The stored value as text. QSettings turns "a, b" into a list; join it back
// so that such a value is reported as it stands in the file.
std::string StoredText(const QVariant& value) {
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(QStringLiteral(", ")).toStdString();
    }
    if (value.canConvert<QString>()) {
        return value.toString().toStdString();
    }
    return "<" + std::string(value.typeName() != nullptr ? value.typeName() : "unknown") + ">";
}

QString StatusText(QSettings::Status status) {
    switch (status) {
        case QSettings::AccessError:
            return QStringLiteral("it cannot be accessed");
        case QSettings::FormatError:
            return QStringLiteral("it is not a valid settings file");
        case QSettings::NoError:
            break;
    }
    return QStringLiteral("unknown error");
}

}  // namespace

std::size_t SwitchStore::KeyHash::operator()(std::string_view key) const noexcept {
    // The length and a few letters tell the 61 keys well apart; the equality
    // test settles the rest. Cheap, because it runs for every row of a run.
    std::size_t hash = key.size();
    if (!key.empty()) {
        for (const std::size_t at :
             {std::size_t{0}, key.size() / 2, key.size() - 1, key.size() * 3 / 4, key.size() / 4}) {
            hash = hash * 131 + static_cast<unsigned char>(LowerAscii(key[at]));
        }
    }
    return hash;
}

bool SwitchStore::KeyEqual::operator()(std::string_view a, std::string_view b) const noexcept {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

SwitchStore::SwitchStore() : SwitchStore(DefaultFilePath()) {}

SwitchStore::SwitchStore(QString filePath) : path_(std::move(filePath)) {}

QString SwitchStore::DefaultFilePath() {
    // ~/.config/Ostrel2/Ostrel2.ini on Linux.
    const QSettings user(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Ostrel2"),
                         QStringLiteral("Ostrel2"));
    return user.fileName();
}

void SwitchStore::Refresh() {
    Load();
}

void SwitchStore::EnsureLoaded() const {
    if (!loaded_) {
        Load();
    }
}

void SwitchStore::Load() const {
    values_.clear();
    loadError_.reset();
    loaded_ = true;

    QSettings ini(path_, QSettings::IniFormat);
    if (ini.status() != QSettings::NoError) {
        loadError_ = QStringLiteral("The settings file %1 cannot be read: %2.")
                         .arg(QDir::toNativeSeparators(path_), StatusText(ini.status()))
                         .toStdString();
        return;
    }
    // The section spelled exactly "Config" wins over other spellings.
    ForEachSwitchKey(ini, [&](const QString& key, bool exact) {
        std::string text = StoredText(ini.value(key));
        const std::optional<bool> on = engine::ParseSwitchText(text);
        auto [it, inserted] =
            values_.try_emplace(key.toStdString(), StoredValue{std::move(text), on});
        if (!inserted && exact) {
            it->second = StoredValue{StoredText(ini.value(key)), on};
        }
    });
}

bool SwitchStore::GetReportSwitch(std::string_view key) const {
    EnsureLoaded();
    if (loadError_) {
        throw engine::SwitchError(*loadError_);
    }
    const auto found = values_.find(key);
    if (found == values_.end()) {
        return true;
    }
    const std::optional<bool> on = found->second.on;
    if (!on) {
        throw engine::SwitchError("The report switch \"" + std::string(key) + "\" holds \"" +
                                  found->second.text + "\" in " +
                                  QDir::toNativeSeparators(path_).toStdString() +
                                  ", which is neither True, False nor a number.");
    }
    return *on;
}

void SwitchStore::SetAsideDamagedFile() const {
    // A file that is not valid INI cannot be updated; it is kept beside the
    // new one (as .damaged) so that nothing the user had in it is lost.
    EnsureLoaded();
    if (!loadError_ || !QFile::exists(path_)) {
        return;
    }
    const QString aside = path_ + QStringLiteral(".damaged");
    QFile::remove(aside);
    if (!QFile::rename(path_, aside)) {
        throw StoreWriteError(
            QStringLiteral("The report switches cannot be stored: the settings file %1 is "
                           "damaged and cannot be moved aside.")
                .arg(QDir::toNativeSeparators(path_))
                .toStdString());
    }
}

void SwitchStore::SaveReportSwitch(std::string_view key, bool on) {
    SaveReportSwitches({{std::string(key), on}});
}

void SwitchStore::SaveReportSwitches(const std::vector<std::pair<std::string, bool>>& values) {
    const QString native = QDir::toNativeSeparators(path_);
    const QFileInfo file(path_);
    if (!QDir().mkpath(file.absolutePath())) {
        throw StoreWriteError(
            QStringLiteral("The report switches cannot be stored: the folder %1 cannot be created.")
                .arg(QDir::toNativeSeparators(file.absolutePath()))
                .toStdString());
    }
    SetAsideDamagedFile();
    {
        QSettings ini(path_, QSettings::IniFormat);
        // Write a new file and rename it over the old one, never in place.
        ini.setAtomicSyncRequired(true);
        if (ini.status() != QSettings::NoError) {
            throw StoreWriteError(
                QStringLiteral("The report switches cannot be stored: the settings file %1 "
                               "cannot be read (%2).")
                    .arg(native, StatusText(ini.status()))
                    .toStdString());
        }

        // Drop spellings that differ only in letter case, so that each switch
        // is held once, under its own name, in the "Config" section.
        std::unordered_map<std::string, QString> wanted;
        for (const auto& [key, on] : values) {
            wanted.emplace(Fold(key), CanonicalKey(key));
        }
        ForEachSwitchKey(ini, [&](const QString& key, bool exact) {
            const auto found = wanted.find(Fold(key));
            if (found != wanted.end() && (!exact || key != found->second)) {
                ini.remove(key);
            }
        });

        ini.beginGroup(QLatin1String(kSection));
        for (const auto& [key, on] : values) {
            ini.setValue(CanonicalKey(key), on ? QStringLiteral("True") : QStringLiteral("False"));
        }
        ini.endGroup();
        ini.sync();
        if (ini.status() != QSettings::NoError) {
            throw StoreWriteError(
                QStringLiteral("The report switches cannot be stored in %1: %2. The file was not "
                               "changed.")
                    .arg(native, StatusText(ini.status()))
                    .toStdString());
        }
    }
    Load();
}

}  // namespace ostrel::settings
