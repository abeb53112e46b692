#pragma once
// EB files against the point database, point by point and parameter by parameter, into an HTML
// report; optionally the database points of the nodes seen that no file contains.

#include <string>
#include <vector>

#include "app/AppState.h"
#include "app/Feedback.h"

namespace pel {

// `fileNames` are names in state.ebFileDirectory, in list order; database state.accessDatabasePath.
Outcome CompareEbFiles(AppState& state, Feedback& feedback,
                       const std::vector<std::string>& fileNames, const std::string& resultsFile,
                       bool twoWay);

}  // namespace pel
