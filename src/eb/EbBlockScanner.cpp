#include "eb/EbBlockScanner.h"

namespace pel::eb {

bool EbBlockScanner::feed(std::string_view line, EbBlockHandler& handler) {
    if (stopped_) return false;
    ++lines_;
    if (reading_ && !awaitingName_ && !internal_) {
        std::size_t equals = 0;
        if (const auto* known = internalByPosition_->matchLine(linesChecked_, line, equals)) {
            ++linesChecked_;
            parameter(line, {line.substr(0, known->first.size()), line.substr(equals + 1)},
                      known->second, handler);
            return true;
        }
    }
    const ClassifiedLine c = ClassifyEbLine(line);
    switch (c.kind) {
        case EbLineKind::Ignored:
            if (!line.empty() && line.front() == '{') lastPointClosed_ = true;
            return true;
        case EbLineKind::PointType: {
            ++pointTypeLines_;
            internal_ = false;
            const BlockChoice choice = handler.pointType(c.text);
            stopped_ = choice == BlockChoice::Stop;
            reading_ = choice == BlockChoice::Read;
            awaitingName_ = reading_;
            internalList_ = {};
            internalByPosition_ = nullptr;
            if (reading_) {
                const TypeFound* found = recentTypes_.find(c.text);
                if (!found) {
                    const PointTypeDefinition* def = catalog_.definition(c.text);
                    found = &recentTypes_.put(c.text, {def, &internalByType_[def]});
                }
                if (found->definition && found->definition->internalParameters)
                    internalList_ = *found->definition->internalParameters;
                internalByPosition_ = found->internalByPosition;
            }
            return !stopped_;
        }
        case EbLineKind::PointName:
            if (!reading_) return true;
            awaitingName_ = false;
            internal_ = false;
            position_ = linesChecked_ = 0;
            lastPoint_ = std::string(c.text);
            lastPointClosed_ = false;
            handler.pointName(c.text);
            return true;
        case EbLineKind::Parameter: {
            if (!reading_) return true;
            if (awaitingName_) {
                handler.strayLine(line);
                return true;
            }
            const ParameterLine p = SplitEbParameterLine(line, c.equals);
            const bool opensInternal =
                !internal_ &&
                internalByPosition_->get(linesChecked_++, p.name, [this](std::string_view name) {
                    return !internalList_.empty() && IsInternalParameterIn(internalList_, name);
                });
            parameter(line, p, opensInternal, handler);
            return true;
        }
        default:
            return true;
    }
}

void EbBlockScanner::parameter(std::string_view line, const ParameterLine& p, bool opensInternal,
                               EbBlockHandler& handler) {
    if (opensInternal) internal_ = true;
    if (internal_) {
        handler.internalLine(TrimTrailingBlanks(line));
    } else if (p.name.empty()) {
        handler.unnamedParameter(line);
    } else {
        if (firstIndentedLine_ == 0 && p.name.front() == ' ') {
            firstIndentedLine_ = lines_;
            firstIndentedName_ = std::string(p.name);
        }
        handler.parameter(p, position_++);
    }
}

std::vector<std::string> EbBlockScanner::fileWarnings(std::string_view file,
                                                      bool lastLineEnded) const {
    std::vector<std::string> warnings;
    const std::string name(file);
    if (pointTypeLines_ == 0)
        warnings.push_back(name + ": no point blocks (&T/&N lines) were found");
    if (!lastPointClosed_ && !lastLineEnded)
        warnings.push_back(name + " ends inside the block of point " + lastPoint_ +
                           " (no \"{ }\" after it and no end to its last line): it may have "
                           "been cut short by an interrupted write");
    if (firstIndentedLine_ != 0)
        warnings.push_back(name + ", line " + std::to_string(firstIndentedLine_) +
                           ": the parameter name \"" + firstIndentedName_ +
                           "\" begins with blanks, which are kept: its column is not the one of "
                           "the name without them (the first such line of the file)");
    return warnings;
}

}  // namespace pel::eb
