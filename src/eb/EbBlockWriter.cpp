#include "eb/EbBlockWriter.h"

namespace pel::eb {

std::string ParameterLineText(std::string_view column, std::string_view valueText,
                              std::string_view quotedList) {
    std::string_view base = column.substr(0, column.find('('));
    std::string key;
    key.reserve(base.size() + 2);
    key += ',';
    key += base;
    key += ',';
    const bool quoted = valueText.find(' ') != std::string_view::npos ||
                        quotedList.find(key) != std::string_view::npos;
    std::string line;
    line.reserve(column.size() + valueText.size() + 5);
    line += column;
    line += " = ";
    if (quoted) line += '"';
    line += valueText;
    if (quoted) line += '"';
    return line;
}

void WritePointBlock(TextFileWriter& out, std::string_view pointType, std::string_view name,
                     const std::vector<BlockColumn>& columns, std::string_view quotedList) {
    std::string line;
    line.reserve(64);
    line = "&T ";
    line += pointType;
    out.writeLine(line);
    line = "&N ";
    line += name;
    out.writeLine(line);
    std::string_view internal;
    for (const auto& c : columns) {
        if (c.valueText.empty()) continue;
        if (c.name == "NAME" || c.name == "PNTTYPE") continue;
        if (c.name == "_INTERNAL") {
            internal = c.valueText;
            continue;
        }
        if (!c.name.empty() && c.name.front() == '_') continue;
        out.writeLine(ParameterLineText(c.name, c.valueText, quotedList));
    }
    // Every piece followed by a "," is a line; text after the last "," is not written.
    std::size_t start = 0;
    for (std::size_t comma; (comma = internal.find(',', start)) != std::string_view::npos;
         start = comma + 1)
        out.writeLine(internal.substr(start, comma - start));
    out.writeLine("{ }");
}

}  // namespace pel::eb
