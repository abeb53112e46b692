#pragma once
// Start-up and shut-down as engine code: the window runs them when it is loaded and unloaded.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/AppState.h"
#include "ui/SettingsStore.h"

namespace pel {

struct StartupResult {
    bool ok = true;              // false: "Error in form load", remaining steps skipped
    std::string failure;         // what failed (for the log, not the message box)
    std::string accessDatabase;  // step 6: the remembered database when it exists, else empty
    std::vector<std::string> warnings;  // e.g. a stored maximum that is no number
};

// Opens the definitions database (step 2) and reads PointTypes (steps 3 and 5). Throws
// db::DbError on failure.
void OpenDefinitions(AppState& state, const std::string& definitionsPath);

// Steps 2 to 9: definitions, paths emptied, point-type list, remembered database, directories,
// the export limit. A failure stops at that step. A stored "Max Points Per EB" that is no
// number or out of range gives 250 and a warning, and start-up goes on. `homeDirectory` stands
// in for the default "C:\".
StartupResult RunStartup(AppState& state, SettingsStore& settings,
                         const std::string& definitionsPath, const std::string& homeDirectory);

// Closes the definitions connection (whatever start-up opened).
void RunShutdown(AppState& state);

// "Limit Points Per EB": true when the lower-cased text contains "true".
bool ParseLimitSetting(std::string_view text);
// A 32-bit integer with blanks around allowed and a fraction rounded; nullopt otherwise.
std::optional<std::int32_t> ParseWholeNumberSetting(std::string_view text);

}  // namespace pel
