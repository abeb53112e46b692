#include "db/ValueText.h"

#include "db/Numeric.h"
#include "db/TypeCodes.h"

namespace pel::db {

std::string ValueText(const Value& value, int typeCode) {
    switch (value.kind()) {
        case Value::Kind::Null:
            return {};
        case Value::Kind::Integer:
            if (typeCode == kBoolean) return value.asInteger() != 0 ? "True" : "False";
            // SQLite keeps whole values of a real column as integers; the column decides.
            if (typeCode == kSingle) return FormatSingle(static_cast<double>(value.asInteger()));
            if (typeCode == kDouble) return FormatDouble(static_cast<double>(value.asInteger()));
            return std::to_string(value.asInteger());
        case Value::Kind::Real:
            if (typeCode == kBoolean) return value.asReal() != 0 ? "True" : "False";
            return typeCode == kSingle ? FormatSingle(value.asReal())
                                       : FormatDouble(value.asReal());
        case Value::Kind::Text:
            return value.asText();
    }
    return {};
}

std::string ValueText(Value&& value, int typeCode) {
    if (value.kind() == Value::Kind::Text) return std::move(value).takeText();
    return ValueText(static_cast<const Value&>(value), typeCode);
}

bool HasEmptyText(const Value& value) {
    return value.isNull() || (value.kind() == Value::Kind::Text && value.asText().empty());
}

}  // namespace pel::db
