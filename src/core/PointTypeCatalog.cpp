#include "core/PointTypeCatalog.h"

#include "core/AsciiCase.h"

namespace pel {

void PointTypeCatalog::setDefinitions(std::vector<PointTypeDefinition> rows) {
    definitions_ = std::move(rows);
    definitionByName_.clear();
    names_.clear();
    indexByName_.clear();
    for (std::size_t i = 0; i < definitions_.size(); ++i) {
        definitionByName_.emplace(definitions_[i].pntType, i);
        names_.push_back(definitions_[i].pntType);
        if (!names_.back().empty()) indexByName_.emplace(names_.back(), static_cast<int>(i));
    }
}

int PointTypeCatalog::find(std::string_view pointType) const {
    if (pointType.empty()) return -1;
    auto it = indexByName_.find(pointType);
    return it == indexByName_.end() ? -1 : it->second;
}

std::optional<std::string> PointTypeCatalog::knownName(std::string_view pointType) const {
    const int index = find(pointType);
    if (index < 0) return std::nullopt;
    return name(index);
}

int PointTypeCatalog::append(std::string_view pointType) {
    if (pointType.empty()) return -1;
    if (const int known = find(pointType); known >= 0) return known;
    names_.emplace_back(pointType);
    const int index = count() - 1;
    indexByName_.emplace(std::string(pointType), index);
    return index;
}

const PointTypeDefinition* PointTypeCatalog::definition(std::string_view pointType) const {
    auto it = definitionByName_.find(pointType);
    return it == definitionByName_.end() ? nullptr : &definitions_[it->second];
}

bool PointTypeCatalog::isInternalParameter(std::string_view pointType,
                                           std::string_view parameter) const {
    const PointTypeDefinition* def = definition(pointType);
    if (!def || !def->internalParameters) return false;
    return IsInternalParameterIn(*def->internalParameters, parameter);
}

std::string BaseParameterName(std::string_view parameter) {
    std::size_t b = 0, e = parameter.size();
    while (b < e && parameter[b] == ' ') ++b;
    while (e > b && parameter[e - 1] == ' ') --e;
    std::string name = ToUpperAscii(parameter.substr(b, e - b));
    if (auto paren = name.find('('); paren != std::string::npos) name.resize(paren);
    return name;
}

bool IsInternalParameterIn(std::string_view internalParameters, std::string_view parameter) {
    if (internalParameters.empty()) return false;
    return internalParameters.find(BaseParameterName(parameter)) != std::string_view::npos;
}

}  // namespace pel
