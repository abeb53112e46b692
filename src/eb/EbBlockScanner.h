#pragma once
// The one walk over the blocks of an EB file: a point-type line opens a block, a point-name line
// opens a point, the point's parameter lines follow, and from the first parameter that the type's
// InternalParameters name, every further line of the point is an internal line. The import, the
// definition update and the comparison keep only what is their own in a handler.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/PointTypeCatalog.h"
#include "core/RecentTypes.h"
#include "eb/EbLine.h"

namespace pel::eb {

// Whether `a` and `b` hold the same `n` bytes. Parameter names are short: from 4 to 16 bytes two
// overlapping loads from each decide it without a library call.
inline bool SameBytes(const char* a, const char* b, std::size_t n) {
    auto differ = [&](auto word, std::size_t at) {
        decltype(word) x, y;
        std::memcpy(&x, a + at, sizeof x);
        std::memcpy(&y, b + at, sizeof y);
        return x ^ y;
    };
    if (n >= 8 && n <= 16)
        return (differ(std::uint64_t{}, 0) | differ(std::uint64_t{}, n - 8)) == 0;
    if (n >= 4 && n < 8) return (differ(std::uint32_t{}, 0) | differ(std::uint32_t{}, n - 4)) == 0;
    return std::memcmp(a, b, n) == 0;
}

// The column of the k-th parameter line of the last point of a type. The points of one type list
// their parameters in one order, so a look-up by name is needed only where the order changes;
// the name is checked before a cached column is used.
template <class Column>
class ColumnByPosition {
  public:
    template <class Find>
    Column get(std::size_t position, std::string_view name, Find&& find) {
        if (position < cache_.size()) {
            const std::string& cached = cache_[position].first;
            if (cached.size() == name.size() && SameBytes(cached.data(), name.data(), name.size()))
                return cache_[position].second;
        }
        Column column = find(name);
        if (position < cache_.size())
            cache_[position] = {std::string(name), column};
        else if (position == cache_.size())
            cache_.emplace_back(std::string(name), column);
        return column;
    }

    // The entry at `position` when `line` is a parameter line of its name: the name, blanks, then
    // "=" (its place goes to `equals`). Such a line needs no classification: a cached name came
    // from a line classified as a parameter line, has no "=" and no trailing blank, and starts
    // as no other kind of line does.
    const std::pair<std::string, Column>* matchLine(std::size_t position, std::string_view line,
                                                    std::size_t& equals) const {
        if (position >= cache_.size()) return nullptr;
        const auto& entry = cache_[position];
        const std::string& name = entry.first;
        if (name.empty() || line.size() <= name.size() ||
            !SameBytes(line.data(), name.data(), name.size()))
            return nullptr;
        std::size_t i = name.size();
        while (i < line.size() && line[i] == ' ') ++i;
        if (i == line.size() || line[i] != '=') return nullptr;
        equals = i;
        return &entry;
    }

  private:
    std::vector<std::pair<std::string, Column>> cache_;
};

// What a reader does with the block of the point-type line it has just seen.
enum class BlockChoice { Read, Skip, Stop };

class EbBlockHandler {
  public:
    virtual ~EbBlockHandler() = default;
    // A point-type line (the type as written). Read walks its block; Skip passes over it to the
    // next point-type line; Stop ends the walk.
    virtual BlockChoice pointType(std::string_view type) = 0;
    // A point-name line of a block being read (the name may be empty).
    virtual void pointName(std::string_view name) = 0;
    // A parameter line of the current point. `position` counts the point's parameter lines from
    // 0: the key of a ColumnByPosition cache.
    virtual void parameter(const ParameterLine& line, std::size_t position) = 0;
    // An internal line of the current point, trailing blanks removed.
    virtual void internalLine(std::string_view line) = 0;
    // A parameter line between a point-type line and its name line: it belongs to no point.
    virtual void strayLine(std::string_view line) = 0;
    // A parameter line of the current point without a name ("= 5"): it belongs to no parameter.
    // (Where the type lists internal parameters, the substring rule makes it an internal line.)
    virtual void unnamedParameter(std::string_view line) = 0;
};

class EbBlockScanner {
  public:
    explicit EbBlockScanner(const PointTypeCatalog& catalog) : catalog_(catalog) {}

    // One line of the file, in order; false once the handler has stopped the walk.
    bool feed(std::string_view line, EbBlockHandler& handler);

    // What the walk of a whole file met that its reader should say, as warnings naming the file:
    // no point blocks at all; an end inside a block (no "{ }" after the last point and a last
    // line without its end, as an interrupted write leaves a file); the first parameter name
    // that begins with blanks (kept so: it makes a column of its own). `lastLineEnded` is the
    // line reader's.
    std::vector<std::string> fileWarnings(std::string_view file, bool lastLineEnded) const;

  private:
    void parameter(std::string_view line, const ParameterLine& p, bool opensInternal,
                   EbBlockHandler& handler);

    const PointTypeCatalog& catalog_;
    std::string_view internalList_;  // the catalog's, which outlives the scanner
    // Whether the k-th line of a point opens its internal lines, per type definition (the
    // catalog's, by address; null for a type without one): asked once per type, parameter name
    // and place, not once per line. A line with the name cached at its place skips classifying.
    std::unordered_map<const PointTypeDefinition*, ColumnByPosition<bool>> internalByType_;
    ColumnByPosition<bool>* internalByPosition_ = nullptr;
    struct TypeFound {
        const PointTypeDefinition* definition = nullptr;
        ColumnByPosition<bool>* internalByPosition = nullptr;
    };
    RecentTypes<TypeFound> recentTypes_;
    bool reading_ = false, awaitingName_ = false, internal_ = false, stopped_ = false;
    std::size_t position_ = 0, linesChecked_ = 0;
    // For fileWarnings.
    std::uint64_t lines_ = 0, pointTypeLines_ = 0, firstIndentedLine_ = 0;
    std::string lastPoint_, firstIndentedName_;
    bool lastPointClosed_ = true;
};

}  // namespace pel::eb
