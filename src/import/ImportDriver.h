#pragma once
// The Import tab's run without its widgets: the selection worked out once, then per file, in
// the order chosen, the optional definition update and the import.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Feedback.h"
#include "core/PointTypeCatalog.h"
#include "import/ImportEngine.h"

namespace pel {

// CR LF, blanks, tabs, CR and LF become ","; split at ","; empty pieces dropped; nothing else.
std::vector<std::string> SplitSelectionList(std::string_view text);

struct ImportRequest {
    std::string database;            // txtMDBname
    std::vector<std::string> files;  // importFileList, in order
    ImportMode mode = ImportMode::UpdatesAndAdditions;
    std::optional<std::string> selectionText;  // "Selection List Text" as typed; none for "All"
    bool updateDefinitions = true;             // chkUpdateDatabaseDefs
};

// A selection text with no names is refused with a message before anything is written.
Outcome RunImport(PointTypeCatalog& catalog, Feedback& feedback, const ImportRequest& request);

}  // namespace pel
