#pragma once
// The property the fuzzer checks, shared with the regression test that replays the corpus:
// reading any bytes line by line and writing the lines back (CR LF) gives the same bytes once
// line ends are made CR LF; classification and splitting stay inside the line.

#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/Cp1252.h"
#include "eb/EbLine.h"
#include "eb/EbLineReader.h"

namespace pel::fuzz {

inline std::string NormaliseLineEnds(std::string_view bytes) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r') {
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
            out += "\r\n";
        } else if (bytes[i] == '\n') {
            out += "\r\n";
        } else {
            out += bytes[i];
        }
    }
    if (!out.empty() && (out.size() < 2 || out.compare(out.size() - 2, 2, "\r\n") != 0))
        out += "\r\n";
    return out;
}

// What the reader got wrong about the bytes, or null when it kept them all.
inline const char* EbBytesFault(std::string_view bytes) {
    const std::string path =
        (std::filesystem::temp_directory_path() / ("pelorin-fuzz-" + std::to_string(::getpid())))
            .string();
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    eb::EbLineReader reader;
    if (!reader.open(path)) return "the file could not be opened";
    std::string back;
    std::size_t unmappable = 0;
    std::string_view line;
    while (reader.next(line)) {
        auto c = eb::ClassifyEbLine(line);
        if (c.text.size() > line.size()) return "a classified text longer than its line";
        if (c.kind == eb::EbLineKind::Parameter) {
            auto p = eb::SplitEbParameterLine(line);
            auto v = eb::DecodeEbValue(p.rawValue);
            if (p.name.size() + p.rawValue.size() + 1 > line.size() || v.size() > p.rawValue.size())
                return "a parameter line split beyond its bytes";
        }
        eb::AppendUtf8AsCp1252(line, back, unmappable);
        back += "\r\n";
    }
    std::remove(path.c_str());
    if (unmappable != 0 || back != NormaliseLineEnds(bytes)) return "the bytes did not come back";
    return nullptr;
}

}  // namespace pel::fuzz
