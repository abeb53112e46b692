#pragma once
// The point database into EB files: the rows of the chosen point types in the order of an
// index, optionally limited to a selection of point names, split after maxPointsPerEb points.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/AppState.h"
#include "app/Feedback.h"

namespace pel {

// "," + each quoted parameter for the node (or for every node) + ",".
std::string GetQuotedParameters(AppState& state, std::string_view lcnNode);

// The name of file number n (2 upward) of a split export, formed from the first file's path;
// applied to the file name only; a file name without "." gets "_n" appended.
std::string NextExportFileName(const std::string& firstFile, int fileNumber);

// Reads state.accessDatabasePath, writes state.currentEbFile (and its numbered successors).
// `selection` none: every row; a list: rows whose NAME equals an entry exactly. A selection
// that could not be produced is passed as `selectionFailure` (the run then fails after the
// confirmation, before anything is opened).
Outcome ExportToEb(AppState& state, Feedback& feedback, const std::vector<std::string>& pointTypes,
                   std::string_view orderBy,
                   const std::optional<std::vector<std::string>>& selection,
                   std::string_view lcnNode, const std::string* selectionFailure = nullptr);

}  // namespace pel
