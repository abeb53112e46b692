#pragma once
// Read-only access to Access files (.mdb, .accdb) through libmdb.

#include <memory>
#include <string>

#include "db/Database.h"

namespace pel::db {

// True when the file starts like a Jet/ACE database.
bool LooksLikeAccessFile(const std::string& path);
// Opens an Access file read-only; throws DbError naming the file.
std::unique_ptr<Database> OpenAccessDatabase(const std::string& path);

}  // namespace pel::db
