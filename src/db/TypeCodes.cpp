#include "db/TypeCodes.h"

#include <string>

#include "db/Database.h"

namespace pel::db {

int TypeCodeFromDeclaredType(std::string_view declared) {
    const std::string upper = ToUpperAscii(declared);
    // Exact names first, then the affinity rules SQLite itself applies to a declared type.
    struct Named {
        const char* name;
        int code;
    };
    static const Named named[] = {
        {"SMALLINT", kSmallInt}, {"INTEGER", kInteger}, {"SINGLE", kSingle}, {"DOUBLE", kDouble},
        {"BOOLEAN", kBoolean},   {"TINYINT", kTinyInt}, {"BYTE", kByte},     {"TEXT", kText},
        {"LONGTEXT", kLongText}, {"MEMO", kLongText}};
    for (const auto& n : named)
        if (upper == n.name) return n.code;
    if (upper.find("INT") != std::string::npos) return kInteger;
    if (HasTextAffinity(upper)) return kText;
    if (upper.find("REAL") != std::string::npos || upper.find("FLOA") != std::string::npos ||
        upper.find("DOUB") != std::string::npos)
        return kDouble;
    return kText;
}

bool HasTextAffinity(std::string_view declared) {
    const std::string upper = ToUpperAscii(declared);
    return upper.find("INT") == std::string::npos &&
           (upper.find("CHAR") != std::string::npos || upper.find("CLOB") != std::string::npos ||
            upper.find("TEXT") != std::string::npos);
}

const char* DeclaredTypeName(int code) {
    switch (code) {
        case kSmallInt:
            return "SMALLINT";
        case kInteger:
            return "INTEGER";
        case kSingle:
            return "SINGLE";
        case kDouble:
            return "DOUBLE";
        case kBoolean:
            return "BOOLEAN";
        case kTinyInt:
            return "TINYINT";
        case kByte:
            return "BYTE";
        case kLongText:
            return "LONGTEXT";
        default:
            return "TEXT";
    }
}

}  // namespace pel::db
