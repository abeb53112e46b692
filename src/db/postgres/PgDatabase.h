#pragma once
// The database layer over a PostgreSQL database, named by a libpq connection URI. Tables,
// indexes "T.N", type codes and row order as in our SQLite files; the type codes that have no
// server type of their own (TINYINT, BYTE, LONGTEXT) are kept in a small table of ours, and so
// are the columns of each index (the server's index holds the folded keys).

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "db/Database.h"
#include "db/postgres/PgSession.h"

namespace pel::db {

class PgDatabase : public Database {
  public:
    static std::unique_ptr<PgDatabase> open(const std::string& uri, bool forWriting);
    // For a new point database: refuses a database that holds tables already.
    static std::unique_ptr<PgDatabase> openEmpty(const std::string& uri);
    ~PgDatabase() override;

    const std::string& path() const override { return session_.shownName(); }
    bool isReadOnly() const override { return readOnly_; }
    std::vector<std::string> tableNames() override;
    std::optional<TableInfo> tableInfo(std::string_view table) override;
    std::unique_ptr<Cursor> openTable(std::string_view table, std::string_view index,
                                      CursorMode mode) override;
    void addColumn(std::string_view table, std::string_view column,
                   std::string_view declaredType) override;
    void dropColumn(std::string_view table, std::string_view column) override;
    void createTable(std::string_view table, const std::vector<ColumnInfo>& columns) override;
    void createIndex(std::string_view table, const IndexInfo& index) override;
    void setColumnOfAllRows(std::string_view table, std::string_view column,
                            const Value& value) override;
    void pointSaved() override { session_.pointSaved(); }
    void commit() override { session_.commit(); }
    std::uint64_t commits() const override { return session_.commits(); }
    bool tryHoldRun(std::string_view name) override;
    void waitToHoldRun(std::string_view name) override;

    PgSession& session() { return session_; }
    void ensureWritable(std::string_view what) const;

  private:
    PgDatabase(const std::string& uri, bool readOnly);
    bool catalogExists();
    void ensureCatalog();
    void checkName(std::string_view name) const;
    // The server's column definition for a declared type, and the code kept in our table
    // (0 when the server's type tells it).
    std::string columnDefinition(std::string_view column, std::string_view declared,
                                 int* keptCode) const;

    PgSession session_;
    bool readOnly_ = false;
    std::optional<bool> catalogExists_;
    std::map<std::string, TableInfo> infoCache_;
};

}  // namespace pel::db
