#pragma once
// A table cursor over PostgreSQL. A walk reads the rows in index order in one statement (its
// own snapshot: nothing is held on the server while the caller works through them). A seek by
// point name looks in that snapshot, as a keyset cursor does (rows other sessions add later are
// not seen; the cursor's own writes are), which spares the server a round trip per point; any
// other seek reads one row by its key, ignoring case. Rows are changed by their key (NAME, unique
// without regard to case) or, in a table without one, by their place (ctid). Adding a row whose
// NAME another session added meanwhile updates that row instead: both writes are applied, one after
// the other.

#include <map>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "db/Database.h"
#include "db/RowEdit.h"
#include "db/postgres/PgSession.h"

namespace pel::db {

class PgDatabase;

class PgCursor : public Cursor {
  public:
    PgCursor(PgDatabase& db, TableInfo table, IndexInfo index, CursorMode mode);

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

    void addNew() override;
    void setValue(int i, Value v) override;
    void update() override;
    void cancelUpdate() override;
    bool editing() const override { return edit_.editing(); }

  private:
    enum class Source { None, Walk, Seek, Inserted };

    const PgResult* currentResult() const;
    int walkRow(int at) const { return order_.empty() ? at : order_[static_cast<std::size_t>(at)]; }
    int currentRow() const { return source_ == Source::Walk ? walkRow(row_) : 0; }
    Value stored(int i) const;     // the current row as read
    std::string identity() const;  // NAME or ctid of the current row
    void leaveRow();
    void walk();
    void orderWalk();
    // The write of the assigned columns; by name, `rows` sends it with others alike.
    struct Write {
        PgRowWrite shape;
        bool rows = false;
    };
    Write& writeFor(bool insert);

    PgSession& session_;
    TableInfo table_;
    IndexInfo index_;
    CursorMode mode_;
    int nameColumn_ = -1;
    bool byName_ = false;  // rows are found by NAME (the table has a unique PrimaryKey on it)
    std::string walkSql_;
    std::string seekSql_;
    std::string countSql_;
    PgResult walk_;
    // Walk position -> row of walk_, when the rows come unsorted and are put in order here.
    bool ordersWalk_ = false;
    std::vector<int> order_;
    PgResult seekHit_;
    int row_ = 0;
    Source source_ = Source::None;
    bool empty_ = false;
    bool walkIsFresh_ = false;  // opened, and neither moved nor written since
    std::string insertedName_;
    // Seeks by name in the snapshot: folded name -> row; written values of those rows; rows
    // this cursor added (folded name -> every column).
    bool seeksInSnapshot_ = false;
    bool keyed_ = false;
    std::unordered_map<std::string, int> rowByName_;
    std::unordered_map<int, std::vector<std::pair<int, Value>>> written_;
    std::unordered_set<std::string> added_;

    RowEdit edit_;

    std::unordered_map<std::string, int> byUpperName_;
    std::map<std::vector<int>, Write> inserts_;
    std::map<std::vector<int>, Write> updates_;
};

}  // namespace pel::db
