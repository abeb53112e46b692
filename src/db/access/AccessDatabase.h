#pragma once
// Read-only access to Access files (.mdb, .accdb) through libmdb. Every operation that would
// write refuses with a message that names the conversion into a SQLite database.

#include <memory>
#include <string>

#include "db/Database.h"

namespace pel::db {

// True when the file starts like a Jet/ACE database.
bool LooksLikeAccessFile(const std::string& path);
// Opens an Access file read-only; throws DbError naming the file.
std::unique_ptr<Database> OpenAccessDatabase(const std::string& path);

// The refusal of a write on the Access file at `path`; `what` says what was refused
// ("Cannot add a row to REGCLNIM").
DbError AccessReadOnlyError(const std::string& path, const std::string& what);

}  // namespace pel::db
