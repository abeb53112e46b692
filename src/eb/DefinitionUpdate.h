#pragma once
// Before an EB file is imported: make sure every point-type table has a column for every
// parameter the file writes (whole-number columns for the type's NumericFields, text otherwise;
// "_INTERNAL" for internal lines). Changes table definitions only, never rows.

#include <string_view>

#include "app/AppState.h"
#include "app/Feedback.h"

namespace pel::eb {

// Scans state.currentEbFile against state.accessDatabasePath. May append point types.
Outcome UpdateDefinitionsFromEbFile(AppState& state, Feedback& feedback);

// "," + base name + "," occurs in the numeric list (the point type is not used by the test).
bool IsNumericParameter(std::string_view pointType, std::string_view parameter,
                        std::string_view numericList);

}  // namespace pel::eb
