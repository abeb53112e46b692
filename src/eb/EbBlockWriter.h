#pragma once
// The writer's point block: "&T " type, "&N " name, a line per column with a value, the
// internal lines, "{ }".

#include <string>
#include <string_view>
#include <vector>

#include "eb/TextFileWriter.h"

namespace pel::eb {

// Where a block's text could not be written as it is: the columns ("NAME" for the point name)
// whose text held a line break (written as a blank), and those with characters that code page
// 1252 cannot hold (written as "?"). Empty for almost every block.
struct BlockNotes {
    std::vector<std::string> lineBreaks;
    std::vector<std::string> unmappable;
};

// What each column of a table writes, worked out once per table rather than once per row.
//
// `quotedList` is "," + each quoted parameter + "," (",PTDESC,EUDESC,"). Column rules, in
// order: empty value text writes nothing; "NAME" and "PNTTYPE" nothing; "_INTERNAL" (in any
// letter case, as the import fills it) its text cut at every "," into lines (text after the last
// "," is not written); other names beginning with "_" nothing; any other a "NAME = value" line,
// the value in double quotes when it contains a blank or its base name is in the quoted list.
// The internal lines come after the block's other parameter lines, just before "{ }", so the
// block reads back the same whatever the position of the _INTERNAL column in its table.
class BlockLayout {
  public:
    BlockLayout(const std::vector<std::string_view>& columnNames, std::string_view quotedList);
    // `valueTexts` holds the value text (ValueText.h) of each column, in the table's column
    // order.
    BlockNotes write(TextFileWriter& out, std::string_view pointType, std::string_view name,
                     const std::vector<std::string_view>& valueTexts);

  private:
    enum class Kind { Nothing, Internal, Parameter };
    struct Column {
        Kind kind;
        bool quotedByList;
        std::string prefix;  // "NAME = "
        std::string name;
        bool prefixBreaks;  // a name with a line break, written as a blank
        bool prefixAscii;
    };
    // Writes line_ as one line, its line breaks as blanks; notes `column` when anything in it
    // could not be written as it is.
    void writeNoted(TextFileWriter& out, std::string_view column, BlockNotes& notes);
    std::vector<Column> columns_;
    std::string line_;
};

}  // namespace pel::eb
