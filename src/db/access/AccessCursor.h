#pragma once
// A Reading cursor on an Access table. libmdb gives rows in file order, so the cursor holds the
// table's rows while it is open and walks them sorted as our SQLite files sort: by the index's
// columns (text without regard to ASCII case as SQLite's NOCASE, numbers by value, Null first),
// ties by NAME (without regard to case, then exactly), then file order.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "db/Database.h"
#include "db/access/AccessRows.h"

namespace pel::db {

class AccessCursor : public Cursor {
  public:
    // `index` may be empty (no columns): rows by NAME when the table has one, else file order.
    AccessCursor(TableInfo table, const IndexInfo& index, AccessRows rows, std::string path);

    bool bof() const override { return order_.empty(); }
    bool eof() const override { return position_ >= order_.size(); }
    void moveFirst() override { position_ = 0; }
    void moveNext() override {
        if (!eof()) ++position_;
    }
    bool seek(std::string_view key) override;
    std::int64_t recordCount() override { return static_cast<std::int64_t>(order_.size()); }

    int fieldCount() const override { return static_cast<int>(table_.columns.size()); }
    const ColumnInfo& field(int i) const override;
    int fieldIndex(std::string_view name) const override;
    Value value(int i) const override;
    void rowValues(std::vector<ValueView>& values, std::vector<Value>& storage) const override;

    void addNew() override;
    void setValue(int i, Value v) override;
    void update() override;
    void cancelUpdate() override {}
    bool editing() const override { return false; }

  private:
    [[noreturn]] void refuse(const std::string& what) const;

    TableInfo table_;
    AccessRows rows_;
    std::string path_;
    std::vector<std::uint32_t> order_;  // row numbers in index order
    std::size_t position_ = 0;
    int keyColumn_ = -1;  // the column Seek looks in
    std::unordered_map<std::string, int> byUpperName_;
};

// Compares two cells (each with the rows that hold its text) as the cursor orders them: Null
// first, numbers by value, then text; <0, 0 or >0.
int CompareAccessCells(const AccessRows& rowsA, const AccessCell& a, const AccessRows& rowsB,
                       const AccessCell& b, bool ignoreCase);

}  // namespace pel::db
