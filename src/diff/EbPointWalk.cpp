#include "diff/EbPointWalk.h"

#include "core/AsciiCase.h"

namespace pel {

std::uint32_t EbTypeTable::number(std::string_view written, bool& isNew) {
    isNew = false;
    for (std::uint32_t i = 0; i < types_.size(); ++i)
        if (EqualsIgnoreCase(types_[i].first, written)) return i;
    const auto known = catalog_.knownName(written);
    types_.emplace_back(known ? *known : std::string(written), known.has_value());
    isNew = true;
    return static_cast<std::uint32_t>(types_.size() - 1);
}

void EbPointWalk::complete() {
    if (!building_) return;
    std::swap(finished_, current_);
    building_ = false;
    completed_ = true;
}

eb::BlockChoice EbPointWalk::pointType(std::string_view type) {
    complete();
    bool isNew = false;
    type_ = types_.number(type, isNew);
    if (isNew && !types_.known(type_) && unknownType)
        unknownType(std::string(type), reader_.lineNumber());
    return eb::BlockChoice::Read;
}

void EbPointWalk::pointName(std::string_view name) {
    complete();
    current_.type = type_;
    current_.name.assign(name);
    current_.offset = lineOffset_;
    current_.parameters.clear();
    current_.internalText.clear();
    building_ = true;
}

void EbPointWalk::parameter(const eb::ParameterLine& line, std::size_t) {
    if (withParameters_)
        current_.parameters.emplace_back(std::string(line.name),
                                         std::string(eb::DecodeEbValue(line.rawValue)));
}

void EbPointWalk::internalLine(std::string_view line) {
    if (!withParameters_) return;
    current_.internalText += line;
    current_.internalText += ',';
}

bool EbPointWalk::next(EbPoint& point) {
    std::string_view line;
    for (;;) {
        lineOffset_ = reader_.bytesConsumed();
        if (!reader_.next(line)) break;
        completed_ = false;
        scanner_->feed(line, *this);
        if (completed_) {
            std::swap(point, finished_);
            return true;
        }
    }
    completed_ = false;
    complete();
    if (!completed_) return false;
    std::swap(point, finished_);
    return true;
}

bool EbPointWalk::readAt(std::uint64_t offset, std::uint32_t type, EbPoint& point) {
    if (!reader_.seek(offset)) return false;
    building_ = false;
    // The block's point-type line stands elsewhere in the file: the scanner is told it again.
    scanner_.emplace(catalog_);
    scanner_->feed("&T " + types_.name(type), *this);
    return next(point);
}

}  // namespace pel
