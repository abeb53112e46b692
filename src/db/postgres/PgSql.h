#pragma once
// SQL text shared by the PostgreSQL database and its cursors. Text keys sort as SQLite's
// NOCASE does, whatever the server's locale: ASCII letters folded to lower case, then bytes
// ("C" collation); NULL first; ties by NAME.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/Database.h"

namespace pel::db {

constexpr std::size_t kLongestServerName = 63;  // longer identifiers the server would cut
constexpr const char* kColumnTypesTable = "_pelorin_column_types";
constexpr const char* kIndexColumnsTable = "_pelorin_index_columns";

bool IsTextType(int code);

// The ASCII-folded text of a quoted expression, without collation.
std::string Folded(std::string_view expression);

// The sort keys of rows in the order of `index`, each "expression COLLATE ..." without NULLS
// FIRST; with `tiesByName` NAME follows (folded, then as it is) when the table has one.
std::vector<std::string> SortKeys(const TableInfo& table, const IndexInfo& index,
                                  bool tiesByName = true);

// "ORDER BY ..." for those keys, or by ctid when there are none.
std::string OrderByClause(const TableInfo& table, const IndexInfo& index);

// A value as the server reads it from text; nullopt for NULL. Text holding a NUL byte does
// not fit (DbError).
std::optional<std::string> ParamText(const Value& value);

// A value of a column of the given type code from its text form.
Value ValueFromText(std::string_view text, int code);

}  // namespace pel::db
