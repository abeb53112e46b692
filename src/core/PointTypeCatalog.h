#pragma once
// The point types the program knows: the PointTypes rows of the definitions database, read once
// at start-up, and the types the user accepted since (an import may append a type the
// definitions lack). Look-ups ignore case and take constant time, so a file of many unknown
// types costs no more than a known plant.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/AsciiCase.h"

namespace pel {

// One row of PointTypes.
struct PointTypeDefinition {
    std::string pntType;
    std::optional<std::string> node;
    std::optional<std::string> internalParameters;
    std::optional<std::string> numericFields;
};

class PointTypeCatalog {
  public:
    // Replaces everything with the rows, in PrimaryKey order.
    void setDefinitions(std::vector<PointTypeDefinition> rows);

    // The known types: the definitions' types in PrimaryKey order, then the appended ones.
    const std::vector<std::string>& names() const { return names_; }
    std::int32_t count() const { return static_cast<std::int32_t>(names_.size()); }
    const std::string& name(std::int32_t index) const {
        return names_[static_cast<std::size_t>(index)];
    }

    // Index of a known point type (ignoring case; the first of names that differ only in case);
    // -1 when unknown. An empty type is never known.
    int find(std::string_view pointType) const;
    // The known name of a type given in any letter case, or nullopt.
    std::optional<std::string> knownName(std::string_view pointType) const;
    // Appends an accepted point type and returns its index; an empty name is never appended
    // (-1), a known one is not appended again (its index).
    int append(std::string_view pointType);

    // The PointTypes rows in PrimaryKey order, and the row of a type (ignoring case) or null.
    const std::vector<PointTypeDefinition>& definitions() const { return definitions_; }
    const PointTypeDefinition* definition(std::string_view pointType) const;

    // Is the parameter of the point type kept in _INTERNAL (see IsInternalParameterIn).
    bool isInternalParameter(std::string_view pointType, std::string_view parameter) const;

  private:
    std::vector<PointTypeDefinition> definitions_;
    template <class T>
    using ByNameIgnoringCase =
        std::unordered_map<std::string, T, HashIgnoringCase, EqualIgnoringCase>;
    ByNameIgnoringCase<std::size_t> definitionByName_;
    std::vector<std::string> names_;
    ByNameIgnoringCase<int> indexByName_;
};

// The test against an InternalParameters text: the name is trimmed, upper-cased and cut at its
// first "(", then searched as a substring of the list (stored databases were built with this
// substring rule).
bool IsInternalParameterIn(std::string_view internalParameters, std::string_view parameter);

// Trim blanks, upper-case, cut at the first "(".
std::string BaseParameterName(std::string_view parameter);

}  // namespace pel
