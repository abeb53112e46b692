#include "db/sqlite/SqliteRowAppender.h"

#include <sqlite3.h>

namespace pel::db {

SqliteRowAppender::SqliteRowAppender(SqliteDatabase& db, const TableInfo& table)
    : db_(db), table_(table.name), columns_(table.columns.size()) {
    std::string names, params;
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        if (i) names += ", ", params += ", ";
        names += QuoteIdentifier(table.columns[i].name);
        params += "?" + std::to_string(i + 1);
    }
    insert_ =
        db_.prepare(columns_ == 0 ? "INSERT INTO " + QuoteIdentifier(table_) + " DEFAULT VALUES"
                                  : "INSERT INTO " + QuoteIdentifier(table_) + " (" + names +
                                        ") VALUES (" + params + ")");
}

SqliteRowAppender::~SqliteRowAppender() {
    sqlite3_finalize(insert_);
}

void SqliteRowAppender::append(const std::vector<ValueView>& row) {
    if (row.size() != columns_)
        throw DbError(DbError::Kind::Other, "A row of " + table_ + " has " +
                                                std::to_string(row.size()) + " values for " +
                                                std::to_string(columns_) + " columns");
    db_.beginWrite();
    // The texts are bound in place: they stay as they are until the statement has run.
    for (std::size_t i = 0; i < row.size(); ++i)
        BindValue(insert_, static_cast<int>(i) + 1, row[i]);
    const int rc = sqlite3_step(insert_);
    sqlite3_reset(insert_);
    if (rc != SQLITE_DONE) db_.fail(rc, "Cannot add a row to " + table_);
}

}  // namespace pel::db
