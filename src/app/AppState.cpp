#include "app/AppState.h"

#include "db/Database.h"

namespace pel {

int AppState::findPointType(std::string_view pointType) const {
    if (pointType.empty()) return -1;
    for (std::int32_t i = 0; i < pointTypeCount; ++i)
        if (db::EqualsIgnoreCase(pointTypeNames[static_cast<std::size_t>(i)], pointType)) return i;
    return -1;
}

int AppState::appendPointType(std::string_view pointType) {
    if (pointType.empty()) return -1;
    pointTypeNames.resize(static_cast<std::size_t>(pointTypeCount) + 1);
    pointTypeNames[static_cast<std::size_t>(pointTypeCount)] = std::string(pointType);
    ++pointTypeCount;
    pointTypeNames.emplace_back();  // the empty slot stays last
    return pointTypeCount - 1;
}

const PointTypeDefinition* AppState::definition(std::string_view pointType) const {
    auto it = definitionByUpperName_.find(db::ToUpperAscii(pointType));
    return it == definitionByUpperName_.end() ? nullptr : &definitions[it->second];
}

void AppState::setDefinitions(std::vector<PointTypeDefinition> rows) {
    definitions = std::move(rows);
    definitionByUpperName_.clear();
    pointTypeNames.clear();
    for (std::size_t i = 0; i < definitions.size(); ++i) {
        definitionByUpperName_.emplace(db::ToUpperAscii(definitions[i].pntType), i);
        pointTypeNames.push_back(definitions[i].pntType);
    }
    pointTypeCount = static_cast<std::int32_t>(definitions.size());
    pointTypeNames.emplace_back();
}

std::string BaseParameterName(std::string_view parameter) {
    std::size_t b = 0, e = parameter.size();
    while (b < e && parameter[b] == ' ') ++b;
    while (e > b && parameter[e - 1] == ' ') --e;
    std::string name = db::ToUpperAscii(parameter.substr(b, e - b));
    if (auto paren = name.find('('); paren != std::string::npos) name.resize(paren);
    return name;
}

bool IsInternalParameterIn(std::string_view internalParameters, std::string_view parameter) {
    if (internalParameters.empty()) return false;
    return internalParameters.find(BaseParameterName(parameter)) != std::string_view::npos;
}

bool IsInternalParameter(const AppState& state, std::string_view pointType,
                         std::string_view parameter) {
    const PointTypeDefinition* def = state.definition(pointType);
    if (!def || !def->internalParameters) return false;
    return IsInternalParameterIn(*def->internalParameters, parameter);
}

}  // namespace pel
