#include "db/sqlite/SqliteRowAppender.h"

#include <sqlite3.h>

namespace pel::db {

SqliteRowAppender::SqliteRowAppender(SqliteDatabase& db, const TableInfo& table)
    : db_(db), table_(table.name), values_(table.columns.size()) {
    std::string names, params;
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        if (i) names += ", ", params += ", ";
        names += QuoteIdentifier(table.columns[i].name);
        params += "?" + std::to_string(i + 1);
    }
    insert_ =
        db_.prepare(values_.empty() ? "INSERT INTO " + QuoteIdentifier(table_) + " DEFAULT VALUES"
                                    : "INSERT INTO " + QuoteIdentifier(table_) + " (" + names +
                                          ") VALUES (" + params + ")");
}

SqliteRowAppender::~SqliteRowAppender() {
    sqlite3_finalize(insert_);
}

void SqliteRowAppender::set(int column, Value value) {
    Value& v = values_.at(static_cast<std::size_t>(column));
    v = std::move(value);  // kept here: the statement reads its text when it runs
    BindValue(insert_, column + 1, v);
}

void SqliteRowAppender::append() {
    db_.beginWrite();
    const int rc = sqlite3_step(insert_);
    sqlite3_reset(insert_);
    if (rc != SQLITE_DONE) db_.fail(rc, "Cannot add a row to " + table_);
}

}  // namespace pel::db
