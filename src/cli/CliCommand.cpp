#include "cli/CliCommand.h"

#include <unistd.h>

#include <climits>

#include "core/Paths.h"
#include "db/Definitions.h"

namespace pel::cli {

std::string ProgramDirectory() {
    char buf[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return ".";
    return DirectoryPart(std::string(buf, static_cast<std::size_t>(n)));
}

bool CliRuntime::openDefinitions() {
    const std::string path =
        definitionsPath.empty() ? db::DefinitionsPathIn(ProgramDirectory()) : definitionsPath;
    try {
        definitions = db::Database::open(path, false);
        catalog = db::ReadPointTypeCatalog(*definitions);
        return true;
    } catch (const std::exception& e) {
        feedback->message("Error", std::string("Cannot read the definitions database: ") + e.what(),
                          Icon::Critical);
        return false;
    }
}

std::vector<std::string> PointTypesArgument(const PointTypeCatalog& catalog,
                                            const std::string& text) {
    std::vector<std::string> types = SplitCommaList(text);
    for (auto& type : types)
        if (auto known = catalog.knownName(type)) type = *known;
    return types;
}

std::vector<std::string> SplitCommaList(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        auto comma = text.find(',', start);
        std::string piece =
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (!piece.empty()) out.push_back(piece);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return out;
}

}  // namespace pel::cli
