#include "eb/CsvWriter.h"

namespace pel::eb {

std::string CsvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
    return out;
}

bool CsvWriter::open(const std::string& path, const std::vector<std::string_view>& header) {
    if (!out_.open(path, TextEncoding::Utf8)) return false;
    writeRow(header);
    return true;
}

void CsvWriter::writeRow(const std::vector<std::string_view>& fields) {
    line_.clear();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) line_ += ',';
        line_ += CsvField(fields[i]);
    }
    out_.writeLine(line_);
}

}  // namespace pel::eb
