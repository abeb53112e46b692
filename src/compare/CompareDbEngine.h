#pragma once
// The point database against an as-built copy, for chosen point types, into an HTML report.

#include <string>
#include <string_view>
#include <vector>

#include "app/AppState.h"
#include "app/Feedback.h"

namespace pel {

// state.accessDatabasePath against state.asBuiltDatabasePath.
Outcome CompareDatabases(AppState& state, Feedback& feedback,
                         const std::vector<std::string>& pointTypes, std::string_view orderBy,
                         const std::string& reportFile);

}  // namespace pel
