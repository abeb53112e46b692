#include "import/ImportDriver.h"

#include "import/DefinitionUpdate.h"

namespace pel {

std::vector<std::string> SplitSelectionList(std::string_view text) {
    std::vector<std::string> names;
    std::string piece;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ',') {
            if (!piece.empty()) names.push_back(std::move(piece));
            piece.clear();
        } else {
            piece += c;
        }
    }
    if (!piece.empty()) names.push_back(std::move(piece));
    return names;
}

Outcome RunImport(PointTypeCatalog& catalog, Feedback& feedback, const ImportRequest& request) {
    std::optional<std::vector<std::string>> selection;
    if (request.selectionText) {
        selection = SplitSelectionList(*request.selectionText);
        // No names would add points without any of their parameters.
        if (selection->empty()) {
            feedback.message(kProgramTitle,
                             "The Selection List Text holds no parameter names. Type the names of "
                             "the parameters to import, or choose All. Nothing was imported.",
                             Icon::Exclamation);
            return Outcome::LeftUndone;
        }
    }
    Outcome outcome = Outcome::Done;
    for (const auto& file : request.files) {
        feedback.setLabel(Panel::Import, Label::CurrentFile, file);
        bool fileFailed = false;
        if (request.updateDefinitions)
            outcome = Worse(outcome, UpdateDefinitionsFromEbFile(
                                         catalog, feedback, request.database, file, &fileFailed));
        if (fileFailed) continue;  // said once, by the definition update
        outcome = Worse(outcome, ImportEbFile(catalog, feedback,
                                              {request.database, file, selection, request.mode}));
    }
    return outcome;
}

}  // namespace pel
