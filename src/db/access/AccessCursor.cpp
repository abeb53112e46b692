#include "db/access/AccessCursor.h"

#include <algorithm>
#include <array>

#include "core/AsciiCase.h"
#include "db/Numeric.h"
#include "db/TypeCodes.h"
#include "db/access/AccessDatabase.h"

namespace pel::db {

namespace {

int Rank(Value::Kind k) {
    switch (k) {
        case Value::Kind::Null:
            return 0;
        case Value::Kind::Integer:
        case Value::Kind::Real:
            return 1;
        case Value::Kind::Text:
            return 2;
    }
    return 0;
}

double AsDouble(const AccessCell& c) {
    return c.kind == Value::Kind::Integer ? static_cast<double>(c.integer) : c.real;
}

template <typename T>
int Sign(T a, T b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

int CompareText(std::string_view a, std::string_view b, bool ignoreCase) {
    if (ignoreCase) return CompareIgnoringCase(a, b);
    const int c = a.compare(b);  // as unsigned bytes, like SQLite's BINARY
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

bool IsNumericColumn(int type) {
    return IsWholeNumberType(type) || IsFloatingType(type) || type == kBoolean || type == kByte;
}

}  // namespace

int CompareAccessCells(const AccessRows& rowsA, const AccessCell& a, const AccessRows& rowsB,
                       const AccessCell& b, bool ignoreCase) {
    const int ra = Rank(a.kind), rb = Rank(b.kind);
    if (ra != rb) return ra < rb ? -1 : 1;
    switch (ra) {
        case 1:
            if (a.kind == Value::Kind::Integer && b.kind == Value::Kind::Integer)
                return Sign(a.integer, b.integer);
            return Sign(AsDouble(a), AsDouble(b));
        case 2:
            return CompareText(rowsA.text(a), rowsB.text(b), ignoreCase);
        default:
            return 0;
    }
}

AccessCursor::AccessCursor(TableInfo table, const IndexInfo& index, AccessRows rows,
                           std::string path)
    : table_(std::move(table)), rows_(std::move(rows)), path_(std::move(path)) {
    for (std::size_t i = 0; i < table_.columns.size(); ++i)
        byUpperName_.emplace(ToUpperAscii(table_.columns[i].name), static_cast<int>(i));
    std::vector<std::size_t> keys;
    for (const auto& c : index.columns)
        if (int i = fieldIndex(c); i >= 0) keys.push_back(static_cast<std::size_t>(i));
    const int name = fieldIndex("NAME");
    keyColumn_ = keys.empty() ? name : static_cast<int>(keys.front());

    order_.resize(rows_.rowCount());
    for (std::size_t r = 0; r < order_.size(); ++r) order_[r] = static_cast<std::uint32_t>(r);
    // The cells the order depends on, each column's in one array that the sort reads often,
    // with the first 16 bytes of a text folded to small letters: most comparisons end there,
    // without a visit to the text (point names are mostly shorter).
    struct SortCell {
        AccessCell cell;
        std::array<std::uint64_t, 2> head{};  // big-endian, so that it orders as the bytes do
    };
    auto cellsOf = [&](std::size_t column) {
        std::vector<SortCell> cells;
        cells.reserve(order_.size());
        PrepareAccessBlock(cells.data(), cells.capacity() * sizeof(SortCell));
        cells.resize(order_.size());
        for (std::size_t r = 0; r < cells.size(); ++r) {
            SortCell& s = cells[r];
            s.cell = rows_.cell(r, column);
            if (s.cell.kind != Value::Kind::Text) continue;
            const std::string_view text = rows_.text(s.cell);
            for (std::size_t i = 0; i < 16; ++i)
                s.head[i / 8] =
                    s.head[i / 8] << 8 |
                    (i < text.size() ? LowerAscii(static_cast<unsigned char>(text[i])) : 0);
        }
        return cells;
    };
    // Heads that differ order as the texts do (a text that ends sooner pads with zeros, and
    // orders first as the shorter text would).
    auto compare = [&](const SortCell& a, const SortCell& b, bool ignoreCase) {
        if (ignoreCase && a.cell.kind == Value::Kind::Text && b.cell.kind == Value::Kind::Text &&
            a.head != b.head)
            return a.head < b.head ? -1 : 1;
        return CompareAccessCells(rows_, a.cell, rows_, b.cell, ignoreCase);
    };
    // Each column's cells once: NAME is often the index's key as well.
    std::vector<std::size_t> sortColumns = keys;
    if (name >= 0 &&
        std::find(keys.begin(), keys.end(), static_cast<std::size_t>(name)) == keys.end())
        sortColumns.push_back(static_cast<std::size_t>(name));
    std::vector<std::vector<SortCell>> cellsByColumn;
    for (std::size_t c : sortColumns) cellsByColumn.push_back(cellsOf(c));
    auto cellsOfColumn = [&](std::size_t column) -> const std::vector<SortCell>& {
        return cellsByColumn[static_cast<std::size_t>(
            std::find(sortColumns.begin(), sortColumns.end(), column) - sortColumns.begin())];
    };
    std::vector<const std::vector<SortCell>*> keyCells;
    for (std::size_t k : keys) keyCells.push_back(&cellsOfColumn(k));
    const std::vector<SortCell>* nameCells =
        name >= 0 ? &cellsOfColumn(static_cast<std::size_t>(name)) : nullptr;
    auto before = [&](std::uint32_t x, std::uint32_t y) {
        for (const auto* cells : keyCells)
            if (int c = compare((*cells)[x], (*cells)[y], true)) return c < 0;
        if (nameCells)
            for (bool ignoreCase : {true, false})
                if (int c = compare((*nameCells)[x], (*nameCells)[y], ignoreCase)) return c < 0;
        return x < y;  // file order: the sort needs no stable merge, which costs more
    };
    // Files are often kept in key order already: one pass then tells, where a sort would
    // compare each row many times.
    if (!std::is_sorted(order_.begin(), order_.end(), before))
        std::sort(order_.begin(), order_.end(), before);
}

bool AccessCursor::seek(std::string_view key) {
    position_ = order_.size();
    if (keyColumn_ < 0) return false;
    const auto column = static_cast<std::size_t>(keyColumn_);
    // The key as the column holds it: a number for a numeric column, else text.
    AccessRows keyRows(1);
    if (IsNumericColumn(table_.columns[column].type)) {
        auto number = ParseNumber(key);
        if (!number) return false;
        keyRows.addReal(*number);
    } else {
        keyRows.addText(key);
    }
    const AccessCell wanted = keyRows.cell(0, 0);
    auto compare = [&](std::uint32_t row) {
        return CompareAccessCells(rows_, rows_.cell(row, column), keyRows, wanted, true);
    };
    auto it = std::partition_point(order_.begin(), order_.end(),
                                   [&](std::uint32_t row) { return compare(row) < 0; });
    if (it == order_.end() || compare(*it) != 0) return false;
    position_ = static_cast<std::size_t>(it - order_.begin());
    return true;
}

const ColumnInfo& AccessCursor::field(int i) const {
    return table_.columns.at(static_cast<std::size_t>(i));
}

int AccessCursor::fieldIndex(std::string_view name) const {
    auto it = byUpperName_.find(ToUpperAscii(name));
    return it == byUpperName_.end() ? -1 : it->second;
}

Value AccessCursor::value(int i) const {
    if (eof()) throw DbError(DbError::Kind::Other, "No current row in " + table_.name);
    if (i < 0 || static_cast<std::size_t>(i) >= table_.columns.size())
        throw DbError(DbError::Kind::NoColumn,
                      "The table " + table_.name + " has no column " + std::to_string(i));
    return rows_.value(order_[position_], static_cast<std::size_t>(i));
}

void AccessCursor::rowValues(std::vector<ValueView>& values, std::vector<Value>&) const {
    if (eof()) throw DbError(DbError::Kind::Other, "No current row in " + table_.name);
    values.resize(table_.columns.size());
    rows_.viewRow(order_[position_], values.data());
}

void AccessCursor::refuse(const std::string& what) const {
    throw AccessReadOnlyError(path_, what + " " + table_.name);
}

void AccessCursor::addNew() {
    refuse("Cannot add a row to");
}
void AccessCursor::setValue(int, Value) {
    refuse("Cannot change a value in");
}
void AccessCursor::update() {
    refuse("Cannot save a row of");
}

}  // namespace pel::db
