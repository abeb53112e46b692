#pragma once
// The synthetic plant as a file and as a point database that holds it, made once in a folder
// of the system's temporary folder and reused by later runs.

#include <filesystem>
#include <string>

#include "db/Database.h"
#include "db/Definitions.h"
#include "db/PointDatabase.h"
#include "import/ImportDriver.h"
#include "support/PlantGenerator.h"
#include "support/SilentFeedback.h"

namespace pel::bench {

struct PlantFiles {
    std::string folder, eb, db;
};

// The catalog of the build's definitions database.
inline PointTypeCatalog BuiltCatalog() {
    auto definitions = db::Database::open(PELORIN_DEFS, false);
    return db::ReadPointTypeCatalog(*definitions);
}

// A new point database with a table for every point type, as new-db makes it.
inline void NewPointDatabase(const PointTypeCatalog& catalog, const std::string& path) {
    std::filesystem::remove(path);
    auto d = db::Database::create(path);
    for (const std::string& type : catalog.names()) db::CreatePointTypeTable(*d, type);
    d->commit();
}

inline PlantFiles MakePlantDatabase(const std::string& name, std::int64_t points,
                                    PointTypeCatalog& catalog) {
    const auto dir = std::filesystem::temp_directory_path() / name;
    std::filesystem::create_directories(dir);
    PlantFiles f{dir.string(), (dir / "plant.eb").string(), (dir / "plant.db").string()};
    if (!std::filesystem::exists(f.db)) {
        WritePlant(f.eb, {points, 1});
        NewPointDatabase(catalog, f.db);
        SilentFeedback silent;
        (void)RunImport(catalog, silent, {f.db, {f.eb}, ImportMode::UpdatesAndAdditions, {}, true});
    }
    return f;
}

}  // namespace pel::bench
