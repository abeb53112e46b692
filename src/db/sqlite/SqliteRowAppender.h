#pragma once
// Adds whole rows to one table of a SQLite database through one prepared statement, for a copy
// that has every value of each row at hand and needs none of a cursor's bookkeeping.

#include <vector>

#include "db/Database.h"
#include "db/sqlite/SqliteDatabase.h"

namespace pel::db {

class SqliteRowAppender {
  public:
    // Rows of `table` with every one of its columns, in table order.
    SqliteRowAppender(SqliteDatabase& db, const TableInfo& table);
    ~SqliteRowAppender();
    SqliteRowAppender(const SqliteRowAppender&) = delete;
    SqliteRowAppender& operator=(const SqliteRowAppender&) = delete;

    // One row, a value for every column in table order.
    void append(const std::vector<ValueView>& row);

  private:
    SqliteDatabase& db_;
    std::string table_;
    sqlite3_stmt* insert_ = nullptr;
    std::size_t columns_;
};

}  // namespace pel::db
