#pragma once
// The Yes/No column _Found in which the EB comparison remembers which points the files held.

#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>

#include "core/Feedback.h"
#include "core/PointTypeCatalog.h"
#include "core/ProblemList.h"
#include "db/Database.h"

namespace pel {

// A kept _Found value read by the Yes/No rule, whatever the column's type ("True", "1", 1 and
// 1.0 are True); none for Null and for a value the rule cannot read (such a point is not listed).
std::optional<bool> FoundFlag(const db::Value& value);

// Adds _Found (Yes/No) to the table when it exists and lacks one. A failure is noted in
// `failures` (the table and why) and the run goes on.
void AddFieldIfMissing(db::Database& db, std::string_view table, ProblemList& failures);
// Makes sure _Found is a Yes/No column; one of another type is rebuilt when the user says OK
// to "Delete field _Found and rebuild it as one of type Boolean ?" (its values are lost).
// False when the user answered Cancel: the column is kept as it is, and the run is not done.
bool EnsureFieldType(db::Database& db, Feedback& feedback, std::string_view table,
                     ProblemList& failures);
// Sets _Found to False in every row of every point-type table that exists, but for the tables
// named in `except` (the run settles those itself); a table that fails is noted and skipped.
void ClearFoundFlags(const PointTypeCatalog& catalog, db::Database& db,
                     const std::unordered_set<std::string>& except, ProblemList& failures);

}  // namespace pel
