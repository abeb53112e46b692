#include "diff/EbPointWalk.h"

#include "app/AppState.h"
#include "db/Database.h"
#include "eb/EbLine.h"

namespace pel {

std::uint32_t EbTypeTable::number(std::string_view written, bool& isNew) {
    isNew = false;
    for (std::uint32_t i = 0; i < types_.size(); ++i)
        if (db::EqualsIgnoreCase(types_[i].name, written)) return i;
    Type type{std::string(written), false, {}};
    type.known = lookUp_(written, type);
    types_.push_back(std::move(type));
    isNew = true;
    return static_cast<std::uint32_t>(types_.size() - 1);
}

void EbPointWalk::start(std::string_view name, std::uint64_t offset) {
    current_.type = type_;
    current_.name.assign(name);
    current_.offset = offset;
    current_.parameters.clear();
    current_.internalText.clear();
    internal_ = false;
    building_ = true;
}

bool EbPointWalk::next(EbPoint& point) {
    std::string_view line;
    for (;;) {
        const std::uint64_t offset = reader_.bytesConsumed();
        if (!reader_.next(line)) break;
        const auto classified = eb::ClassifyEbLine(line);
        switch (classified.kind) {
            case eb::EbLineKind::PointType:
            case eb::EbLineKind::PointName: {
                const bool done = building_;
                if (done) std::swap(point, current_);
                building_ = false;
                if (classified.kind == eb::EbLineKind::PointType) {
                    bool isNew = false;
                    type_ = types_.number(classified.text, isNew);
                    haveType_ = true;
                    if (isNew && !types_.type(type_).known && unknownType)
                        unknownType(std::string(classified.text), reader_.lineNumber());
                } else if (haveType_) {
                    start(classified.text, offset);
                }
                if (done) return true;
                break;
            }
            case eb::EbLineKind::Parameter: {
                if (!building_ || !withParameters_) break;
                const auto& type = types_.type(type_);
                const auto split = eb::SplitEbParameterLine(line);
                if (!internal_ && !type.internalParameters.empty())
                    internal_ = IsInternalParameterIn(type.internalParameters, split.name);
                if (internal_) {
                    current_.internalText += eb::TrimTrailingBlanks(line);
                    current_.internalText += ',';
                } else {
                    current_.parameters.emplace_back(
                        std::string(split.name), std::string(eb::DecodeEbValue(split.rawValue)));
                }
                break;
            }
            default:
                break;
        }
    }
    if (!building_) return false;
    std::swap(point, current_);
    building_ = false;
    return true;
}

bool EbPointWalk::readAt(std::uint64_t offset, std::uint32_t type, EbPoint& point) {
    if (!reader_.seek(offset)) return false;
    type_ = type;
    haveType_ = true;
    building_ = false;
    return next(point);
}

}  // namespace pel
