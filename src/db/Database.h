#pragma once
// The database layer: connections by path, the catalog, table cursors in the Reading and
// Updating modes. Implemented over SQLite (read and write) and over Access files (read only).
// Failures are thrown as DbError; the engines decide what to report.

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/AsciiCase.h"
#include "db/Value.h"

namespace pel::db {

class DbError : public std::runtime_error {
  public:
    enum class Kind {
        NotFound,      // no file at the path
        NotADatabase,  // the file is not a database we can read
        Locked,        // another program holds a lock
        ReadOnly,      // an operation that writes on a read-only database
        NoTable,
        NoIndex,
        NoColumn,
        DoesNotFit,  // a value the column cannot hold
        Io,
        NeedsPassword,  // a server that asks for a password none of libpq's means gave
        Other,
    };
    DbError(Kind kind, const std::string& message) : std::runtime_error(message), kind_(kind) {}
    Kind kind() const { return kind_; }

  private:
    Kind kind_;
};

struct ColumnInfo {
    std::string name;
    int type = 202;            // type code (TypeCodes.h)
    std::string declaredType;  // as declared (SQLite) or the Access type's name
};

struct IndexInfo {
    std::string name;                  // PrimaryKey, Address, ... (without the "T." prefix)
    std::vector<std::string> columns;  // key columns in order
    bool unique = false;
    bool readable = true;  // false when the file's index could not be read
};

struct TableInfo {
    std::string name;
    std::vector<ColumnInfo> columns;  // table order
    std::vector<IndexInfo> indexes;
    // Column position by name, ignoring case; -1 when there is none.
    int columnIndex(std::string_view column) const;
    const IndexInfo* index(std::string_view exactName) const;
};

enum class CursorMode { Reading, Updating };

// A cursor on one table, rows in the order of the index it was opened with (ties by NAME).
// After opening it stands on the first row; bof() is true only when the table is empty.
class Cursor {
  public:
    virtual ~Cursor() = default;

    virtual bool bof() const = 0;
    virtual bool eof() const = 0;
    virtual void moveFirst() = 0;
    virtual void moveNext() = 0;
    // Seek one key of the index (a point name on PrimaryKey), ignoring case. Returns whether a
    // row was found; eof() is its negation. The found row becomes current.
    virtual bool seek(std::string_view key) = 0;
    virtual std::int64_t recordCount() = 0;

    virtual int fieldCount() const = 0;
    virtual const ColumnInfo& field(int i) const = 0;
    virtual int fieldIndex(std::string_view name) const = 0;  // ignores case; -1 if none
    virtual Value value(int i) const = 0;                     // current row (pending if assigned)
    // ValueText of value(i) in the column's type, into `out`, whose storage is reused: a walk
    // over many rows then makes no string per value.
    virtual void valueText(int i, std::string& out) const;
    // The same text as a view: of the driver's own copy of the value where it keeps one (valid
    // until the cursor moves or the value is assigned), else of `scratch`, filled as above.
    virtual std::string_view valueView(int i, std::string& scratch) const {
        valueText(i, scratch);
        return scratch;
    }
    // The value text of every column of the current row, in table order, as views that stay
    // valid until the cursor moves or a value is assigned; `storage` holds the texts the driver
    // had to make. One call per row: a driver may hand out its own copy of the row's text
    // (by default, valueView of each column).
    virtual void rowTexts(std::vector<std::string_view>& texts,
                          std::vector<std::string>& storage) const;
    // The values of every column of the current row, in table order, valid until the cursor
    // moves or a value is assigned; `storage` holds the values the driver had to make (by
    // default, value(i) of each column). A copy of many rows then makes no Value per value.
    virtual void rowValues(std::vector<ValueView>& values, std::vector<Value>& storage) const;

    // Updating mode only. Assignments stay pending until update().
    virtual void addNew() = 0;
    virtual void setValue(int i, Value v) = 0;
    // setValue(i, Value::text(text)); a driver may keep the storage of the text from row to row.
    virtual void setText(int i, std::string_view text);
    virtual void update() = 0;
    virtual void cancelUpdate() = 0;
    virtual bool editing() const = 0;  // a row is being added or has pending assignments
    // A number that tells the current row from every other of the table while the cursor is
    // open (SQLite's rowid), for a run that has to remember rows without keeping their keys;
    // none where the driver has no such number.
    virtual std::optional<std::int64_t> rowNumber() const { return std::nullopt; }
};

// Parameter columns are added to a point-type table up to this many columns in all, so that the
// comparison's _Found column and a cursor's row id still fit in SQLite's 2,000.
inline constexpr std::size_t kMostParameterColumns = 1997;

class Database {
  public:
    virtual ~Database() = default;

