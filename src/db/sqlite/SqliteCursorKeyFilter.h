#pragma once
// The keys that cursors of one connection have written into tables that were empty when they
// opened, kept without regard to ASCII case: the greatest of each table, and all of them in a
// fixed megabyte however many there are. A key above the greatest, or one the megabyte has never
// seen, is surely not in such a table, so a seek for it need not search. A key it may have seen
// is searched as any other (a wrong "may" costs a search, never a wrong answer). Keys mostly come
// in order, and the greatest answers them without reading the megabyte at all.
//
// It holds only while every row change the connection made since the first such cursor opened
// was one of those cursors' writes, of one row, its key taken: anything else drops it for good.
// What other programs write is the cursors' to watch (PRAGMA data_version).

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "db/Value.h"

namespace pel::db {

class KeyFilter {
  public:
    struct TableKeys {
        std::string keyColumn;  // upper case
        std::uint64_t seed = 0;
        std::string greatest;  // in CompareIgnoringCase order
        bool any = false;
    };

    // A cursor keyed on `keyColumn` found `table` empty, the connection having made `changes`
    // row changes in all: the table's keys, or null when it may not rely on the filter.
    TableKeys* start(std::string_view table, std::string_view keyColumn, std::int64_t changes);
    bool holds(std::int64_t changes);
    // Around one row's write by a cursor that relies on the filter: the key it gives the row,
    // null when it gives none.
    void beforeWrite(TableKeys& table, const Value* key, std::int64_t changes);
    void afterWrite(std::int64_t changes);

    bool mayHold(const TableKeys& table, std::string_view key) const;
    // Asks the processor for the word `key` sets, long before its row is written: a point's
    // parameter lines are read meanwhile, and the write then finds the word at hand.
    void prefetch(const TableKeys& table, std::string_view key) const;

  private:
    enum class State { Unused, Holds, Dropped };
    State state_ = State::Unused;
    std::int64_t changes_ = 0;                 // the connection's row changes, all accounted for
    std::map<std::string, TableKeys> tables_;  // by upper-case name
    std::vector<std::uint64_t> words_;         // allocated with the first key
};

}  // namespace pel::db
