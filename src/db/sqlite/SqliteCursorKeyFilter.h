#pragma once
// The keys that cursors of one connection have written into tables that were empty when they
// opened, kept without regard to ASCII case in a fixed megabyte however many there are: a key
// the filter has never seen is surely not in such a table, so a seek for it need not search. A
// key it may have seen is searched as any other (a wrong "may" costs a search, never an answer).
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
    // Tells the keys of one table from those of another.
    static std::uint64_t TableSeed(std::string_view table);

    // A cursor keyed on `keyColumn` found `table` empty, the connection having made `changes`
    // row changes in all: whether it may rely on the filter.
    bool start(std::string_view table, std::string_view keyColumn, std::int64_t changes);
    bool holds(std::int64_t changes);
    // Around one row's write by a cursor that relies on the filter: the key it gives the row,
    // null when it gives none.
    void beforeWrite(const Value* key, std::uint64_t tableSeed, std::int64_t changes);
    void afterWrite(std::int64_t changes);

    bool mayHold(std::string_view key, std::uint64_t tableSeed) const;

  private:
    enum class State { Unused, Holds, Dropped };
    State state_ = State::Unused;
    std::int64_t changes_ = 0;  // the connection's row changes, all accounted for
    std::map<std::string, std::string> keyColumnByTable_;  // both upper case
    std::vector<std::uint64_t> words_;                     // allocated with the first key
};

}  // namespace pel::db
