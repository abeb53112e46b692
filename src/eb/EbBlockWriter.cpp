#include "eb/EbBlockWriter.h"

#include <array>

#include "core/AsciiCase.h"
#include "core/Cp1252.h"
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

// What the writing of a value depends on, found in one pass over it: each byte's class is
// looked up and the classes gathered, with no branch per byte.
struct TextTraits {
    bool blank = false, lineBreak = false, ascii = true;
};

enum : unsigned char { kBlank = 1, kLineBreak = 2, kHigh = 4 };

constexpr auto kByteClass = [] {
    std::array<unsigned char, 256> classes{};
    classes[' '] = kBlank;
    classes['\r'] = classes['\n'] = kLineBreak;
    for (std::size_t c = 0x80; c < 256; ++c) classes[c] = kHigh;
    return classes;
}();

TextTraits TraitsOf(std::string_view text) {
    unsigned found = 0;
    for (const char c : text) found |= kByteClass[static_cast<unsigned char>(c)];
    return {(found & kBlank) != 0, (found & kLineBreak) != 0, (found & kHigh) == 0};
}
}  // namespace

BlockLayout::BlockLayout(const std::vector<std::string_view>& columnNames,
                         std::string_view quotedList) {
    for (std::string_view name : columnNames) {
        Column c{Kind::Parameter,    false,        std::string(name) + " = ", std::string(name),
                 HasLineBreak(name), IsAscii(name)};
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
                              std::string_view name,
                              const std::vector<std::string_view>& valueTexts) {
    BlockNotes notes;
    out.writeLineOf({"&T ", pointType});
    line_.assign("&N ").append(name);
    writeNoted(out, "NAME", notes);
    std::string_view internal;
    std::string_view internalName;
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        const std::string_view value = valueTexts[i];
        if (value.empty() || columns_[i].kind == Kind::Nothing) continue;
        if (columns_[i].kind == Kind::Internal) {
            internal = value;
            internalName = columns_[i].name;
            continue;
        }
        // A value that begins with a double quote is quoted too: unquoted, the reader would
        // take that quote (and one at its end) for the quoting and drop it. Quoting is decided
        // on the text as written, a line break already a blank.
        const TextTraits traits = TraitsOf(value);
        const bool breaks = columns_[i].prefixBreaks || traits.lineBreak;
        const bool quoted =
            columns_[i].quotedByList || traits.blank || value.front() == '"' || breaks;
        if (!breaks) {  // the common line, written without a copy
            const std::string_view quote(quoted ? "\"" : "", quoted ? 1 : 0);
            if (traits.ascii && columns_[i].prefixAscii)
                out.writeAsciiLineOf({columns_[i].prefix, quote, value, quote});
            else
                WriteCounted(out, columns_[i].name, notes,
                             {columns_[i].prefix, quote, value, quote});
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

}  // namespace pel::eb
