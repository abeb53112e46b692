#pragma once
// What the window remembers between clicks: the definitions it read at start-up, the paths of
// the operation under way, the last-used folders and the export limit.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/PointTypeCatalog.h"
#include "db/Database.h"

namespace pel {

struct AppState {
    std::unique_ptr<db::Database> definitionsConnection;
    PointTypeCatalog catalog;
    std::vector<std::string> importFileList;
    std::string ebFileDirectory;
    std::string accessDirectory;
    std::string textFileDirectory;
    std::string selectionFileDirectory;
    std::string accessDatabasePath;
    std::string currentEbFile;
    std::string connectionReportFile;
    std::string selectionListFile;
    std::string asBuiltDirectory;
    std::string asBuiltDatabasePath;
    bool limitPointsPerEb = false;
    std::int32_t maxPointsPerEb = 250;
};

}  // namespace pel
