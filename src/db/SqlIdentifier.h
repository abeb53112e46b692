#pragma once
// Identifiers in SQL text, for every driver that speaks SQL.

#include <string>
#include <string_view>

namespace pel::db {

// Double-quoted SQL identifier, inner quotes doubled.
std::string QuoteIdentifier(std::string_view name);

}  // namespace pel::db
