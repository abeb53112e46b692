#pragma once
// EB files against the point database, point by point and parameter by parameter, into an HTML
// report; optionally the database points of the nodes seen that no file contains.

#include <string>
#include <vector>

#include "core/Feedback.h"
#include "core/PointTypeCatalog.h"

namespace pel {

struct CompareEbRequest {
    std::string database;
    std::string directory;               // the folder of the files: the report's heading
    std::vector<std::string> fileNames;  // names in `directory`, in list order
    std::string reportFile;
    bool twoWay = false;  // also list the database points of the nodes seen that no file holds
};

Outcome CompareEbFiles(const PointTypeCatalog& catalog, Feedback& feedback,
                       const CompareEbRequest& request);

}  // namespace pel
