#pragma once
// The Export tab's run without its widgets.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/AppState.h"
#include "app/Feedback.h"

namespace pel {

// One name per line (CR LF or lone CR; LF accepted too), blanks trimmed, empty lines skipped.
// A file without names gives one empty name. nullopt when the file cannot be read.
std::optional<std::vector<std::string>> ReadSelectionList(const std::string& path,
                                                          std::string* error = nullptr);
// CR LF and blanks become ","; split; non-empty pieces in order; all empty: one empty name.
std::vector<std::string> SplitExportSelectionText(std::string_view text);

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
};

// "No point types selected" when the list is empty; failures shown by description.
Outcome RunExport(AppState& state, Feedback& feedback, const ExportRequest& request);

}  // namespace pel
