#pragma once
// The table a new point database holds for each point type: NAME, PNTTYPE, PTDESC, _INTERNAL,
// with its PrimaryKey index on NAME.

#include <string_view>

#include "db/Database.h"

namespace pel::db {

void CreatePointTypeTable(Database& db, std::string_view pointType);

}  // namespace pel::db
