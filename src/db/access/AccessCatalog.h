#pragma once
// The tables of an Access file as its catalog (MSysObjects) lists them. Read here rather than by
// libmdb's mdb_read_catalog, which also parses every object's properties (not needed) and loops
// without end on some damaged files.

#include <memory>
#include <string>
#include <vector>

#include "db/access/AccessLibrary.h"

namespace pel::db {

using AccessCatalogEntries = std::vector<std::unique_ptr<MdbCatalogEntry>>;

// The catalog's user tables in catalog order. Throws DbError naming `path` when the catalog
// cannot be read or names a table page beyond the end of the file (`pages` long).
AccessCatalogEntries ReadAccessCatalog(MdbHandle* mdb, const std::string& path,
                                       unsigned long pages);

}  // namespace pel::db
