#include "eb/EbBlockWriter.h"

namespace pel::eb {

BlockLayout::BlockLayout(const std::vector<std::string_view>& columnNames,
                         std::string_view quotedList) {
    for (std::string_view name : columnNames) {
        Column c{Kind::Parameter, false, std::string(name) + " = "};
        if (name == "NAME" || name == "PNTTYPE") {
            c.kind = Kind::Nothing;
        } else if (name == "_INTERNAL") {
            c.kind = Kind::Internal;
        } else if (!name.empty() && name.front() == '_') {
            c.kind = Kind::Nothing;  // the program's own columns, such as _Found
        } else {
            std::string key = ",";
            key += name.substr(0, name.find('('));
            key += ',';
            c.quotedByList = quotedList.find(key) != std::string_view::npos;
        }
        columns_.push_back(std::move(c));
    }
}

void BlockLayout::write(TextFileWriter& out, std::string_view pointType, std::string_view name,
                        const std::vector<std::string>& valueTexts) {
    line_.assign("&T ").append(pointType);
    out.writeLine(line_);
    line_.assign("&N ").append(name);
    out.writeLine(line_);
    std::string_view internal;
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        const std::string& value = valueTexts[i];
        if (value.empty() || columns_[i].kind == Kind::Nothing) continue;
        if (columns_[i].kind == Kind::Internal) {
            internal = value;
            continue;
        }
        // A value that begins with a double quote is quoted too: unquoted, the reader would
        // take that quote (and one at its end) for the quoting and drop it.
        const bool quoted = columns_[i].quotedByList || value.find(' ') != std::string::npos ||
                            value.front() == '"';
        line_.assign(columns_[i].prefix);
        if (quoted) line_ += '"';
        line_ += value;
        if (quoted) line_ += '"';
        out.writeLine(line_);
    }
    // The internal lines come last, so the block reads back the same wherever the _INTERNAL
    // column stands; every piece followed by a "," is a line, text after the last "," is not.
    std::size_t start = 0;
    for (std::size_t comma; (comma = internal.find(',', start)) != std::string_view::npos;
         start = comma + 1)
        out.writeLine(internal.substr(start, comma - start));
    out.writeLine("{ }");
}

void WritePointBlock(TextFileWriter& out, std::string_view pointType, std::string_view name,
                     const std::vector<BlockColumn>& columns, std::string_view quotedList) {
    std::vector<std::string_view> names;
    std::vector<std::string> texts;
    for (const auto& c : columns) {
        names.push_back(c.name);
        texts.emplace_back(c.valueText);
    }
    BlockLayout(names, quotedList).write(out, pointType, name, texts);
}

}  // namespace pel::eb
