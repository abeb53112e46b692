#pragma once
// A table cursor over SQLite: rows in the order of an index (ties by NAME), seek on the index's
// first key ignoring case, assignments pending until update().

#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "db/Database.h"
#include "db/RowEdit.h"
#include "db/sqlite/SqliteCursorKeyFilter.h"

struct sqlite3_stmt;

namespace pel::db {

class SqliteDatabase;

class SqliteCursor : public Cursor {
  public:
    SqliteCursor(SqliteDatabase& db, TableInfo table, IndexInfo index, CursorMode mode);
    ~SqliteCursor() override;

    bool bof() const override { return empty_; }
    bool eof() const override { return source_ == Source::None; }
    void moveFirst() override;
    void moveNext() override;
    bool seek(std::string_view key) override;
    std::int64_t recordCount() override;

    int fieldCount() const override { return static_cast<int>(table_.columns.size()); }
    const ColumnInfo& field(int i) const override {
        return table_.columns[static_cast<std::size_t>(i)];
    }
    int fieldIndex(std::string_view name) const override;
    Value value(int i) const override;
    void valueText(int i, std::string& out) const override;
    std::string_view valueView(int i, std::string& scratch) const override;
    void rowTexts(std::vector<std::string_view>& texts,
                  std::vector<std::string>& storage) const override;
    void setText(int i, std::string_view text) override;

    void addNew() override;
    void setValue(int i, Value v) override;
    void update() override;
    void cancelUpdate() override;
    bool editing() const override { return edit_.editing(); }
    std::optional<std::int64_t> rowNumber() const override;

  private:
    enum class Source { None, Walk, Seek, Inserted };

    sqlite3_stmt* currentStatement() const;
    // The value text of column `i` of the row `st` stands on: SQLite's own text where it can be
    // (valid until the statement steps), else made in `scratch`.
    std::string_view storedText(sqlite3_stmt* st, int i, std::string& scratch) const;
    std::int64_t currentRowid() const;
    void leaveRow();  // saves pending changes, as moving off an edited row does
    bool stepWalk();
    void releaseSeekHit();
    void releaseScan();
    bool restartScan(std::string_view key);
    std::optional<bool> seekAlong(std::string_view key);
    bool knownAbsent(std::string_view key);
    sqlite3_stmt* writeStatement(bool insert);
    void bindPending(sqlite3_stmt* st, int first);

    SqliteDatabase& db_;
    TableInfo table_;
    IndexInfo index_;
    CursorMode mode_;
    std::string selectList_;  // rowid (when it fits) and every column, in table order
    int firstColumn_ = 1;     // where the table's columns start in a row read: after the rowid
    std::string orderBy_;
    std::string keyColumn_;
    bool keyIgnoresCase_ = true;
    sqlite3_stmt* walk_ = nullptr;
    sqlite3_stmt* seekExact_ = nullptr;
    sqlite3_stmt* seekNoCase_ = nullptr;
    sqlite3_stmt* seekHit_ = nullptr;  // the seek statement standing on the found row
    // Rows from a key on, in index order (a text key kept without regard to case only): seeks
    // that come in key order, as a file's points mostly do, step along it instead of starting
    // a search each. No row's key lies between scanFloor_ (itself included unless floorPassed_)
    // and the key of the row it stands on.
    sqlite3_stmt* scan_ = nullptr;
    int scanKey_ = 0;  // the key's place in a row read
    bool scanLive_ = false, floorPassed_ = false;
    std::string scanFloor_;
    std::uint64_t scanEpoch_ = 0;
    std::int64_t scanChanges_ = 0;  // the connection's changes when the scan last moved
    // The table was empty when the cursor opened (filterKeys_ set): a key the database's
    // KeyFilter has not seen is not in it, while the filter holds and the file's data version is
    // the one read before the table was found empty. Trusted within a write transaction only (no
    // other program can write then); dropped for good once either fails.
    KeyFilter::TableKeys* filterKeys_ = nullptr;
    std::int64_t filterVersion_ = 0;
    int keyField_ = -1;  // the key column in the table, when it has text affinity
    Source source_ = Source::None;
    bool empty_ = false;
    std::int64_t insertedRowid_ = 0;

    RowEdit edit_;

    std::unordered_map<std::string, int> byUpperName_;
    std::map<std::vector<int>, sqlite3_stmt*> inserts_;
    std::map<std::vector<int>, sqlite3_stmt*> updates_;
};

}  // namespace pel::db
