#pragma once
// Making a new database file without ever harming another: it is built under a fresh name
// beside the destination and published at the end, never over a file that took the name
// meanwhile; a failure removes what was built.

#include <string>

namespace pel::db {

// A fresh, unused name beside `dest` (same folder, so publishing stays on one file system).
std::string TemporaryPathBeside(const std::string& dest);
// Removes a database file and its journal files.
void RemoveDatabaseFiles(const std::string& path);
// Gives `temp` the name `dest`; throws DbError when `dest` exists.
void Publish(const std::string& temp, const std::string& dest);

}  // namespace pel::db
