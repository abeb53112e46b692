#pragma once
// The HTML comparison report, fragment by fragment: each write is one CR LF line, some
// fragments leave an empty line after them. Inserted values are escaped (& < >), since the
// report is opened in a browser; the fixed text stays as it is.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/Feedback.h"
#include "eb/TextFileWriter.h"

namespace pel {

std::string EscapeHtml(std::string_view text);

class ComparisonReport {
  public:
    bool open(const std::string& path) { return out_.open(path); }
    const std::string& errorText() const { return out_.errorText(); }
    bool commit() { return out_.commit(); }
    // Characters that 1252 cannot hold, written as "?".
    std::size_t unmappable() const { return out_.unmappable(); }

    // Every row written from here on is also handed to `feedback` (a window lists them), under
    // the point type last named.
    void handRowsTo(Feedback& feedback) { rows_ = &feedback; }
    void pointType(std::string_view type) { pointType_ = type; }

    void documentHead(std::string_view title = "EB Comparison");
    void directoryHeading(std::string_view directory);
    void fileHeading(std::string_view fileName);
    // The column heads; the last is "Value (DB)" in the EB report, "Value (As-Built)" in the
    // database comparison (whose middle one is "Value (DB)").
    void columnHeads(std::string_view second = "Value (EB)", std::string_view third = "Value (DB)");
    void notFound(std::string_view pointName, std::string_view text = "Not Found in Database");
    void pointHeading(std::string_view pointName);
    void discrepancy(std::string_view parameter, std::string_view first, std::string_view second);
    void pointEnd() { tableEnd(); }
    // A table of findings of any width: heads and rows in the layout of the column heads.
    void tableHeads(const std::vector<std::string_view>& heads);
    void tableRow(const std::vector<std::string_view>& cells);
    void tableEnd();
    void missingHeading(std::string_view heading = "Points in Database - Not in EB file");
    void missingRow(std::string_view name, std::string_view description,
                    std::string_view text = "Not in EB");
    void missingEnd(bool anyRow);
    // "No discrepancies", after a table or list that stayed empty.
    void noDiscrepancies();
    // Says, before the document end, that the report is incomplete and why.
    void incomplete(std::string_view why);
    void documentEnd();
    // Names, as warnings, the values and names whose line breaks were written as blanks (a line
    // of the report holds none); true when there were any.
    bool sayLineBreaks(Feedback& feedback) const;

  private:
    void line(std::string_view text) { out_.writeLine(text); }
    // `text` escaped, each line break a blank; `where` is noted when it held one.
    std::string inserted(std::string_view text, std::string_view parameter);
    void lineAndEmpty(std::string_view text) {
        out_.writeLine(text);
        out_.writeLine("");
    }
    void handOn(Difference::Kind kind, std::string_view point, std::string_view parameter,
                std::string_view first, std::string_view second) const;
    eb::TextFileWriter out_;
    Feedback* rows_ = nullptr;
    std::string pointType_;
    std::string point_;  // the point whose rows are being written
    std::int64_t lineBreaks_ = 0;
    std::vector<std::string> lineBreakPlaces_;  // the first few
};

}  // namespace pel
