#pragma once
// Dangling connections: every reference (POINT.PARAMETER) in a connection parameter of the
// chosen point types whose point exists nowhere, or whose point exists but has no column of the
// parameter, into an HTML or CSV report.

#include <cstdint>
#include <string>
#include <vector>

#include "core/Feedback.h"
#include "core/PointTypeCatalog.h"

namespace pel {

struct ConnectionCheckRequest {
    std::string database;
    std::string reportFile;               // .htm, .html or .csv, in any letter case
    std::vector<std::string> pointTypes;  // empty: every known point type that has a table
    std::vector<std::string> ebFiles;     // their points count as existing too
};

struct ConnectionCheckResult {
    Outcome outcome = Outcome::Done;  // LeftUndone when anything asked was not done
    std::int64_t points = 0, references = 0, dangling = 0, parameterNotFound = 0;
};

ConnectionCheckResult CheckConnections(const PointTypeCatalog& catalog, Feedback& feedback,
                                       const ConnectionCheckRequest& request);

}  // namespace pel
