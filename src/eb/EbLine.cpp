#include "eb/EbLine.h"

namespace pel::eb {

std::string_view TrimTrailingBlanks(std::string_view s) {
    std::size_t e = s.size();
    while (e > 0 && s[e - 1] == ' ') --e;
    return s.substr(0, e);
}

std::string_view TrimBlanks(std::string_view s) {
    std::size_t b = 0;
    while (b < s.size() && s[b] == ' ') ++b;
    return TrimTrailingBlanks(s.substr(b));
}

ClassifiedLine ClassifyEbLine(std::string_view line) {
    if (line.empty()) return {EbLineKind::Other, {}};
    if (line[0] == '{' || line[0] == '$') return {EbLineKind::Ignored, {}};
    if (line.size() >= 2 && line[0] == '&' && (line[1] == 'T' || line[1] == 'N')) {
        // The third character (the writer's blank) is dropped, whatever it is.
        std::string_view text = line.size() > 3 ? line.substr(3) : std::string_view();
        return {line[1] == 'T' ? EbLineKind::PointType : EbLineKind::PointName,
                TrimTrailingBlanks(text)};
    }
    if (const std::size_t eq = line.find('='); eq != std::string_view::npos)
        return {EbLineKind::Parameter, {}, eq};
    return {EbLineKind::Other, {}};
}

ParameterLine SplitEbParameterLine(std::string_view line) {
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return {TrimTrailingBlanks(line), {}};
    return SplitEbParameterLine(line, eq);
}

ParameterLine SplitEbParameterLine(std::string_view line, std::size_t equals) {
    return {TrimTrailingBlanks(line.substr(0, equals)), line.substr(equals + 1)};
}

std::string_view DecodeEbValue(std::string_view rawValue) {
    std::string_view v = TrimBlanks(rawValue);
    if (!v.empty() && v.front() == '"') {
        v.remove_prefix(1);
        if (!v.empty() && v.back() == '"') v.remove_suffix(1);
    }
    return TrimBlanks(v);
}

}  // namespace pel::eb
