#include "compare/FoundColumn.h"

#include "db/ColumnConversion.h"
#include "db/SaveBeforeAsking.h"
#include "db/TypeCodes.h"
#include "db/ValueText.h"

namespace pel {

namespace {
constexpr std::string_view kFound = "_Found";
}

std::optional<bool> FoundFlag(const db::Value& value) {
    if (value.isNull()) return std::nullopt;
    // What the rule below makes of a whole number, without its text: read once per row.
    if (value.kind() == db::Value::Kind::Integer) return value.asInteger() != 0;
    const db::Conversion flag =
        db::ConvertForColumn(db::kBoolean, db::ValueText(value, db::kDouble));
    if (flag.outcome != db::Conversion::Outcome::Stored || flag.value.isNull()) return std::nullopt;
    return flag.value.asInteger() != 0;
}

void AddFieldIfMissing(db::Database& db, std::string_view table, ProblemList& failures) {
    try {
        auto info = db.tableInfo(table);
        if (info && info->columnIndex(kFound) < 0) db.addColumn(table, kFound, "BOOLEAN");
    } catch (const std::exception& e) {
        failures.note(std::string(table) + ": " + e.what());
    }
}

bool EnsureFieldType(db::Database& db, Feedback& feedback, std::string_view table,
                     ProblemList& failures) {
    try {
        auto info = db.tableInfo(table);
        if (!info) return true;
        const int column = info->columnIndex(kFound);
        if (column < 0) {
            db.addColumn(table, kFound, "BOOLEAN");
            return true;
        }
        const db::ColumnInfo& c = info->columns[static_cast<std::size_t>(column)];
        if (c.type == db::kBoolean) return true;
        if (!db::AskOkCancelWithWorkSaved(
                db, feedback, "Rebuild Field",
                "Delete field " + std::string(kFound) + " and rebuild it as one of type Boolean ?"))
            return false;
        db.dropColumn(table, c.name);
        db.addColumn(table, kFound, "BOOLEAN");
    } catch (const std::exception& e) {
        failures.note(std::string(table) + ": " + e.what());
    }
    return true;
}

void ClearFoundFlags(const PointTypeCatalog& catalog, db::Database& db,
                     const std::unordered_set<std::string>& except, ProblemList& failures) {
    for (const auto& def : catalog.definitions()) {
        if (except.count(def.pntType)) continue;
        try {
            if (!db::TableExists(db, def.pntType)) continue;
            auto info = db.tableInfo(def.pntType);
            const int column = info ? info->columnIndex(kFound) : -1;
            if (column >= 0)
                db.setColumnOfAllRows(def.pntType,
                                      info->columns[static_cast<std::size_t>(column)].name,
                                      db::Value::integer(0));
        } catch (const std::exception& e) {
            failures.note(def.pntType + ": " + e.what());
        }
    }
}

}  // namespace pel
