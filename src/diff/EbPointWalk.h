#pragma once
// The points of an EB file one after another, for the EB-file comparison, on the one block
// walk of the readers (EbBlockScanner): a point runs from its "&N" line to the next "&N" or "&T"
// line. Blocks of a point type the definitions do not know are read too, every line a parameter.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/PointTypeCatalog.h"
#include "eb/EbBlockScanner.h"
#include "eb/EbLineReader.h"

namespace pel {

struct EbPoint {
    std::uint32_t type = 0;  // the type's number in the EbTypeTable
    std::string name;
    std::uint64_t offset = 0;                                     // of the "&N" line
    std::vector<std::pair<std::string, std::string>> parameters;  // name as written, decoded value
    std::string internalText;  // internal lines, each followed by ","
};

// The point types met in the files, numbered: a known type by its name in the definitions, an
// unknown one as first written. Names compare without regard to case.
class EbTypeTable {
  public:
    explicit EbTypeTable(const PointTypeCatalog& catalog) : catalog_(catalog) {}
    // The number of the type; `isNew` tells whether it was met for the first time.
    std::uint32_t number(std::string_view written, bool& isNew);
    const std::string& name(std::uint32_t number) const { return types_[number].first; }
    bool known(std::uint32_t number) const { return types_[number].second; }

  private:
    const PointTypeCatalog& catalog_;
    std::vector<std::pair<std::string, bool>> types_;
};

class EbPointWalk : private eb::EbBlockHandler {
  public:
    // Without parameters, a point carries neither parameters nor internal text.
    EbPointWalk(eb::EbLineReader& reader, const PointTypeCatalog& catalog, EbTypeTable& types,
                bool withParameters)
        : reader_(reader), catalog_(catalog), types_(types), withParameters_(withParameters) {
        scanner_.emplace(catalog_);
    }

    // The next point of the file; false at its end.
    bool next(EbPoint& point);
    // Reads the one point whose "&N" line starts at `offset`, of the type numbered `type`.
    bool readAt(std::uint64_t offset, std::uint32_t type, EbPoint& point);

    // Told of each type the definitions do not know, the first time it is met, with its line.
    std::function<void(const std::string& type, std::uint64_t line)> unknownType;

  private:
    eb::BlockChoice pointType(std::string_view type) override;
    void pointName(std::string_view name) override;
    void parameter(const eb::ParameterLine& line, std::size_t position) override;
    void internalLine(std::string_view line) override;
    // Lines that belong to no point or no parameter are alike in both files' readings; the
    // import and the comparison name them.
    void strayLine(std::string_view) override {}
    void unnamedParameter(std::string_view) override {}
    void complete();

    eb::EbLineReader& reader_;
    const PointTypeCatalog& catalog_;
    EbTypeTable& types_;
    bool withParameters_;
    std::optional<eb::EbBlockScanner> scanner_;
    std::uint64_t lineOffset_ = 0;
    std::uint32_t type_ = 0;
    bool building_ = false, completed_ = false;
    EbPoint current_, finished_;
};

}  // namespace pel
