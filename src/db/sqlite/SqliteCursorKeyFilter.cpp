#include "db/sqlite/SqliteCursorKeyFilter.h"

#include "core/AsciiCase.h"

namespace pel::db {

namespace {

// 2^17 words of 64 bits: one megabyte. A key sets four bits of one word, so that a look-up
// reads one cache line; at a million keys about one look-up in fifty says "may" wrongly.
constexpr int kWordBits = 17;

std::uint64_t Mix(std::uint64_t h) {
    h ^= h >> 30;
    h *= 0xbf58476d1ce4e5b9ULL;
    h ^= h >> 27;
    h *= 0x94d049bb133111ebULL;
    return h ^ (h >> 31);
}

// A key's hash without regard to case, made table-specific by `seed` and mixed, so that the
// word and the bits it picks are independent of each other.
std::uint64_t HashFolded(std::string_view key, std::uint64_t seed) {
    return Mix(HashIgnoringCase{}(key) ^ seed);
}

std::uint64_t BitsOf(std::uint64_t h) {
    return (std::uint64_t{1} << (h & 63)) | (std::uint64_t{1} << ((h >> 6) & 63)) |
           (std::uint64_t{1} << ((h >> 12) & 63)) | (std::uint64_t{1} << ((h >> 18) & 63));
}

}  // namespace

KeyFilter::TableKeys* KeyFilter::start(std::string_view table, std::string_view keyColumn,
                                       std::int64_t changes) {
    if (state_ == State::Unused) {
        state_ = State::Holds;
        changes_ = changes;
    }
    if (!holds(changes)) return nullptr;
    std::string name = ToUpperAscii(table);
    const std::uint64_t seed = HashFolded(name, 0);
    auto [it, added] = tables_.try_emplace(std::move(name));
    TableKeys& keys = it->second;
    if (added) {
        keys.keyColumn = ToUpperAscii(keyColumn);
        keys.seed = seed;
    } else if (keys.keyColumn != ToUpperAscii(keyColumn)) {
        // One key per table: cursors of the table on other keys add keys it does not see.
        state_ = State::Dropped;
        return nullptr;
    }
    return &keys;
}

bool KeyFilter::holds(std::int64_t changes) {
    if (state_ == State::Holds && changes != changes_) state_ = State::Dropped;
    return state_ == State::Holds;
}

void KeyFilter::beforeWrite(TableKeys& table, const Value* key, std::int64_t changes) {
    if (!holds(changes) || !key || key->kind() == Value::Kind::Null) return;
    // A key of another kind would be stored as text too, in a form not told here.
    if (key->kind() != Value::Kind::Text) {
        state_ = State::Dropped;
        return;
    }
    const std::string& text = key->asText();
    if (!table.any || CompareIgnoringCase(text, table.greatest) > 0) table.greatest = text;
    table.any = true;
    if (words_.empty()) words_.resize(std::size_t{1} << kWordBits);
    const std::uint64_t h = HashFolded(text, table.seed);
    words_[h >> (64 - kWordBits)] |= BitsOf(h);
}

void KeyFilter::afterWrite(std::int64_t changes) {
    // More than one row changed: a trigger wrote too.
    if (state_ == State::Holds && changes - changes_ > 1) state_ = State::Dropped;
    changes_ = changes;
}

void KeyFilter::prefetch(const TableKeys& table, std::string_view key) const {
    if (!words_.empty())
        __builtin_prefetch(&words_[HashFolded(key, table.seed) >> (64 - kWordBits)], 1);
}

bool KeyFilter::mayHold(const TableKeys& table, std::string_view key) const {
    if (!table.any || CompareIgnoringCase(key, table.greatest) > 0) return false;
    const std::uint64_t h = HashFolded(key, table.seed);
    const std::uint64_t bits = BitsOf(h);
    return (words_[h >> (64 - kWordBits)] & bits) == bits;
}

}  // namespace pel::db
