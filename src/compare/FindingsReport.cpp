#include "compare/FindingsReport.h"

#include "core/AsciiCase.h"
#include "core/Paths.h"

namespace pel {

namespace {

bool EndsWithIgnoreCase(std::string_view text, std::string_view end) {
    return text.size() >= end.size() &&
           EqualsIgnoreCase(text.substr(text.size() - end.size()), end);
}

// An HTML line never holds a line break: each becomes one blank.
std::string OneLine(std::string_view text, std::size_t& replaced) {
    std::string out;
    out.reserve(text.size());
    bool any = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') {
            out += text[i];
            continue;
        }
        any = true;
        out += ' ';
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    }
    if (any) ++replaced;
    return out;
}

}  // namespace

std::optional<ReportFormat> ReportFormatOf(std::string_view path) {
    if (EndsWithIgnoreCase(path, ".htm") || EndsWithIgnoreCase(path, ".html"))
        return ReportFormat::Html;
    if (EndsWithIgnoreCase(path, ".csv")) return ReportFormat::Csv;
    return std::nullopt;
}

bool FindingsReport::open(const std::string& path, std::string_view title,
                          std::vector<std::string> columns,
                          const std::vector<std::string>& inputs) {
    const auto format = ReportFormatOf(path);
    refusal_ = format ? OutputRefusal(path, inputs)
                      : "the report must be a .htm, .html or .csv file: " + path;
    if (!refusal_.empty()) return false;
    format_ = *format;
    columns_ = std::move(columns);
    rows_ = 0;
    lineBreaks_ = 0;
    group_.reset();
    if (format_ == ReportFormat::Csv)
        return csv_.open(path, std::vector<std::string_view>(columns_.begin(), columns_.end()));
    if (!html_.open(path)) return false;
    html_.documentHead(title);
    return true;
}

void FindingsReport::heading(std::string_view text) {
    if (format_ == ReportFormat::Html) html_.fileHeading(OneLine(text, lineBreaks_));
}

void FindingsReport::row(const std::vector<std::string_view>& cells) {
    ++rows_;
    if (format_ == ReportFormat::Csv) {
        csv_.writeRow(cells);
        return;
    }
    if (!group_ || *group_ != cells.front()) {
        if (group_) html_.tableEnd();
        group_ = std::string(cells.front());
        html_.fileHeading(OneLine(cells.front(), lineBreaks_));
        html_.tableHeads(std::vector<std::string_view>(columns_.begin() + 1, columns_.end()));
    }
    std::vector<std::string> lines;
    lines.reserve(cells.size() - 1);
    for (std::size_t i = 1; i < cells.size(); ++i) lines.push_back(OneLine(cells[i], lineBreaks_));
    html_.tableRow(std::vector<std::string_view>(lines.begin(), lines.end()));
}

bool FindingsReport::close(Feedback& feedback, std::string_view incomplete) {
    if (format_ == ReportFormat::Csv) return csv_.commit();
    if (group_) html_.tableEnd();
    if (rows_ == 0) html_.noDiscrepancies();
    if (!incomplete.empty()) html_.incomplete(incomplete);
    html_.documentEnd();
    const bool written = html_.commit();
    if (lineBreaks_ > 0)
        feedback.warning(std::to_string(lineBreaks_) +
                         " values held line breaks; the report shows each as a blank");
    if (html_.unmappable() > 0)
        feedback.warning(std::to_string(html_.unmappable()) +
                         " characters that code page 1252 cannot hold were written as \"?\"");
    return written;
}

const std::string& FindingsReport::errorText() const {
    if (!refusal_.empty()) return refusal_;
    return format_ == ReportFormat::Csv ? csv_.errorText() : html_.errorText();
}

}  // namespace pel
