#pragma once
// Column type codes as the rest of the program speaks of them, and their mapping from the
// declared type of a SQLite column.

#include <string_view>

namespace pel::db {

enum TypeCode : int {
    kSmallInt = 2,
    kInteger = 3,
    kSingle = 4,
    kDouble = 5,
    kBoolean = 11,
    kTinyInt = 16,
    kByte = 17,
    kUnsignedInt = 19,
    kVarChar = 200,
    kText = 202,
    kLongText = 203,
};

// SMALLINT 2, INTEGER 3, SINGLE 4, DOUBLE 5, BOOLEAN 11, TINYINT 16, BYTE 17, TEXT 202,
// LONGTEXT and MEMO 203 (case-insensitive); any other declaration by SQLite's affinity rules:
// integer affinity 3, real affinity 5, everything else 202.
int TypeCodeFromDeclaredType(std::string_view declared);
// Whether SQLite gives a column of this declared type text affinity (case-insensitive): its
// values are then stored and compared as text.
bool HasTextAffinity(std::string_view declared);

// The declared type the program gives a column of that code (TEXT for any other code).
const char* DeclaredTypeName(int code);

// Whole-number columns (2, 3, 16, 19), floating-point columns (4, 5).
inline bool IsWholeNumberType(int code) {
    return code == kSmallInt || code == kInteger || code == kTinyInt || code == kUnsignedInt;
}
inline bool IsFloatingType(int code) {
    return code == kSingle || code == kDouble;
}

}  // namespace pel::db
