#include "db/Definitions.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "core/Paths.h"
#include "db/ValueText.h"

namespace pel::db {

std::string DefinitionsPathIn(const std::string& programDirectory) {
    const std::string sqlite = JoinPath(programDirectory, "EB.db");
    if (FileExists(sqlite)) return sqlite;
    const std::string access = JoinPath(programDirectory, "EB.mdb");
    if (FileExists(access)) return access;
    return sqlite;  // named in the failure when neither is there
}

namespace {

std::optional<std::string> FieldText(const Cursor& cursor, int column) {
    if (column < 0) return std::nullopt;
    Value v = cursor.value(column);
    if (v.isNull()) return std::nullopt;
    return ValueText(v, cursor.field(column).type);
}

}  // namespace

PointTypeCatalog ReadPointTypeCatalog(Database& definitions) {
    auto cursor = definitions.openTable("PointTypes", "PrimaryKey", CursorMode::Reading);
    const int type = cursor->fieldIndex("PntType");
    if (type < 0)
        throw DbError(DbError::Kind::NoColumn,
                      "The table PointTypes of " + definitions.path() + " has no column PntType");
    const int node = cursor->fieldIndex("Node");
    const int internal = cursor->fieldIndex("InternalParameters");
    const int numeric = cursor->fieldIndex("NumericFields");
    std::vector<PointTypeDefinition> rows;
    rows.reserve(static_cast<std::size_t>(std::max<std::int64_t>(0, cursor->recordCount())));
    if (!cursor->bof()) cursor->moveFirst();
    for (; !cursor->eof(); cursor->moveNext()) {
        PointTypeDefinition row;
        row.pntType = FieldText(*cursor, type).value_or(std::string());
        row.node = FieldText(*cursor, node);
        row.internalParameters = FieldText(*cursor, internal);
        row.numericFields = FieldText(*cursor, numeric);
        rows.push_back(std::move(row));
    }
    PointTypeCatalog catalog;
    catalog.setDefinitions(std::move(rows));
    return catalog;
}

std::string ReadQuotedParameters(Database& definitions, std::string_view lcnNode) {
    std::string list = ",";
    auto cursor = definitions.openTable("QuotedParameters", "PrimaryKey", CursorMode::Reading);
    const int node = cursor->fieldIndex("Node");
    const int parameter = cursor->fieldIndex("Parameter");
    if (parameter < 0) return list;
    if (!cursor->bof()) cursor->moveFirst();
    for (; !cursor->eof(); cursor->moveNext()) {
        const Value n = node >= 0 ? cursor->value(node) : Value::null();
        const std::string nodeText = ValueText(n, node >= 0 ? cursor->field(node).type : 202);
        if (n.isNull() || nodeText.empty() || nodeText == lcnNode) {
            list += ValueText(cursor->value(parameter), cursor->field(parameter).type);
            list += ',';
        }
    }
    return list;
}

}  // namespace pel::db
