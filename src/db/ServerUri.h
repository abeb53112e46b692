#pragma once
// Point databases on a PostgreSQL server are named by a libpq connection URI; anything else
// names a file.

#include <string>
#include <string_view>

namespace pel::db {

// True for "postgresql://..." and "postgres://..." (scheme in any letter case).
bool IsServerUri(std::string_view name);

// The URI as it may be shown: the password of the user part and any "password" parameter
// are left out.
std::string UriWithoutPassword(std::string_view uri);

// `text` with every occurrence of the URI's password removed (for messages of the client
// library that might quote what they were given).
std::string WithoutPassword(std::string text, std::string_view uri);

}  // namespace pel::db
