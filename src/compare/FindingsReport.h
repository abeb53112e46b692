#pragma once
// A report of findings, one row each, as HTML in the comparison report's layout or as CSV, by
// the file's extension. The first column groups the rows: in HTML each run of rows with the
// same first cell is a table under that cell as its heading; CSV writes every column.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compare/ComparisonReport.h"
#include "core/Feedback.h"
#include "eb/CsvWriter.h"

namespace pel {

enum class ReportFormat { Html, Csv };

// ".htm" or ".html" gives HTML, ".csv" CSV, in any letter case; any other name none.
std::optional<ReportFormat> ReportFormatOf(std::string_view path);

class FindingsReport {
  public:
    // The format follows the extension; `columns` are the heads, the grouping column first.
    // False (errorText() says why) for a name of another kind, an output that is not a regular
    // file or is one of the run's `inputs`, or a file that cannot be made.
    bool open(const std::string& path, std::string_view title, std::vector<std::string> columns,
              const std::vector<std::string>& inputs);
    // HTML only: a heading under the document head, before the first row.
    void heading(std::string_view text);
    // One cell per column.
    void row(const std::vector<std::string_view>& cells);
    // Ends the report; a non-empty `incomplete` says in the HTML why it is incomplete. Warns
    // of values whose line breaks became blanks and of characters 1252 cannot hold. False
    // when anything could not be written (errorText() says why).
    bool close(Feedback& feedback, std::string_view incomplete);
    const std::string& errorText() const;

  private:
    ReportFormat format_ = ReportFormat::Html;
    std::string refusal_;
    ComparisonReport html_;
    eb::CsvWriter csv_;
    std::vector<std::string> columns_;
    std::optional<std::string> group_;  // the first cell of the open HTML table
    std::int64_t rows_ = 0;
    std::size_t lineBreaks_ = 0;
};

}  // namespace pel
