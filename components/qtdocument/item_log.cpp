#include "components/qtdocument/item_log.h"

#include <QDir>
#include <cstring>
#include <stdexcept>

namespace ostrel::qtdocument {
namespace {

constexpr std::size_t kHeaderSize = 12;
constexpr std::size_t kFlushAt = std::size_t{1} << 20;

template <typename T>
void Put(std::string& out, T value) {
    char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    out.append(bytes, sizeof(T));
}

template <typename T>
T Get(const char* at) {
    T value;
    std::memcpy(&value, at, sizeof(T));
    return value;
}

// Reads a count or a length from the table's bytes, moving on; false when
// the bytes end first.
bool Next(std::string_view bytes, std::size_t& at, std::uint32_t& value) {
    if (bytes.size() - at < sizeof value) {
        return false;
    }
    value = Get<std::uint32_t>(bytes.data() + at);
    at += sizeof value;
    return true;
}

}  // namespace

std::string EncodeTable(const document::TableData& table) {
    std::string bytes;
    Put(bytes, static_cast<std::uint32_t>(table.columnTwips.size()));
    for (const int width : table.columnTwips) {
        Put(bytes, static_cast<std::uint32_t>(width));
    }
    Put(bytes, static_cast<std::uint32_t>(table.rows.size()));
    for (const auto& row : table.rows) {
        Put(bytes, static_cast<std::uint32_t>(row.size()));
        for (const std::string& cell : row) {
            Put(bytes, static_cast<std::uint32_t>(cell.size()));
            bytes.append(cell);
        }
    }
    return bytes;
}

document::TableData DecodeTable(std::string_view bytes) {
    document::TableData table;
    std::size_t at = 0;
    std::uint32_t count = 0;
    // Every count is checked against the bytes left before anything is made.
    if (!Next(bytes, at, count) || count > (bytes.size() - at) / 4) {
        return {};
    }
    for (std::uint32_t c = 0; c < count; ++c) {
        std::uint32_t width = 0;
        Next(bytes, at, width);
        table.columnTwips.push_back(static_cast<int>(width));
    }
    std::uint32_t rows = 0;
    if (!Next(bytes, at, rows) || rows > (bytes.size() - at) / 4) {
        return {};
    }
    table.rows.reserve(rows);
    for (std::uint32_t r = 0; r < rows; ++r) {
        std::uint32_t cells = 0;
        if (!Next(bytes, at, cells) || cells > (bytes.size() - at) / 4) {
            return {};
        }
        std::vector<std::string>& row = table.rows.emplace_back();
        row.reserve(cells);
        for (std::uint32_t c = 0; c < cells; ++c) {
            std::uint32_t length = 0;
            if (!Next(bytes, at, length) || length > bytes.size() - at) {
                return {};
            }
            row.emplace_back(bytes.substr(at, length));
            at += length;
        }
    }
    document::FitRowsToColumns(table);
    return table;
}

ItemLog::ItemLog() {
    auto file = std::make_unique<QTemporaryFile>(QDir::tempPath() +
                                                 QStringLiteral("/ostrel2-report-XXXXXX"));
    if (file->open()) {
        file_ = std::move(file);
    }
}

ItemLog::~ItemLog() = default;

std::int64_t ItemLog::Append(const LoggedItem& item) {
    const std::int64_t offset = end_;
    const auto length = static_cast<std::uint32_t>(item.text.size());
    Put(pending_, static_cast<std::uint8_t>(item.kind));
    Put(pending_, item.emphasis);
    Put(pending_, item.points);
    Put(pending_, item.value);
    Put(pending_, length);
    pending_.append(item.text);
    end_ += static_cast<std::int64_t>(kHeaderSize + item.text.size());
    ++count_;
    if (file_ && pending_.size() >= kFlushAt) {
        Flush();
    }
    return offset;
}

void ItemLog::Flush() {
    if (!file_->seek(flushed_) ||
        file_->write(pending_.data(), static_cast<qint64>(pending_.size())) !=
            static_cast<qint64>(pending_.size())) {
        // A full disk: keep the rest in memory from here on.
        file_->resize(flushed_);
        return;
    }
    flushed_ += static_cast<std::int64_t>(pending_.size());
    pending_.clear();
}

std::int64_t ItemLog::Read(std::int64_t offset, LoggedItem& item) const {
    if (offset < 0 || offset + static_cast<std::int64_t>(kHeaderSize) > end_) {
        return -1;
    }
    char header[kHeaderSize];
    const char* at = nullptr;
    const bool inMemory = offset >= flushed_;
    if (inMemory) {
        at = pending_.data() + (offset - flushed_);
    } else {
        if (!file_->seek(offset) ||
            file_->read(header, kHeaderSize) != static_cast<qint64>(kHeaderSize)) {
            throw std::runtime_error("The report's temporary file cannot be read.");
        }
        at = header;
    }
    item.kind = static_cast<LoggedItem::Kind>(Get<std::uint8_t>(at));
    item.emphasis = Get<std::uint8_t>(at + 1);
    item.points = Get<std::int16_t>(at + 2);
    item.value = Get<std::int32_t>(at + 4);
    const auto length = Get<std::uint32_t>(at + 8);
    const std::int64_t next = offset + static_cast<std::int64_t>(kHeaderSize) + length;
    if (next > end_) {
        return -1;
    }
    if (inMemory) {
        item.text.assign(at + kHeaderSize, length);
    } else {
        item.text.resize(length);
        if (length > 0 && file_->read(item.text.data(), length) != static_cast<qint64>(length)) {
            throw std::runtime_error("The report's temporary file cannot be read.");
        }
    }
    return next;
}

}  // namespace ostrel::qtdocument
