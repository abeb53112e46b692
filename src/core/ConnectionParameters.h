#pragma once
// The parameters that connect a point to other points: DISRC, DODSTN, LISRC, LODSTN and PISRC,
// with any index suffix.

#include <string>
#include <string_view>

namespace pel {

// Is the column (as named in a point-type table, "PISRC(1)" for instance) a connection
// parameter: its name up to the first "(" is one of the five, in this letter case.
inline bool IsConnectionParameter(std::string_view column) {
    constexpr std::string_view kConnectionParameters = ",DISRC,DODSTN,LISRC,LODSTN,PISRC,";
    std::string key = ",";
    key += column.substr(0, column.find('('));
    key += ',';
    return kConnectionParameters.find(key) != std::string_view::npos;
}

}  // namespace pel
