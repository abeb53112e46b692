#pragma once
// EB file into the point database: points added or updated as the mode allows, values converted
// to their columns' types, internal lines kept together in _INTERNAL.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/Feedback.h"
#include "core/PointTypeCatalog.h"

namespace pel {

enum class ImportMode : std::int32_t {
    UpdatesAndAdditions = 0,
    UpdatesOnly = 1,
    AdditionsOnly = 2
};

struct ImportCounts {
    std::int64_t added = 0;
    std::int64_t updated = 0;
    std::int64_t valuesNotStored = 0;
    // The database failed in a way no later file can escape (cannot be opened, read only,
    // locked, a disk failure): a run of several files ends here.
    bool databaseFailed = false;
};

struct ImportFileRequest {
    std::string database;
    std::string file;
    // None imports every parameter; a list only the names equal to an entry (case-sensitive).
    std::optional<std::vector<std::string>> selection;
    ImportMode mode = ImportMode::UpdatesAndAdditions;
};

// Imports one EB file into the database. An unknown point type the user accepts is appended
// to the catalog.
Outcome ImportEbFile(PointTypeCatalog& catalog, Feedback& feedback,
                     const ImportFileRequest& request, ImportCounts* counts = nullptr);

}  // namespace pel
