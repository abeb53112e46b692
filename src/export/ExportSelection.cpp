#include "export/ExportSelection.h"

#include "eb/EbLine.h"
#include "eb/EbLineReader.h"

namespace pel {

std::optional<std::vector<std::string>> ReadSelectionList(const std::string& path,
                                                          std::string* error) {
    eb::EbLineReader reader;
    if (!reader.open(path)) {
        if (error) *error = "Cannot read the selection list file: " + reader.errorText();
        return std::nullopt;
    }
    std::vector<std::string> names;
    std::string_view line;
    while (reader.next(line)) {
        std::string_view name = eb::TrimBlanks(line);
        if (!name.empty()) names.emplace_back(name);
    }
    if (reader.failed()) {
        if (error)
            *error = "Cannot read the selection list file " + path + ": " + reader.errorText();
        return std::nullopt;
    }
    if (names.empty()) names.emplace_back();  // selects nothing
    return names;
}

std::vector<std::string> SplitExportSelectionText(std::string_view text) {
    std::vector<std::string> names;
    std::string piece;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool crlf = text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
        if (crlf || text[i] == ' ' || text[i] == ',') {
            if (!piece.empty()) names.push_back(std::move(piece));
            piece.clear();
            if (crlf) ++i;
        } else {
            piece += text[i];
        }
    }
    if (!piece.empty()) names.push_back(std::move(piece));
    if (names.empty()) names.emplace_back();  // selects nothing
    return names;
}

}  // namespace pel
