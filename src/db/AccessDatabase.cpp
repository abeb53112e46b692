// Placeholder until the Access reader is built.
#include "db/AccessDatabase.h"

#include <cstdio>
#include <cstring>

namespace pel::db {

bool LooksLikeAccessFile(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    char head[20] = {};
    std::size_t n = std::fread(head, 1, sizeof head, f);
    std::fclose(f);
    return n == sizeof head && (std::memcmp(head + 4, "Standard Jet DB", 15) == 0 ||
                                std::memcmp(head + 4, "Standard ACE DB", 15) == 0);
}

std::unique_ptr<Database> OpenAccessDatabase(const std::string& path) {
    throw DbError(DbError::Kind::NotADatabase, path + " is an Access database; reading Access files is not built yet.");
}

}  // namespace pel::db
