#include "db/sqlite/UnseenDatabaseFile.h"

namespace pel::db {

std::unique_ptr<SqliteDatabase> CreateUnseenDatabase(const std::string& path) {
    auto db = SqliteDatabase::createNew(path);
    // Set before the first table: a copy filled in one go writes a quarter of the pages and
    // splits a quarter as often as with 4 KB ones; later imports into it are no slower.
    db->exec("PRAGMA page_size = 16384");
    db->exec("PRAGMA journal_mode = OFF");
    db->exec("PRAGMA synchronous = FULL");  // with no journal: one sync of the file per commit
    db->exec("PRAGMA cache_size = -500");   // 500 KB: a larger cache only costs first touches
    return db;
}

}  // namespace pel::db
