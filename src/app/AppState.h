#pragma once
// The one application-wide record: the definitions database and its PointTypes cursor, the
// point-type list, the paths of the operation under way, the last-used directories and the
// export limit.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "db/Database.h"

namespace pel {

// One row of PointTypes, read once at start-up (the definitions database is never written, and
// the list is not refreshed while the program runs).
struct PointTypeDefinition {
    std::string pntType;
    std::optional<std::string> node;
    std::optional<std::string> internalParameters;
    std::optional<std::string> numericFields;
};

struct AppState {
    std::unique_ptr<db::Database> definitionsConnection;
    std::unique_ptr<db::Cursor> pointTypesRecordset;
    std::vector<std::string> importFileList;
    std::string ebFileDirectory;
    std::string accessDirectory;
    std::string textFileDirectory;
    std::string selectionFileDirectory;
    std::string accessDatabasePath;
    std::string currentEbFile;
    std::string connectionReportFile;
    std::string selectionListFile;
    std::string asBuiltDirectory;
    std::string asBuiltDatabasePath;
    std::int32_t pointTypeCount = 0;
    // Indexes 0 to pointTypeCount - 1 hold the known types; the slot at pointTypeCount is empty.
    std::vector<std::string> pointTypeNames{std::string()};
    bool limitPointsPerEb = false;
    std::int32_t maxPointsPerEb = 250;

    // The PointTypes rows in PrimaryKey order, with a case-insensitive look-up by PntType.
    std::vector<PointTypeDefinition> definitions;

    // Index of a known point type (case-insensitive, first match); -1 when unknown. An empty
    // type is never known.
    int findPointType(std::string_view pointType) const;
    // Appends an accepted point type: it takes the old empty slot and a new empty slot follows,
    // so the empty slot stays last and every reader sees every known type. Returns its index.
    // An empty name is never appended (returns -1).
    int appendPointType(std::string_view pointType);
    // The PointTypes row of a point type (case-insensitive), or null.
    const PointTypeDefinition* definition(std::string_view pointType) const;
    // Fills definitions and the point-type list from rows in PrimaryKey order.
    void setDefinitions(std::vector<PointTypeDefinition> rows);

  private:
    std::unordered_map<std::string, std::size_t> definitionByUpperName_;
};

// Is the parameter of the point type kept in _INTERNAL: the name is trimmed, upper-cased and cut
// at its first "(", then searched as a substring of the type's InternalParameters (stored
// databases were built with this substring rule).
bool IsInternalParameter(const AppState& state, std::string_view pointType,
                         std::string_view parameter);
// The same test against an InternalParameters text already looked up.
bool IsInternalParameterIn(std::string_view internalParameters, std::string_view parameter);

// Trim blanks, upper-case, cut at the first "(".
std::string BaseParameterName(std::string_view parameter);

}  // namespace pel
