#include "db/sqlite/UnseenDatabaseFile.h"

#include <fcntl.h>
#include <unistd.h>

namespace pel::db {

std::unique_ptr<SqliteDatabase> CreateUnseenDatabase(const std::string& path) {
    auto db = SqliteDatabase::createNew(path);
    db->exec("PRAGMA journal_mode = OFF");
    db->exec("PRAGMA synchronous = FULL");  // with no journal: one sync of the file per commit
    db->exec("PRAGMA cache_size = -1000");  // 1 MB: a larger cache only costs first touches
    return db;
}

void SyncFolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace pel::db
