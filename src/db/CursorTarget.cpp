#include "db/CursorTarget.h"

namespace pel::db {

CursorTarget FindCursorTarget(Database& db, std::string_view table, std::string_view index,
                              CursorMode mode) {
    auto info = db.tableInfo(table);
    if (!info)
        throw DbError(DbError::Kind::NoTable,
                      "The database " + db.path() + " has no table " + std::string(table));
    // No index named: rows by NAME, else in table order.
    const IndexInfo* idx = index.empty() ? nullptr : info->index(index);
    if (!index.empty() && (!idx || !idx->readable))
        throw DbError(DbError::Kind::NoIndex, "The table " + std::string(table) + " of " +
                                                  db.path() + " has no index " +
                                                  std::string(index));
    if (mode == CursorMode::Updating && db.isReadOnly())
        throw DbError(DbError::Kind::ReadOnly, "Cannot open " + std::string(table) +
                                                   " for changes: the database " + db.path() +
                                                   " is open for reading only");
    IndexInfo chosen = idx ? *idx : IndexInfo{};
    return {std::move(*info), std::move(chosen)};
}

}  // namespace pel::db
