#pragma once
// A new SQLite file that nobody opens before it is published (NewDatabaseFile.h): a failure or
// a kill before the rename leaves only a part that is removed, so while it is filled its
// commits protect nothing. It is filled in one transaction with no journal; the commit syncs
// the whole file once, before it gets its name.

#include <memory>
#include <string>

#include "db/sqlite/SqliteDatabase.h"

namespace pel::db {

// Creates `path` (a fresh part) for filling; its page cache stays modest, so a large
// transaction spills to the file (unsynced) instead of growing in memory.
std::unique_ptr<SqliteDatabase> CreateUnseenDatabase(const std::string& path);

}  // namespace pel::db
