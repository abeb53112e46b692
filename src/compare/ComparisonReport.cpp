#include "compare/ComparisonReport.h"

#include "eb/LineBreaks.h"

namespace pel {

std::string EscapeHtml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string ComparisonReport::inserted(std::string_view text, std::string_view parameter) {
    if (!eb::HasLineBreak(text)) return EscapeHtml(text);
    if (++lineBreaks_ <= 10)
        lineBreakPlaces_.push_back("Point " + point_ + ", " + std::string(parameter) +
                                   ": a line break in its text was written as a blank");
    return EscapeHtml(eb::WithoutLineBreaks(text));
}

bool ComparisonReport::sayLineBreaks(Feedback& feedback) const {
    for (const auto& place : lineBreakPlaces_) feedback.warning(place);
    if (lineBreaks_ > static_cast<std::int64_t>(lineBreakPlaces_.size()))
        feedback.warning(std::to_string(lineBreaks_) +
                         " texts of the report held line breaks, written as blanks");
    return lineBreaks_ > 0;
}

void ComparisonReport::handOn(Difference::Kind kind, std::string_view point,
                              std::string_view parameter, std::string_view first,
                              std::string_view second) const {
    if (!rows_) return;
    rows_->difference({kind, pointType_, std::string(point), std::string(parameter),
                       std::string(first), std::string(second)});
}

void ComparisonReport::documentHead(std::string_view title) {
    line("<html><head><title>" + EscapeHtml(title) + "</title>");
    lineAndEmpty("<STYLE type=\"text/css\">");
    lineAndEmpty("body {  font-family: arial,sans-serif;");
    lineAndEmpty("        font-size: 10pt; }");
    lineAndEmpty("table {font-size: 100%}");
    lineAndEmpty("th { background-color: rgb(190,190,125) }");
    lineAndEmpty("</STYLE>");
    lineAndEmpty("</head><body>");
}

void ComparisonReport::directoryHeading(std::string_view directory) {
    lineAndEmpty("<p><h2>" + EscapeHtml(directory) + "</h2><p><br /><p>");
}

void ComparisonReport::fileHeading(std::string_view fileName) {
    lineAndEmpty("<p><h2>" + EscapeHtml(fileName) + "</h2>");
}

void ComparisonReport::columnHeads(std::string_view second, std::string_view third) {
    line("<table width=\"80%\">");
    line("<tr>");
    line("  <th width=\"34%\">Point-Parameter</th>");
    line("  <th width=\"33%\">" + std::string(second) + "</th>");
    line("  <th width=\"33%\">" + std::string(third) + "</th>");
    line("</tr>");
    line("</table><br />");
}

void ComparisonReport::notFound(std::string_view pointName, std::string_view text) {
    point_ = pointName;
    handOn(Difference::Kind::MissingFromSecond, pointName, "", "", text);
    lineAndEmpty("<p><tr>");
    lineAndEmpty("  <td width=\"34%\"><strong>" + inserted(pointName, "its name") +
                 "</strong></td>");
    lineAndEmpty("  <td width=\"33%\">" + std::string(text) + "</td>");
    lineAndEmpty("  <td width=\"33%\"></td>");
    lineAndEmpty("</tr>");
}

void ComparisonReport::pointHeading(std::string_view pointName) {
    point_ = pointName;
    lineAndEmpty("<p><strong>" + inserted(pointName, "its name") + "</strong>");
    line("<table width=\"80%\">");
}

void ComparisonReport::discrepancy(std::string_view parameter, std::string_view first,
                                   std::string_view second) {
    handOn(Difference::Kind::Differs, point_, parameter, first, second);
    line("<tr>");
    const std::string where = "parameter " + std::string(parameter);
    line("  <td width=\"34%\">" + inserted(parameter, where) + "</td>");
    line("  <td width=\"33%\">" + inserted(first, where) + "</td>");
    line("  <td width=\"33%\">" + inserted(second, where) + "</td>");
    line("</tr>");
}

void ComparisonReport::tableHeads(const std::vector<std::string_view>& heads) {
    line("<table width=\"80%\">");
    line("<tr>");
    for (auto head : heads) line("  <th>" + EscapeHtml(head) + "</th>");
    line("</tr>");
}

void ComparisonReport::tableRow(const std::vector<std::string_view>& cells) {
    line("<tr>");
    for (auto cell : cells) line("  <td>" + EscapeHtml(cell) + "</td>");
    line("</tr>");
}

void ComparisonReport::tableEnd() {
    line("</table>");
}

void ComparisonReport::missingHeading(std::string_view heading) {
    line("<hr><br />");
    lineAndEmpty("<p><h2>Discrepancies</h2>");
    line("<table width=\"80%\">");
    line("<th>" + std::string(heading) + "</th>");
    line("</table>");
    line("<table width=\"80%\">");
}

void ComparisonReport::missingRow(std::string_view name, std::string_view description,
                                  std::string_view text) {
    point_ = name;
    handOn(Difference::Kind::MissingFromFirst, name, "PTDESC", text, description);
    line("<tr>");
    line("  <td width=\"30%\">" + inserted(name, "its name") + "</td>");
    line("  <td width=\"40%\">" + inserted(description, "parameter PTDESC") + "</td>");
    line("  <td width=\"30%\">" + std::string(text) + "</td>");
    line("</tr>");
}

void ComparisonReport::missingEnd(bool anyRow) {
    line("</table>");
    if (!anyRow) noDiscrepancies();
}

void ComparisonReport::noDiscrepancies() {
    line("<br />No discrepancies");
}

void ComparisonReport::incomplete(std::string_view why) {
    line("<hr><p><strong>This report is incomplete:</strong> " +
         EscapeHtml(eb::WithoutLineBreaks(why)) + "</p>");
}

void ComparisonReport::documentEnd() {
    line("</body></html>");
}

}  // namespace pel
