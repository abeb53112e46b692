#pragma once
// The table and index a cursor is opened on, refused alike by every driver that writes: a
// table the database lacks, an index the table lacks or whose order cannot be read, changes
// to a database open for reading only.

#include <memory>
#include <string_view>

#include "db/Database.h"

namespace pel::db {

struct CursorTarget {
    TableInfo table;
    IndexInfo index;  // without a name when none was asked for
};

CursorTarget FindCursorTarget(Database& db, std::string_view table, std::string_view index,
                              CursorMode mode);

// A driver's cursor on that target.
template <class DriverCursor, class DriverDatabase>
std::unique_ptr<Cursor> OpenCursor(DriverDatabase& db, std::string_view table,
                                   std::string_view index, CursorMode mode) {
    CursorTarget target = FindCursorTarget(db, table, index, mode);
    return std::make_unique<DriverCursor>(db, std::move(target.table), std::move(target.index),
                                          mode);
}

}  // namespace pel::db
