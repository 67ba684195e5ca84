#pragma once

#include <QTemporaryFile>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "components/document/table_data.h"

namespace ostrel::qtdocument {

// One call of the report as the document keeps it for laying pages out again.
struct LoggedItem {
    enum class Kind : std::uint8_t { Paragraph, Table, Section, Object, Drawing, Code };
    Kind kind = Kind::Paragraph;
    std::uint8_t emphasis = 0;  // paragraphs: Emphasis
    std::int16_t points = 8;
    std::int32_t value = 0;  // tables: style; blocks and drawings: their index
    // paragraphs: the text; tables: EncodeTable's bytes; code: EncodeTable's
    // bytes of one column, its width the first line's number, a row per line
    std::string text;
};

// A table as a table item keeps it: the widths and cells, each with its
// length. DecodeTable gives back the rows fitted to the columns; bytes that
// do not hold a table give an empty one.
std::string EncodeTable(const document::TableData& table);
document::TableData DecodeTable(std::string_view bytes);

// The report's calls in order, kept in a temporary file so that the memory a
// document holds does not grow with its length. Items are addressed by the
// offset Append returned. When no temporary file can be made the items stay
// in memory, which only costs memory.
class ItemLog {
  public:
    ItemLog();
    ~ItemLog();
    ItemLog(const ItemLog&) = delete;
    ItemLog& operator=(const ItemLog&) = delete;

    std::int64_t Append(const LoggedItem& item);
    // Reads the item at offset and returns the offset of the next one, or -1
    // when offset does not address an item.
    std::int64_t Read(std::int64_t offset, LoggedItem& item) const;
    std::int64_t End() const { return end_; }
    int Count() const { return count_; }

  private:
    void Flush();

    std::unique_ptr<QTemporaryFile> file_;
    std::string pending_;  // written after flushed_ bytes of the file
    std::int64_t flushed_ = 0;
    std::int64_t end_ = 0;
    int count_ = 0;
};

}  // namespace ostrel::qtdocument
