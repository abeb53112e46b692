// The one place that knows every driver: a database is opened by the driver its name calls for.

#include <sys/stat.h>

#include "db/Database.h"
#include "db/ServerUri.h"
#include "db/access/AccessDatabase.h"
#include "db/postgres/PgDatabase.h"
#include "db/sqlite/SqliteDatabase.h"

namespace pel::db {

std::unique_ptr<Database> Database::open(const std::string& path, bool forWriting) {
    struct stat info {};
    if (path.empty()) throw DbError(DbError::Kind::NotFound, "No database was chosen");
    if (IsServerUri(path)) return PgDatabase::open(path, forWriting);
    if (::stat(path.c_str(), &info) != 0)
        throw DbError(DbError::Kind::NotFound, "The database " + path + " does not exist");
    if (LooksLikeAccessFile(path)) {
        if (forWriting)
            throw DbError(DbError::Kind::ReadOnly,
                          "The database " + path +
                              " is an Access file, which is read only here; convert it first with "
                              "pelorin-cli convert " +
                              path + " NEW.db and work on the new file");
        return OpenAccessDatabase(path);
    }
    return SqliteDatabase::open(path, forWriting);
}

std::unique_ptr<Database> Database::create(const std::string& path) {
    if (IsServerUri(path)) return PgDatabase::openEmpty(path);
    return SqliteDatabase::createNew(path);
}

}  // namespace pel::db
