#include "compare/ComparisonReport.h"

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
    lineAndEmpty("<p><tr>");
    lineAndEmpty("  <td width=\"34%\"><strong>" + EscapeHtml(pointName) + "</strong></td>");
    lineAndEmpty("  <td width=\"33%\">" + std::string(text) + "</td>");
    lineAndEmpty("  <td width=\"33%\"></td>");
    lineAndEmpty("</tr>");
}

void ComparisonReport::pointHeading(std::string_view pointName) {
    lineAndEmpty("<p><strong>" + EscapeHtml(pointName) + "</strong>");
    line("<table width=\"80%\">");
}

void ComparisonReport::discrepancy(std::string_view parameter, std::string_view first,
                                   std::string_view second) {
    line("<tr>");
    line("  <td width=\"34%\">" + EscapeHtml(parameter) + "</td>");
    line("  <td width=\"33%\">" + EscapeHtml(first) + "</td>");
    line("  <td width=\"33%\">" + EscapeHtml(second) + "</td>");
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
    line("<tr>");
    line("  <td width=\"30%\">" + EscapeHtml(name) + "</td>");
    line("  <td width=\"40%\">" + EscapeHtml(description) + "</td>");
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
    line("<hr><p><strong>This report is incomplete:</strong> " + EscapeHtml(why) + "</p>");
}

void ComparisonReport::documentEnd() {
    line("</body></html>");
}

}  // namespace pel
