#pragma once
// The rows of one table that a comparison has found, remembered without their names where the
// driver numbers its rows: a bit per row number, so that the memory stays small and flat however
// large the plant (a million points take 125 KB). Numbers beyond a plausible table go to a set;
// a driver without row numbers falls back to the names, upper case.

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "db/Database.h"

namespace pel {

class FoundRows {
  public:
    // The cursor's current row, whose name is `name`.
    void add(const db::Cursor& cursor, std::string_view name) {
        if (const auto row = cursor.rowNumber()) {
            if (*row >= 0 && *row < kMostBits) {
                const auto bit = static_cast<std::size_t>(*row);
                if (bit >= bits_.size()) bits_.resize(std::max(bit + 1, bits_.size() * 2));
                bits_[bit] = true;
            } else {
                beyond_.insert(*row);
            }
        } else {
            names_.insert(ToUpperAscii(name));
        }
    }

    // Whether the cursor's current row was added; `name` gives its name when asked.
    template <class Name>
    bool contains(const db::Cursor& cursor, Name&& name) const {
        if (const auto row = cursor.rowNumber()) {
            if (*row >= 0 && *row < kMostBits) {
                const auto bit = static_cast<std::size_t>(*row);
                return bit < bits_.size() && bits_[bit];
            }
            return beyond_.count(*row) != 0;
        }
        return !names_.empty() && names_.count(ToUpperAscii(name())) != 0;
    }

  private:
    static constexpr std::int64_t kMostBits = std::int64_t{1} << 26;  // 8 MB of bits at most
    std::vector<bool> bits_;
    std::unordered_set<std::int64_t> beyond_;
    std::unordered_set<std::string> names_;
};

}  // namespace pel
