#pragma once
// The demo plant: a small NIM plant's EB files, and the point database and as-built database
// made from them through the engines, kept in the user's data folder, so that a newcomer sees
// every tab of the window working at once.

#include <optional>
#include <string>
#include <vector>

#include "core/Feedback.h"
#include "core/PointTypeCatalog.h"

namespace pel {

struct DemoPlant {
    std::string ebDirectory;         // the copies of the demo EB files
    std::vector<std::string> files;  // their full paths, in name order
    std::string database;            // the point database, every file imported
    std::string asBuiltDatabase;     // the same, with the as-built changes imported on top
    std::string exportFile;
    std::string compareResults;
    std::string compareDbResults;
    std::vector<std::string> pointTypes;  // the point types the demo files hold
};

// Makes what is missing of the demo plant in `dataDirectory` from the EB files in
// `demoDirectory` (and the as-built changes in its folder "asbuilt"): copies of the files, then
// each database as pelorin-cli new-db makes it with every file imported. A database is kept
// only when its import did everything, so a failed first start is tried again at the next.
// Needs the definitions open in the catalog. Nothing on failure, with `failure` saying why.
std::optional<DemoPlant> PrepareDemoPlant(PointTypeCatalog& catalog, Feedback& feedback,
                                          const std::string& demoDirectory,
                                          const std::string& dataDirectory, std::string& failure);

}  // namespace pel
