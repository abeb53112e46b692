#include "eb/EbBlockWriter.h"

#include "core/AsciiCase.h"
#include "eb/LineBreaks.h"

namespace pel::eb {

namespace {
// Notes `column` when a character of the line could not be written as it is.
void WriteCounted(TextFileWriter& out, std::string_view column, BlockNotes& notes,
                  std::initializer_list<std::string_view> parts) {
    const std::size_t before = out.unmappable();
    out.writeLineOf(parts);
    if (out.unmappable() != before) notes.unmappable.emplace_back(column);
}
}  // namespace

BlockLayout::BlockLayout(const std::vector<std::string_view>& columnNames,
                         std::string_view quotedList) {
    for (std::string_view name : columnNames) {
        Column c{Kind::Parameter, false, std::string(name) + " = ", std::string(name),
                 HasLineBreak(name)};
        if (name == "NAME" || name == "PNTTYPE") {
            c.kind = Kind::Nothing;
        } else if (EqualsIgnoreCase(name, "_INTERNAL")) {
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

void BlockLayout::writeNoted(TextFileWriter& out, std::string_view column, BlockNotes& notes) {
    if (HasLineBreak(line_)) {
        line_ = WithoutLineBreaks(line_);
        notes.lineBreaks.emplace_back(column);
    }
    WriteCounted(out, column, notes, {line_});
}

BlockNotes BlockLayout::write(TextFileWriter& out, std::string_view pointType,
                              std::string_view name, const std::vector<std::string>& valueTexts) {
    BlockNotes notes;
    line_.assign("&T ").append(pointType);
    out.writeLine(line_);
    line_.assign("&N ").append(name);
    writeNoted(out, "NAME", notes);
    std::string_view internal;
    std::string_view internalName;
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        const std::string& value = valueTexts[i];
        if (value.empty() || columns_[i].kind == Kind::Nothing) continue;
        if (columns_[i].kind == Kind::Internal) {
            internal = value;
            internalName = columns_[i].name;
            continue;
        }
        // A value that begins with a double quote is quoted too: unquoted, the reader would
        // take that quote (and one at its end) for the quoting and drop it. Quoting is decided
        // on the text as written, a line break already a blank.
        bool blank = false, lineBreak = false;
        for (char c : value) {  // one pass for both tests
            blank |= c == ' ';
            lineBreak |= c == '\r' || c == '\n';
        }
        const bool breaks = columns_[i].prefixBreaks || lineBreak;
        const bool quoted = columns_[i].quotedByList || blank || value.front() == '"' || breaks;
        if (!breaks) {  // the common line, written without a copy
            const std::string_view quote(quoted ? "\"" : "", quoted ? 1 : 0);
            WriteCounted(out, columns_[i].name, notes, {columns_[i].prefix, quote, value, quote});
            continue;
        }
        line_.assign(columns_[i].prefix);
        if (quoted) line_ += '"';
        line_ += value;
        if (quoted) line_ += '"';
        writeNoted(out, columns_[i].name, notes);
    }
    // The internal lines come last, so the block reads back the same wherever the _INTERNAL
    // column stands; every piece followed by a "," is a line, text after the last "," is not.
    std::size_t start = 0;
    for (std::size_t comma; (comma = internal.find(',', start)) != std::string_view::npos;
         start = comma + 1) {
        line_.assign(internal.substr(start, comma - start));
        writeNoted(out, internalName, notes);
    }
    out.writeLine("{ }");
    return notes;
}

BlockNotes WritePointBlock(TextFileWriter& out, std::string_view pointType, std::string_view name,
                           const std::vector<BlockColumn>& columns, std::string_view quotedList) {
    std::vector<std::string_view> names;
    std::vector<std::string> texts;
    for (const auto& c : columns) {
        names.push_back(c.name);
        texts.emplace_back(c.valueText);
    }
    return BlockLayout(names, quotedList).write(out, pointType, name, texts);
}

}  // namespace pel::eb
