#include "db/access/AccessRows.h"

#include <sys/mman.h>

#include <cstdint>
#include <limits>

#include "db/Database.h"

namespace pel::db {

Value AccessRows::value(std::size_t row, std::size_t column) const {
    const ValueView v = view(row, column);
    switch (v.kind) {
        case Value::Kind::Null:
            return Value::null();
        case Value::Kind::Integer:
            return Value::integer(v.integer);
        case Value::Kind::Real:
            return Value::real(v.real);
        case Value::Kind::Text:
            return Value::text(std::string(v.text));
    }
    return Value::null();
}

namespace {

// A table's rows are read into a few large blocks that are each written once, from start to
// end: in huge pages the kernel meets one fault where it would meet five hundred.
void PreferHugePages([[maybe_unused]] const void* data, [[maybe_unused]] std::size_t bytes) {
#ifdef MADV_HUGEPAGE
    constexpr std::uintptr_t kHuge = std::uintptr_t{2} << 20;
    const auto start = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (start + kHuge - 1) & ~(kHuge - 1);
    const std::uintptr_t end = (start + bytes) & ~(kHuge - 1);
    if (end > first) ::madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
#endif
}

}  // namespace

void AccessRows::reserve(std::size_t rows, std::size_t textBytes) {
    kinds_.reserve(rows * columns_);
    bits_.reserve(rows * columns_);
    texts_.reserve(textBytes);
    PreferHugePages(bits_.data(), bits_.capacity() * sizeof(std::uint64_t));
    PreferHugePages(texts_.data(), texts_.capacity());
}

void AccessRows::pushText(std::size_t start) {
    constexpr std::size_t kLimit = std::numeric_limits<std::uint32_t>::max();
    if (texts_.size() > kLimit) {
        texts_.resize(start);
        throw DbError(DbError::Kind::Other, "The table holds more text than can be read at once");
    }
    const auto length = static_cast<std::uint64_t>(texts_.size() - start);
    push(Value::Kind::Text, static_cast<std::uint64_t>(start) | length << 32);
}

}  // namespace pel::db
