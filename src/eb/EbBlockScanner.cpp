#include "eb/EbBlockScanner.h"

namespace pel::eb {

bool EbBlockScanner::feed(std::string_view line, EbBlockHandler& handler) {
    if (stopped_) return false;
    const ClassifiedLine c = ClassifyEbLine(line);
    switch (c.kind) {
        case EbLineKind::PointType: {
            internal_ = false;
            const BlockChoice choice = handler.pointType(c.text);
            stopped_ = choice == BlockChoice::Stop;
            reading_ = choice == BlockChoice::Read;
            awaitingName_ = reading_;
            internalList_.clear();
            if (reading_)
                if (const PointTypeDefinition* def = catalog_.definition(c.text))
                    if (def->internalParameters) internalList_ = *def->internalParameters;
            return !stopped_;
        }
        case EbLineKind::PointName:
            if (!reading_) return true;
            awaitingName_ = false;
            internal_ = false;
            position_ = 0;
            handler.pointName(c.text);
            return true;
        case EbLineKind::Parameter: {
            if (!reading_) return true;
            if (awaitingName_) {
                handler.strayLine(line);
                return true;
            }
            const ParameterLine p = SplitEbParameterLine(line);
            if (!internal_ && !internalList_.empty() &&
                IsInternalParameterIn(internalList_, p.name))
                internal_ = true;
            if (internal_)
                handler.internalLine(TrimTrailingBlanks(line));
            else
                handler.parameter(p, position_++);
            return true;
        }
        default:
            return true;
    }
}

}  // namespace pel::eb
