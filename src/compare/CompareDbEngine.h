#pragma once
// The point database against an as-built copy, for chosen point types, into an HTML report.

#include <string>
#include <string_view>
#include <vector>

#include "core/Feedback.h"
#include "core/PointTypeCatalog.h"

namespace pel {

struct CompareDbRequest {
    std::string database;
    std::string asBuilt;
    std::vector<std::string> pointTypes;
    std::string orderBy = "Name";
    std::string reportFile;
};

Outcome CompareDatabases(Feedback& feedback, const CompareDbRequest& request);

}  // namespace pel
