#pragma once
// The versions of the database libraries the program runs with, for the About box (defined
// beside the drivers, in db/open).

#include <string>

namespace pel::db {

std::string SqliteVersion();
std::string LibmdbVersion();

}  // namespace pel::db
