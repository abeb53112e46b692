#pragma once
// Value text: how a database value becomes text in EB files, reports and comparisons.
// Text as stored; whole numbers in plain decimal; single precision as %.7G, double as %.15G;
// Booleans "True" and "False"; Null as empty text.

#include <string>

#include "db/Value.h"

namespace pel::db {

std::string ValueText(const Value& value, int typeCode);
// The same, taking the text of a value that is no longer needed rather than copying it.
std::string ValueText(Value&& value, int typeCode);

// True when the value's text is empty (Null or empty text); a 0 or a False is not empty.
bool HasEmptyText(const Value& value);

}  // namespace pel::db
