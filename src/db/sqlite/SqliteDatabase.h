#pragma once
// The database layer over SQLite.

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "db/Database.h"
#include "db/SqlIdentifier.h"
#include "db/sqlite/SqliteCursorKeyFilter.h"

struct sqlite3;
struct sqlite3_stmt;

namespace pel::db {

class SqliteStatement;

// Binds a value to a statement's parameter (counted from 1) without copying its text: the value
// must stay as it is until the statement has run.
void BindValue(sqlite3_stmt* st, int place, const Value& value);
void BindValue(sqlite3_stmt* st, int place, const ValueView& value);  // text bound in place
// A column's text in the row a statement stands on, valid until the statement steps; empty for
// no value.
std::string_view ColumnView(sqlite3_stmt* st, int column);

class SqliteDatabase : public Database {
  public:
    static std::unique_ptr<SqliteDatabase> open(const std::string& path, bool forWriting);
    static std::unique_ptr<SqliteDatabase> createNew(const std::string& path);
    ~SqliteDatabase() override;

    const std::string& path() const override { return path_; }
    bool isReadOnly() const override { return readOnly_; }
    std::vector<std::string> tableNames() override;
    std::optional<TableInfo> tableInfo(std::string_view table) override;
    std::unique_ptr<Cursor> openTable(std::string_view table, std::string_view index,
                                      CursorMode mode) override;
    std::unique_ptr<Cursor> openColumns(std::string_view table, std::string_view index,
                                        CursorMode mode,
                                        const std::vector<std::string>& columns) override;
    void addColumn(std::string_view table, std::string_view column,
                   std::string_view declaredType) override;
    void dropColumn(std::string_view table, std::string_view column) override;
    void createTable(std::string_view table, const std::vector<ColumnInfo>& columns) override;
    void createIndex(std::string_view table, const IndexInfo& index) override;
    void setColumnOfAllRows(std::string_view table, std::string_view column,
                            const Value& value) override;
    void pointSaved() override;
    void commit() override;
    void groupSearches() override { searchesGrouped_ = true; }
    std::uint64_t commits() const override { return commits_; }

    // For the cursors: statements cached by their SQL text, errors turned into DbError.
    sqlite3_stmt* cachedStatement(const std::string& sql);
    sqlite3_stmt* prepare(const std::string& sql);  // caller finalizes
    [[noreturn]] void fail(int rc, const std::string& what) const;
    void ensureWritable(std::string_view what) const;
    void beginWrite();
    void beginSearch();  // before a search: joins or renews the read transaction when grouped
    // Changes with every read transaction that ends, and with every search made outside one: a
    // cursor may go on from what one statement read only while it stays the same.
    std::uint64_t searchEpoch() const { return searchEpoch_; }
    // Whether searches share read transactions, and whether the next search renews the one it
    // would share: a statement still reading then would keep the read lock through the renewal.
    bool searchesGrouped() const { return searchesGrouped_; }
    bool searchRenewalDue() const;
    // PRAGMA data_version: changes when another connection has committed since it was last read.
    std::int64_t dataVersion();
    // The data version as the open write transaction began; none outside one. While this
    // connection holds the write lock no other program can change the file.
    std::optional<std::int64_t> writeGroupVersion();
    KeyFilter& keyFilter() { return keyFilter_; }
    std::int64_t changes() const;  // rows this connection has changed in all
    sqlite3* handle() const { return db_; }
    void exec(const std::string& sql);

  private:
    SqliteDatabase(sqlite3* db, std::string path, bool readOnly);
    void finalizeCache();
    void endTransaction();

    sqlite3* db_ = nullptr;
    std::string path_;
    bool readOnly_ = false;
    bool inTransaction_ = false;
    bool writing_ = false;  // the open transaction holds the write lock
    bool searchesGrouped_ = false;
    std::uint64_t commits_ = 0, searchEpoch_ = 0;
    std::chrono::steady_clock::time_point transactionStart_{};
    std::optional<std::int64_t> groupVersion_;  // read on first use in each write transaction
    KeyFilter keyFilter_;
    std::map<std::string, sqlite3_stmt*> cache_;
    std::map<std::string, TableInfo> infoCache_;
};

}  // namespace pel::db
