#pragma once
// The points of an EB file one after another, by the readers' line scheme, for the EB-file
// comparison: a point runs from its "&N" line to the next "&N" or "&T" line. Blocks of a point
// type the definitions do not know are read too, every line a parameter.

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "eb/EbLineReader.h"

namespace pel {

struct EbPoint {
    std::uint32_t type = 0;  // the walk's type number (EbTypeTable)
    std::string name;
    std::uint64_t offset = 0;                                     // of the "&N" line
    std::vector<std::pair<std::string, std::string>> parameters;  // name as written, decoded value
    std::string internalText;  // internal lines, each followed by ","
};

// The point types met in the files, numbered: a known type by its name in the definitions, an
// unknown one as first written. Names compare without regard to case.
class EbTypeTable {
  public:
    struct Type {
        std::string name;
        bool known = false;
        std::string internalParameters;  // the definitions' list (known types)
    };
    // `lookUp` gives the known name and internal-parameter list of a type, or false.
    using LookUp = std::function<bool(std::string_view written, Type& type)>;
    explicit EbTypeTable(LookUp lookUp) : lookUp_(std::move(lookUp)) {}

    // The number of the type; `isNew` tells whether it was met for the first time.
    std::uint32_t number(std::string_view written, bool& isNew);
    const Type& type(std::uint32_t number) const { return types_[number]; }

  private:
    LookUp lookUp_;
    std::vector<Type> types_;
};

class EbPointWalk {
  public:
    // Without parameters, a point carries neither parameters nor internal text.
    EbPointWalk(eb::EbLineReader& reader, EbTypeTable& types, bool withParameters)
        : reader_(reader), types_(types), withParameters_(withParameters) {}

    // The next point of the file; false at its end. `unknownType` is told of each type the
    // definitions do not know, the first time it is met, with its line number.
    bool next(EbPoint& point);
    // Reads the one point whose "&N" line starts at `offset`, of the type numbered `type`.
    bool readAt(std::uint64_t offset, std::uint32_t type, EbPoint& point);

    std::function<void(const std::string& type, std::uint64_t line)> unknownType;

  private:
    void start(std::string_view name, std::uint64_t offset);

    eb::EbLineReader& reader_;
    EbTypeTable& types_;
    bool withParameters_;
    bool haveType_ = false;
    std::uint32_t type_ = 0;
    bool building_ = false;
    bool internal_ = false;
    EbPoint current_;
};

}  // namespace pel
