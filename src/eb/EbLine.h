#pragma once
// The one line scheme of every EB reader. Lines are UTF-8 (decoded from the file's 1252 bytes);
// all tests look at ASCII characters only.

#include <cstddef>
#include <string_view>

namespace pel::eb {

enum class EbLineKind { Ignored, PointType, PointName, Parameter, Other };

struct ClassifiedLine {
    EbLineKind kind = EbLineKind::Other;
    std::string_view text;   // PointType / PointName: from the 4th character, trailing blanks off
    std::size_t equals = 0;  // Parameter: where its first "=" is
};

// "{" or "$" first: Ignored; "&T": PointType; "&N": PointName; else with "=": Parameter; else
// Other. Case-sensitive, at the very start of the line. A blank is the space character only.
ClassifiedLine ClassifyEbLine(std::string_view line);

struct ParameterLine {
    std::string_view name;      // before the first "=", trailing blanks removed
    std::string_view rawValue;  // after the first "="
};
// Precondition: the line contains "=".
ParameterLine SplitEbParameterLine(std::string_view line);
// The same, where the first "=" is already known (ClassifiedLine::equals).
ParameterLine SplitEbParameterLine(std::string_view line, std::size_t equals);

// Trim blanks; drop an opening double quote, then a closing one; trim blanks again.
std::string_view DecodeEbValue(std::string_view rawValue);

std::string_view TrimBlanks(std::string_view s);
std::string_view TrimTrailingBlanks(std::string_view s);

}  // namespace pel::eb
