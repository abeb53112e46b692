#include "db/DriverVersions.h"

#include <sqlite3.h>

#include "db/access/AccessLibrary.h"

namespace pel::db {

std::string SqliteVersion() {
    return sqlite3_libversion();
}

std::string LibmdbVersion() {
    const char* version = mdb_get_version();
    return version ? version : "unknown";
}

}  // namespace pel::db
