#include "db/PointDatabase.h"

namespace pel::db {

void CreatePointTypeTable(Database& db, std::string_view pointType) {
    db.createTable(pointType, {{"NAME", 202, "TEXT NOT NULL COLLATE NOCASE"},
                               {"PNTTYPE", 202, "TEXT"},
                               {"PTDESC", 202, "TEXT"},
                               {"_INTERNAL", 202, "TEXT"}});
    db.createIndex(pointType, {"PrimaryKey", {"NAME"}, true, true});
}

}  // namespace pel::db
