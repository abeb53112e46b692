#include "checks/ConnectionReference.h"

#include "eb/EbLine.h"

namespace pel {

std::optional<ConnectionReference> ParseConnectionReference(std::string_view value) {
    const std::string_view text = eb::TrimBlanks(value);
    if (text.empty() || text.front() == '!' || text.front() == '$') return std::nullopt;
    const std::size_t dot = text.find('.');
    if (dot == std::string_view::npos || dot == 0) return std::nullopt;
    std::string_view parameter = text.substr(dot + 1);
    parameter = parameter.substr(0, parameter.find('.'));
    return ConnectionReference{text.substr(0, dot), parameter};
}

}  // namespace pel
