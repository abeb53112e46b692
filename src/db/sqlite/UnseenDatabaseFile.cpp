#include "db/sqlite/UnseenDatabaseFile.h"

namespace pel::db {

std::unique_ptr<SqliteDatabase> CreateUnseenDatabase(const std::string& path) {
    auto db = SqliteDatabase::createNew(path);
    db->exec("PRAGMA journal_mode = OFF");
    db->exec("PRAGMA synchronous = FULL");  // with no journal: one sync of the file per commit
    db->exec("PRAGMA cache_size = -500");   // 500 KB: a larger cache only costs first touches
    return db;
}

}  // namespace pel::db
