#include "import/ImportDriver.h"

#include "core/Paths.h"
#include "db/Database.h"
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
    // A database that cannot be opened is said once, not once per file.
    try {
        (void)db::Database::open(request.database, true);
    } catch (const std::exception& e) {
        feedback.message(kProgramTitle, std::string("Cannot import: ") + e.what(), Icon::Critical);
        return Outcome::LeftUndone;
    }
    Outcome outcome = Outcome::Done;
    ImportCounts total;
    for (std::size_t i = 0; i < request.files.size(); ++i) {
        const std::string& file = request.files[i];
        if (i > 0 && feedback.cancelRequested()) {  // the file it stopped in says where
            feedback.warning(CancelledWarning("The import", file + " and the files after it were "
                                                                   "not begun"));
            outcome = Outcome::LeftUndone;
            break;
        }
        feedback.setLabel(Panel::Import, Label::CurrentFile, file);
        bool fileFailed = false;
        if (request.updateDefinitions)
            outcome = Worse(outcome, UpdateDefinitionsFromEbFile(
                                         catalog, feedback, request.database, file, &fileFailed));
        if (fileFailed) continue;  // said once, by the definition update
        ImportCounts counts;
        outcome = Worse(outcome,
                        ImportEbFile(catalog, feedback,
                                     {request.database, file, selection, request.mode}, &counts));
        total.added += counts.added;
        total.updated += counts.updated;
        if (counts.databaseFailed && i + 1 < request.files.size()) {
            feedback.summaryLine(Panel::Import, "Not imported, as the database failed: " +
                                                    std::to_string(request.files.size() - i - 1) +
                                                    " files from " +
                                                    FileNamePart(request.files[i + 1]) + " on");
            break;
        }
    }
    if (request.files.size() > 1)
        feedback.summaryLine(Panel::Import,
                             "Total of " + std::to_string(request.files.size()) +
                                 " files: Points added: " + std::to_string(total.added) +
                                 "      Points updated: " + std::to_string(total.updated));
    return outcome;
}

}  // namespace pel
