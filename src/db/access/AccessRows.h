#pragma once
// The rows of one Access table, read whole while a cursor is open on it: compact cells (a kind
// byte and eight bytes of value each) with their text in one shared buffer, so a table of
// 20,000 rows and 34 columns takes a few megabytes, not the tens that a Value per cell would.

#include <bit>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "db/Value.h"

namespace pel::db {

// Readies the pages of a large block about to be written from start to end in one call where
// the system can (and in huge pages where it gives them).
void PrepareAccessBlock(const void* data, std::size_t bytes);

struct AccessTextSpan {
    std::uint32_t offset, length;
};

// One cell as the reader and the cursor see it; stored in nine bytes.
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

    std::size_t rowCount() const { return columns_ ? kinds_.size() / columns_ : 0; }
    std::size_t columnCount() const { return columns_; }
    AccessCell cell(std::size_t row, std::size_t column) const {
        const std::size_t i = row * columns_ + column;
        AccessCell c;
        c.kind = static_cast<Value::Kind>(kinds_[i]);
        const std::uint64_t bits = bits_[i];
        if (c.kind == Value::Kind::Text)
            c.text = {static_cast<std::uint32_t>(bits), static_cast<std::uint32_t>(bits >> 32)};
        else if (c.kind == Value::Kind::Real)
            c.real = std::bit_cast<double>(bits);
        else
            c.integer = static_cast<std::int64_t>(bits);
        return c;
    }
    std::string_view text(const AccessCell& c) const {
        return std::string_view(texts_).substr(c.text.offset, c.text.length);
    }
    Value value(std::size_t row, std::size_t column) const;
    // The cell as a value whose text lies in these rows.
    ValueView view(std::size_t row, std::size_t column) const {
        return viewAt(row * columns_ + column);
    }
    // Every cell of a row, in column order, into `out` (room for columnCount()).
    void viewRow(std::size_t row, ValueView* out) const {
        const std::size_t first = row * columns_;
        for (std::size_t c = 0; c < columns_; ++c) out[c] = viewAt(first + c);
    }

    // Room for the rows and text bytes expected ahead (and an eighth more text in reserve), so
    // that filling does not copy what it has.
    void reserve(std::size_t rows, std::size_t textBytes);
    std::size_t textBytes() const { return texts_.size(); }

    // Filling, one row at a time, every column in order.
    void addNull() { push(Value::Kind::Null, 0); }
    void addInteger(std::int64_t i) { push(Value::Kind::Integer, static_cast<std::uint64_t>(i)); }
    void addReal(double d) { push(Value::Kind::Real, std::bit_cast<std::uint64_t>(d)); }
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
    ValueView viewAt(std::size_t i) const {
        const auto kind = static_cast<Value::Kind>(kinds_[i]);
        const std::uint64_t bits = bits_[i];
        switch (kind) {
            case Value::Kind::Integer:
                return {kind, static_cast<std::int64_t>(bits), 0, {}};
            case Value::Kind::Real:
                return {kind, 0, std::bit_cast<double>(bits), {}};
            case Value::Kind::Text:
                return {kind, 0, 0, {texts_.data() + (bits & 0xFFFFFFFFu), bits >> 32}};
            case Value::Kind::Null:
                break;
        }
        return {};
    }
    void push(Value::Kind kind, std::uint64_t bits) {
        kinds_.push_back(static_cast<std::uint8_t>(kind));
        bits_.push_back(bits);
    }
    void pushText(std::size_t start);

    std::size_t columns_;
    std::vector<std::uint8_t> kinds_;  // Value::Kind of each cell
    std::vector<std::uint64_t> bits_;  // the number, or the text's offset and length << 32
    std::string texts_;
};

}  // namespace pel::db
