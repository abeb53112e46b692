#pragma once
// The rows of one Access table, read whole while a cursor is open on it: compact cells (16
// bytes each) with their text in one shared buffer, so a table of 20,000 rows and 34 columns
// takes a few megabytes, not the tens that a Value per cell would.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "db/Value.h"

namespace pel::db {

struct AccessTextSpan {
    std::uint32_t offset, length;
};

struct AccessCell {
    Value::Kind kind = Value::Kind::Null;
    union {
        std::int64_t integer;
        double real;
        AccessTextSpan text;
    };
    AccessCell() : integer(0) {}
};

class AccessRows {
  public:
    explicit AccessRows(std::size_t columnCount) : columns_(columnCount) {}

    std::size_t rowCount() const { return columns_ ? cells_.size() / columns_ : 0; }
    std::size_t columnCount() const { return columns_; }
    const AccessCell& cell(std::size_t row, std::size_t column) const {
        return cells_[row * columns_ + column];
    }
    std::string_view text(const AccessCell& c) const {
        return std::string_view(texts_).substr(c.text.offset, c.text.length);
    }
    Value value(std::size_t row, std::size_t column) const;

    // Room for the rows and text bytes ahead, so that filling does not copy what it has.
    void reserve(std::size_t rows, std::size_t textBytes);
    std::size_t textBytes() const { return texts_.size(); }

    // Filling, one row at a time, every column in order.
    void addNull() { cells_.emplace_back(); }
    void addInteger(std::int64_t i);
    void addReal(double d);
    // The text is appended to the shared buffer by `write`, which receives it to append to.
    template <typename Write>
    void addTextWith(Write write) {
        const std::size_t start = texts_.size();
        write(texts_);
        pushText(start);
    }
    void addText(std::string_view s) {
        addTextWith([s](std::string& buffer) { buffer.append(s); });
    }

  private:
    void pushText(std::size_t start);

    std::size_t columns_;
    std::vector<AccessCell> cells_;
    std::string texts_;
};

}  // namespace pel::db
