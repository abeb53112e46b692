#include "db/access/AccessCatalog.h"

#include <cstdlib>
#include <cstring>

#include "db/Database.h"

namespace pel::db {

namespace {

constexpr unsigned long kCatalogPage = 2;  // MSysObjects' definition page in every Jet file
constexpr unsigned long kPageMask = 0x00FFFFFF;

struct TableDefFree {
    void operator()(MdbTableDef* t) const { mdb_free_tabledef(t); }
};

DbError Damaged(const std::string& path, const std::string& why) {
    return DbError(DbError::Kind::NotADatabase, "Cannot open the database " + path +
                                                    ": the Access file is damaged (" + why + ")");
}

}  // namespace

AccessCatalogEntries ReadAccessCatalog(MdbHandle* mdb, const std::string& path,
                                       unsigned long pages) {
    MdbCatalogEntry catalog{};
    catalog.mdb = mdb;
    catalog.object_type = MDB_TABLE;
    catalog.table_pg = kCatalogPage;
    std::strcpy(catalog.object_name, "MSysObjects");
    std::unique_ptr<MdbTableDef, TableDefFree> table(mdb_read_table(&catalog));
    if (!table || !mdb_read_columns(table.get()) || !HasPageMap(*table))
        throw Damaged(path, "its catalog cannot be read");

    // Bound columns receive text of at most the handle's bind size.
    std::vector<std::string> values(4, std::string(mdb->bind_size + 1, '\0'));
    std::string names[] = {"Id", "Name", "Type", "Flags"};  // libmdb takes them as gchar*
    for (std::size_t i = 0; i < values.size(); ++i)
        if (mdb_bind_column_by_name(table.get(), names[i].data(), values[i].data(), nullptr) == -1)
            throw Damaged(path, "its catalog has no column " + names[i]);

    AccessCatalogEntries entries;
    mdb_rewind_table(table.get());
    while (mdb_fetch_row(table.get())) {
        auto entry = std::make_unique<MdbCatalogEntry>();
        entry->mdb = mdb;
        entry->object_type = std::atoi(values[2].c_str()) & 0x7F;
        entry->flags = static_cast<int>(std::atol(values[3].c_str()));
        entry->table_pg = static_cast<unsigned long>(std::atol(values[0].c_str())) & kPageMask;
        std::strncpy(entry->object_name, values[1].c_str(), MDB_MAX_OBJ_NAME);
        if (!mdb_is_user_table(entry.get())) continue;
        if (entry->table_pg >= pages)
            throw Damaged(path, "the table " + std::string(entry->object_name) +
                                    " lies beyond the end of the file");
        entries.push_back(std::move(entry));
    }
    return entries;
}

}  // namespace pel::db
