#include "app/Startup.h"

#include <algorithm>

#include "core/Paths.h"
#include "db/Definitions.h"
#include "db/Numeric.h"
#include "db/ServerUri.h"
#include "db/ValueText.h"

namespace pel {

void OpenDefinitions(AppState& state, const std::string& definitionsPath) {
    state.definitionsConnection = db::Database::open(definitionsPath, false);
    state.catalog = db::ReadPointTypeCatalog(*state.definitionsConnection);
}

bool ParseLimitSetting(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return lower.find("true") != std::string::npos;
}

std::optional<std::int32_t> ParseWholeNumberSetting(std::string_view text) {
    auto number = db::ParseNumber(text);
    if (!number) return std::nullopt;
    return db::RoundHalfEvenToInt32(*number);
}

StartupResult RunStartup(AppState& state, SettingsStore& settings,
                         const std::string& definitionsPath, const std::string& homeDirectory) {
    StartupResult result;
    try {
        OpenDefinitions(state, definitionsPath);
    } catch (const std::exception& e) {
        result.ok = false;
        result.failure = e.what();
        return result;
    }
    state.accessDatabasePath.clear();
    state.currentEbFile.clear();

    std::string remembered = settings.read("Access Database", "");
    // A server database is no file: it is tried when an operation runs.
    if (db::IsServerUri(remembered) || FileExists(remembered)) result.accessDatabase = remembered;

    state.ebFileDirectory = settings.read("EB-file Directory", homeDirectory);
    state.accessDirectory = settings.read("Access Directory", homeDirectory);
    state.textFileDirectory = settings.read("Text file Directory", homeDirectory);
    state.limitPointsPerEb = ParseLimitSetting(settings.read("Limit Points Per EB", "False"));

    // A hand-edited maximum that is no number would stop start-up half way; 250 serves instead.
    const std::string max = settings.read("Max Points Per EB", "250");
    if (auto n = ParseWholeNumberSetting(max)) {
        state.maxPointsPerEb = *n;
    } else {
        state.maxPointsPerEb = 250;
        result.warnings.push_back("The stored \"Max Points Per EB\" value \"" + max +
                                  "\" is not a whole number; 250 is used instead");
    }
    return result;
}

void RunShutdown(AppState& state) {
    state.definitionsConnection.reset();
}

}  // namespace pel
