#include "eb/EbBlockWriter.h"

#include <cstdint>
#include <cstring>

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

// What the writing of a value depends on.
struct TextTraits {
    bool blank = false, lineBreak = false, ascii = true;
};

constexpr std::uint64_t kOnes = 0x0101010101010101ULL, kHighs = 0x8080808080808080ULL;

// Whether any byte of `word` is `byte`: exact, with no branch per byte.
bool HasByte(std::uint64_t word, unsigned char byte) {
    const std::uint64_t v = word ^ (kOnes * byte);
    return ((v - kOnes) & ~v & kHighs) != 0;
}

template <typename Word>
Word Load(const char* p) {
    Word w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

// Eight bytes at a time, the last word overlapping the one before; a text shorter than a word
// is gathered into one, the rest of it "x". Values are short: a loop per byte, ended at a
// different length every time, costs more in mispredicted branches than it does work.
TextTraits TraitsOf(std::string_view text) {
    const char* p = text.data();
    const std::size_t n = text.size();
    std::uint64_t blank = 0, lineBreak = 0, high = 0;
    auto add = [&](std::uint64_t w) {
        high |= w & kHighs;
        blank |= HasByte(w, ' ');
        lineBreak |= HasByte(w, '\r') | HasByte(w, '\n');
    };
    if (n >= 8) {
        for (std::size_t i = 0; i + 8 < n; i += 8) add(Load<std::uint64_t>(p + i));
        add(Load<std::uint64_t>(p + n - 8));
    } else if (n >= 4) {
        add(Load<std::uint32_t>(p) | std::uint64_t{Load<std::uint32_t>(p + n - 4)} << 32);
    } else if (n > 0) {
        const auto byte = [&](std::size_t i) {
            return std::uint64_t{static_cast<unsigned char>(p[i])};
        };
        add((kOnes * 'x') << 24 | byte(0) | byte(n / 2) << 8 | byte(n - 1) << 16);
    }
    return {blank != 0, lineBreak != 0, high == 0};
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
