#include "app/Startup.h"

#include <algorithm>

#include "app/Paths.h"
#include "db/Numeric.h"
#include "db/ValueText.h"

namespace pel {

std::string DefinitionsPathIn(const std::string& programDirectory) {
    const std::string sqlite = JoinPath(programDirectory, "EB.db");
    if (FileExists(sqlite)) return sqlite;
    const std::string access = JoinPath(programDirectory, "EB.mdb");
    if (FileExists(access)) return access;
    return sqlite;  // named in the failure when neither is there
}

namespace {

std::optional<std::string> FieldText(const db::Cursor& cursor, int column) {
    if (column < 0) return std::nullopt;
    db::Value v = cursor.value(column);
    if (v.isNull()) return std::nullopt;
    return db::ValueText(v, cursor.field(column).type);
}

}  // namespace

void OpenDefinitions(AppState& state, const std::string& definitionsPath) {
    state.definitionsConnection = db::Database::open(definitionsPath, false);
    state.pointTypesRecordset =
        state.definitionsConnection->openTable("PointTypes", "PrimaryKey", db::CursorMode::Reading);
    db::Cursor& cursor = *state.pointTypesRecordset;
    const int type = cursor.fieldIndex("PntType");
    if (type < 0)
        throw db::DbError(db::DbError::Kind::NoColumn,
                          "The table PointTypes of " + definitionsPath + " has no column PntType");
    const int node = cursor.fieldIndex("Node");
    const int internal = cursor.fieldIndex("InternalParameters");
    const int numeric = cursor.fieldIndex("NumericFields");
    std::vector<PointTypeDefinition> rows;
    rows.reserve(static_cast<std::size_t>(std::max<std::int64_t>(0, cursor.recordCount())));
    if (!cursor.bof()) cursor.moveFirst();
    for (; !cursor.eof(); cursor.moveNext()) {
        PointTypeDefinition row;
        row.pntType = FieldText(cursor, type).value_or(std::string());
        row.node = FieldText(cursor, node);
        row.internalParameters = FieldText(cursor, internal);
        row.numericFields = FieldText(cursor, numeric);
        rows.push_back(std::move(row));
    }
    state.setDefinitions(std::move(rows));
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
    if (FileExists(remembered)) result.accessDatabase = remembered;

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
    state.pointTypesRecordset.reset();
    state.definitionsConnection.reset();
}

}  // namespace pel
