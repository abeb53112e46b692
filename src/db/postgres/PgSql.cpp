#include "db/postgres/PgSql.h"

#include <cstdio>
#include <cstdlib>

#include "db/SqlIdentifier.h"
#include "db/TypeCodes.h"

namespace pel::db {

bool IsTextType(int code) {
    return code == kText || code == kLongText || code == kVarChar;
}

std::string Folded(std::string_view expression) {
    return "translate(" + std::string(expression) +
           ", 'ABCDEFGHIJKLMNOPQRSTUVWXYZ', 'abcdefghijklmnopqrstuvwxyz')";
}

std::vector<std::string> SortKeys(const TableInfo& table, const IndexInfo& index, bool tiesByName) {
    std::vector<std::string> keys;
    auto add = [&](std::string key) {
        for (const auto& k : keys)
            if (k == key) return;
        keys.push_back(std::move(key));
    };
    auto textKey = [](const std::string& column) {
        return Folded(QuoteIdentifier(column)) + " COLLATE \"C\"";
    };
    for (const auto& column : index.columns) {
        const int at = table.columnIndex(column);
        const bool text = at < 0 || IsTextType(table.columns[static_cast<std::size_t>(at)].type);
        add(text ? textKey(column) : QuoteIdentifier(column));
    }
    if (tiesByName && table.columnIndex("NAME") >= 0) {
        add(textKey("NAME"));
        add("\"NAME\" COLLATE \"C\"");
    }
    return keys;
}

std::string OrderByClause(const TableInfo& table, const IndexInfo& index) {
    // Names unique without regard to case leave no ties: the order is then exactly the unique
    // index's, which the server can read instead of sorting the table.
    const bool uniqueNames = index.unique && index.columns == std::vector<std::string>{"NAME"};
    std::string out;
    for (const auto& key : SortKeys(table, index, !uniqueNames))
        out += (out.empty() ? " ORDER BY " : ", ") + key + " NULLS FIRST";
    return out.empty() ? " ORDER BY ctid" : out;
}

std::optional<std::string> ParamText(const Value& value) {
    switch (value.kind()) {
        case Value::Kind::Null:
            return std::nullopt;
        case Value::Kind::Integer:
            return std::to_string(value.asInteger());
        case Value::Kind::Real: {
            char buffer[40];
            std::snprintf(buffer, sizeof buffer, "%.17g", value.asReal());
            return std::string(buffer);
        }
        case Value::Kind::Text:
            // The server's text cannot hold a NUL byte; cutting the text there would lose data.
            if (value.asText().find('\0') != std::string::npos)
                throw DbError(DbError::Kind::DoesNotFit,
                              "A text holding a NUL byte cannot be stored on a server");
            return value.asText();
    }
    return std::nullopt;
}

Value ValueFromText(std::string_view text, int code) {
    const bool number = IsWholeNumberType(code) || code == kByte || code == kSingle ||
                        code == kDouble || code == kBoolean;
    if (!number) return Value::text(std::string(text));
    // Numbers are mostly short: read from a copy on the stack, ended by a NUL, when it fits.
    char buffer[64] = {};
    std::string longer;
    if (text.size() < sizeof buffer)
        text.copy(buffer, text.size());
    else
        longer = std::string(text);
    const char* s = longer.empty() ? buffer : longer.c_str();
    if (code == kBoolean) return Value::integer(text == "t" ? 1 : 0);
    // A single is stored as the double nearest the single-precision number, as in SQLite.
    if (code == kSingle) return Value::real(static_cast<double>(std::strtof(s, nullptr)));
    if (code == kDouble) return Value::real(std::strtod(s, nullptr));
    return Value::integer(std::strtoll(s, nullptr, 10));
}

}  // namespace pel::db
