#pragma once
// The synthetic plant as a file and as a point database that holds it, made once in a folder
// of the system's temporary folder and reused by later runs.

#include <filesystem>
#include <string>

#include "app/Startup.h"
#include "db/Database.h"
#include "db/PointDatabase.h"
#include "import/ImportDriver.h"
#include "support/PlantGenerator.h"
#include "support/SilentFeedback.h"

namespace pel::bench {

struct PlantFiles {
    std::string folder, eb, db;
};

inline PlantFiles MakePlantDatabase(const std::string& name, std::int64_t points, AppState& state) {
    const auto dir = std::filesystem::temp_directory_path() / name;
    std::filesystem::create_directories(dir);
    PlantFiles f{dir.string(), (dir / "plant.eb").string(), (dir / "plant.db").string()};
    if (!std::filesystem::exists(f.db)) {
        WritePlant(f.eb, {points, 1});
        auto d = db::Database::create(f.db);
        for (std::int32_t i = 0; i < state.pointTypeCount; ++i)
            db::CreatePointTypeTable(*d, state.pointTypeNames[static_cast<std::size_t>(i)]);
        d.reset();
        SilentFeedback silent;
        RunImport(state, silent, {f.db, {f.eb}, ImportMode::UpdatesAndAdditions, {}, true});
    }
    return f;
}

}  // namespace pel::bench
