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

// A table's rows are read into a few large blocks that are each written once, from start to
// end. Their pages are made in one call where the system can: a first touch of each would cost
// a fault apiece, which on a virtual machine takes several microseconds. In huge pages the
// kernel meets one fault where it would meet five hundred.
void PrepareAccessBlock([[maybe_unused]] const void* data, [[maybe_unused]] std::size_t bytes) {
    const auto start = reinterpret_cast<std::uintptr_t>(data);
#ifdef MADV_HUGEPAGE
    constexpr std::uintptr_t kHuge = std::uintptr_t{2} << 20;
    const std::uintptr_t first = (start + kHuge - 1) & ~(kHuge - 1);
    const std::uintptr_t end = (start + bytes) & ~(kHuge - 1);
    if (end > first) ::madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
#endif
#ifdef MADV_POPULATE_WRITE
    constexpr std::uintptr_t kPage = 4096;
    const std::uintptr_t firstPage = (start + kPage - 1) & ~(kPage - 1);
    const std::uintptr_t endPage = (start + bytes) & ~(kPage - 1);
    if (endPage > firstPage)
        ::madvise(reinterpret_cast<void*>(firstPage), endPage - firstPage, MADV_POPULATE_WRITE);
#endif
}

void AccessRows::reserve(std::size_t rows, std::size_t textBytes) {
    kinds_.reserve(rows * columns_);
    bits_.reserve(rows * columns_);
    // An eighth more text than expected is kept in reserve, its pages left untouched.
    const bool textGrows = textBytes > texts_.capacity();
    texts_.reserve(textBytes + textBytes / 8);
    if (kinds_.size() == 0) {
        PrepareAccessBlock(kinds_.data(), kinds_.capacity());
        PrepareAccessBlock(bits_.data(), bits_.capacity() * sizeof(std::uint64_t));
    }
    if (textGrows) PrepareAccessBlock(texts_.data() + texts_.size(), textBytes - texts_.size());
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
