#pragma once
// The point database into EB files: the rows of the chosen point types in the order of an
// index, optionally limited to a selection of point names, split after maxPointsPerEb points.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <cstdint>

#include "core/Feedback.h"
#include "db/Database.h"

namespace pel {

// The name of file number n (2 upward) of a split export, formed from the first file's path;
// applied to the file name only; a file name without "." gets "_n" appended.
std::string NextExportFileName(const std::string& firstFile, int fileNumber);

enum class ExportSelection { All = 0, File = 1, Text = 2 };

struct ExportRequest {
    std::string database;                 // txtMDBname
    std::string exportFile;               // txtEbExportFile
    std::vector<std::string> pointTypes;  // selected entries of listPointTypes, top to bottom
    ExportSelection selection = ExportSelection::All;
    std::string selectionFile;     // txtExportSelectionFile
    std::string selectionText;     // txtExportSelectionList
    std::string orderBy = "Name";  // cmbOrderBy
    std::string lcnNode = "NIM";   // cmbLcnNode
    // The Options limit: after this many points a new file is begun (a maximum below 1 does
    // not split).
    bool limitPointsPerFile = false;
    std::int32_t maxPointsPerFile = 250;
    // The definitions database, for its QuotedParameters; none: no parameter is quoted.
    db::Database* definitions = nullptr;
};

// "No point types selected" when the list is empty; failures shown by description.
// Reads the database, writes the export file (and its numbered successors). A selection keeps
// the rows whose NAME equals an entry exactly.
Outcome RunExport(Feedback& feedback, const ExportRequest& request);

}  // namespace pel
