#include "db/Database.h"

#include <sys/stat.h>

#include "db/AccessDatabase.h"
#include "db/SqliteDatabase.h"

namespace pel::db {

std::unique_ptr<Database> Database::open(const std::string& path, bool forWriting) {
    struct stat info {};
    if (path.empty()) throw DbError(DbError::Kind::NotFound, "No database was chosen");
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
    return SqliteDatabase::createNew(path);
}

int TableInfo::columnIndex(std::string_view column) const {
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (EqualsIgnoreCase(columns[i].name, column)) return static_cast<int>(i);
    return -1;
}

const IndexInfo* TableInfo::index(std::string_view exactName) const {
    for (const auto& idx : indexes)
        if (idx.name == exactName) return &idx;
    return nullptr;
}

bool TableExists(Database& db, std::string_view table) {
    try {
        for (const auto& name : db.tableNames())
            if (name == table) return true;
    } catch (const std::exception&) {
    }
    return false;
}

bool IndexExists(Database& db, std::string_view table, std::string_view index) {
    try {
        if (!TableExists(db, table)) return false;
        auto info = db.tableInfo(table);
        return info && info->index(index) != nullptr;
    } catch (const std::exception&) {
        return false;
    }
}

bool StringInArray(std::string_view value, const std::vector<std::string>& list) {
    for (const auto& entry : list)
        if (entry == value) return true;
    return false;
}

namespace {
inline char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}
}  // namespace

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
    return true;
}

std::string ToUpperAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = UpperAscii(c);
    return out;
}

}  // namespace pel::db
