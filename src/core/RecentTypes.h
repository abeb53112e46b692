#pragma once
// The last few point types a walk over a file met, as written, with what was looked up for each:
// a plant's blocks cycle through a handful of types, and comparing a few short texts exactly
// costs less than a look-up that ignores case. Only what stays true for the walk may be kept.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace pel {

template <class T, std::size_t N = 8>
class RecentTypes {
  public:
    const T* find(std::string_view type) const {
        for (std::size_t i = 0; i < used_; ++i)
            if (entries_[i].type == type) return &entries_[i].value;
        return nullptr;
    }
    const T& put(std::string_view type, T value) {
        Entry& e = entries_[next_];
        next_ = (next_ + 1) % N;
        if (used_ < N) ++used_;
        e.type.assign(type);
        e.value = std::move(value);
        return e.value;
    }

  private:
    struct Entry {
        std::string type;
        T value{};
    };
    std::array<Entry, N> entries_;
    std::size_t used_ = 0, next_ = 0;
};

}  // namespace pel
