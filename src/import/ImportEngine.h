#pragma once
// EB file into the point database: points added or updated as the mode allows, values converted
// to their columns' types, internal lines kept together in _INTERNAL.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/AppState.h"
#include "app/Feedback.h"

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
};

// Imports state.currentEbFile into state.accessDatabasePath. `selection`: none imports every
// parameter; a list only the names equal to an entry (case-sensitive).
Outcome ImportEbFile(AppState& state, Feedback& feedback,
                     const std::optional<std::vector<std::string>>& selection, ImportMode mode,
                     ImportCounts* counts = nullptr);

}  // namespace pel
