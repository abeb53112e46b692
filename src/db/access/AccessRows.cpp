#include "db/access/AccessRows.h"

#include <limits>

#include "db/Database.h"

namespace pel::db {

Value AccessRows::value(std::size_t row, std::size_t column) const {
    const AccessCell& c = cell(row, column);
    switch (c.kind) {
        case Value::Kind::Null:
            return Value::null();
        case Value::Kind::Integer:
            return Value::integer(c.integer);
        case Value::Kind::Real:
            return Value::real(c.real);
        case Value::Kind::Text:
            return Value::text(std::string(text(c)));
    }
    return Value::null();
}

void AccessRows::addInteger(std::int64_t i) {
    AccessCell& c = cells_.emplace_back();
    c.kind = Value::Kind::Integer;
    c.integer = i;
}

void AccessRows::addReal(double d) {
    AccessCell& c = cells_.emplace_back();
    c.kind = Value::Kind::Real;
    c.real = d;
}

void AccessRows::pushText(std::size_t start) {
    constexpr std::size_t kLimit = std::numeric_limits<std::uint32_t>::max();
    if (texts_.size() > kLimit) {
        texts_.resize(start);
        throw DbError(DbError::Kind::Other, "The table holds more text than can be read at once");
    }
    AccessCell& c = cells_.emplace_back();
    c.kind = Value::Kind::Text;
    c.text.offset = static_cast<std::uint32_t>(start);
    c.text.length = static_cast<std::uint32_t>(texts_.size() - start);
}

}  // namespace pel::db