    // Opens a SQLite or Access database by path, or a PostgreSQL database by its connection URI
    // ("postgresql://..."). `forWriting` asks for write access: an Access file or a read-only
    // file is refused then, before anything is changed.
    static std::unique_ptr<Database> open(const std::string& path, bool forWriting);
    // A new, empty SQLite database; refuses an existing file. For a URI: the server's database,
    // refused when it holds tables already.
    static std::unique_ptr<Database> create(const std::string& path);

    virtual const std::string& path() const = 0;
    virtual bool isReadOnly() const = 0;
    virtual bool isAccess() const { return false; }

    virtual std::vector<std::string> tableNames() = 0;                       // catalog order
    virtual std::optional<TableInfo> tableInfo(std::string_view table) = 0;  // exact name

    // `index` is an index name of the table (PrimaryKey, Address, ...); an empty name gives
    // the rows by NAME when the table has one, else in table order.
    virtual std::unique_ptr<Cursor> openTable(std::string_view table, std::string_view index,
                                              CursorMode mode) = 0;

    // As openTable, for a run that reads and changes only `columns` (names as the table spells
    // them, ignoring case): a driver may leave the others out of the cursor's rows, so that
    // fieldIndex gives -1 for them. By default the cursor has them all.
    virtual std::unique_ptr<Cursor> openColumns(std::string_view table, std::string_view index,
                                                CursorMode mode,
                                                const std::vector<std::string>& columns) {
        (void)columns;
        return openTable(table, index, mode);
    }

    // Structure (SQLite only). Columns come at the end of the table; they are saved with the
    // writes around them (pointSaved, commit, or closing the database).
    virtual void addColumn(std::string_view table, std::string_view column,
                           std::string_view declaredType) = 0;
    virtual void dropColumn(std::string_view table, std::string_view column) = 0;
    virtual void createTable(std::string_view table, const std::vector<ColumnInfo>& columns) = 0;
    virtual void createIndex(std::string_view table, const IndexInfo& index) = 0;
    // Sets one column of every row of a table to one value (SQLite only).
    virtual void setColumnOfAllRows(std::string_view table, std::string_view column,
                                    const Value& value) {
        (void)table, (void)column, (void)value;
        throw DbError(DbError::Kind::ReadOnly, "The database " + path() + " cannot be changed");
    }

    // Writes are grouped into transactions. pointSaved() after each completed point commits
    // when the transaction has been open for 100 ms; commit() commits now. A failure of the
    // database that undid the open transaction makes the next commit() throw (Kind::Io).
    virtual void pointSaved() = 0;
    virtual void commit() = 0;
    // How many write transactions have been committed: a run compares it before and after
    // pointSaved() to know how far its work is saved.
    virtual std::uint64_t commits() const { return 0; }

    // A run that must not overlap another of its kind on a shared database (a two-way
    // comparison resets and reads the found flags of whole tables) holds `name` until the
    // database is closed. tryHoldRun is false while another program holds it; waitToHoldRun
    // then waits for it. A file of one user needs no such lock.
    virtual bool tryHoldRun(std::string_view /*name*/) { return true; }
    virtual void waitToHoldRun(std::string_view /*name*/) {}

    // For a run that searches row after row: the searches that follow share one read
    // transaction, renewed every 100 ms so that other programs are never kept waiting long,
    // until commit(). Searching alone takes and drops the file's lock for every row.
    virtual void groupSearches() {}

    // Values read that could not be kept as they are (an Access Single or Double holding NaN,
    // read as Null), one text each naming table, row and column; emptied by the call. A run
    // warns with them and ends as not done.
    virtual std::vector<std::string> takeReadNotes() { return {}; }
};

// Shared look-ups. TableExists and IndexExists are exact (case-sensitive) and turn any failure
// into false.
bool TableExists(Database& db, std::string_view table);
bool IndexExists(Database& db, std::string_view table, std::string_view index);

// Hands each read note of the database to `warn`; true when there was any.
template <typename Warn>
bool SayReadNotes(Database& db, Warn&& warn) {
    const std::vector<std::string> notes = db.takeReadNotes();
    for (const auto& note : notes) warn(note);
    return !notes.empty();
}

}  // namespace pel::db
