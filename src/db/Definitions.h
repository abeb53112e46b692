#pragma once
// The definitions database: where it is found and what is read from it.

#include <memory>
#include <string>
#include <string_view>

#include "core/PointTypeCatalog.h"
#include "db/Database.h"

namespace pel::db {

// The definitions database beside the program: EB.db, else EB.mdb.
std::string DefinitionsPathIn(const std::string& programDirectory);

// Reads the PointTypes rows in PrimaryKey order into a catalog. Throws DbError.
PointTypeCatalog ReadPointTypeCatalog(Database& definitions);

// "," + each quoted parameter for the node (a row whose Node is Null or empty counts for every
// node) + ",". Throws DbError when QuotedParameters cannot be read.
std::string ReadQuotedParameters(Database& definitions, std::string_view lcnNode);

}  // namespace pel::db
