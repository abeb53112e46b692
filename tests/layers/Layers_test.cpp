// The layers of src/ and what each may include: a back-arrow (a lower layer including a higher
// one, an engine including the window or the command line, a plain file including Qt) fails
// here, whatever the link lines happen to allow.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "support/TestSupport.h"

namespace fs = std::filesystem;

namespace {

const fs::path kSource = fs::path(PELORIN_SOURCE_DIR) / "src";

// The folders each folder's plain files may include (its own always).
const std::map<std::string, std::set<std::string>> kAllowed = {
    {"core", {}},
    {"db", {"core"}},
    {"db/sqlite", {"core", "db"}},
    {"db/access", {"core", "db"}},
    {"db/postgres", {"core", "db"}},
    {"db/open", {"core", "db", "db/sqlite", "db/access", "db/postgres"}},
    {"eb", {"core"}},
    {"import", {"core", "db", "eb"}},
    {"export", {"core", "db", "eb"}},
    {"compare", {"core", "db", "eb"}},
    {"connections", {"core", "db", "eb"}},
    {"convert", {"core", "db", "db/sqlite"}},
    {"checks", {"core", "db", "eb", "compare"}},
    {"diff", {"core", "db", "eb", "compare"}},
    {"ui", {"core", "db"}},
    {"cli",
     {"core", "db", "db/sqlite", "db/postgres", "eb", "import", "export", "compare", "connections",
      "convert", "checks", "diff"}},
    {"app",
     {"core", "db", "eb", "ui", "import", "export", "compare", "connections", "convert", "checks",
      "diff"}},
};

// Folders whose files are all part of the window.
const std::set<std::string> kWindowFolders = {"ui", "app"};

// The files named after WINDOW in a folder's CMakeLists.txt: that folder's part of the window.
std::set<std::string> WindowFiles(const fs::path& folder) {
    std::set<std::string> files;
    const std::string text = pel::test::ReadFile((folder / "CMakeLists.txt").string());
    const auto at = text.find("WINDOW");
    if (at == std::string::npos) return files;
    std::istringstream words(text.substr(at + 6, text.find(')', at) - at - 6));
    for (std::string w; words >> w;)
        if (w.find('.') != std::string::npos) files.insert(w);
    return files;
}

// The folder of an included path: the longest known folder it begins with.
std::string FolderOf(const std::string& include) {
    std::string best;
    for (const auto& [folder, allowed] : kAllowed)
        if (include.rfind(folder + "/", 0) == 0 && folder.size() > best.size()) best = folder;
    return best;
}

// The path of an #include line written with the given delimiters ('"' and '"', or '<' and
// '>'), or empty. (std::regex would do, but GCC 12 warns inside it under the sanitizers.)
std::string IncludedPath(std::string_view line, char open, char close) {
    std::size_t i = line.find_first_not_of(" \t");
    if (i == std::string_view::npos || line[i] != '#') return {};
    i = line.find_first_not_of(" \t", i + 1);
    if (i == std::string_view::npos || line.substr(i, 7) != "include") return {};
    i = line.find_first_not_of(" \t", i + 7);
    if (i == std::string_view::npos || line[i] != open) return {};
    const std::size_t end = line.find(close, i + 1);
    if (end == std::string_view::npos) return {};
    return std::string(line.substr(i + 1, end - i - 1));
}

bool IsQtHeader(const std::string& system) {
    return system.size() > 1 && system[0] == 'Q' &&
           system.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") ==
               std::string::npos;
}

}  // namespace

TEST(Layers, EveryIncludePointsDownward) {
    std::vector<std::string> faults;
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(kSource)) {
        const fs::path& path = entry.path();
        if (path.extension() != ".cpp" && path.extension() != ".h") continue;
        const std::string folder = fs::relative(path.parent_path(), kSource).generic_string();
        if (folder == "cli/tools") continue;  // a build tool of its own
        auto rule = kAllowed.find(folder);
        if (rule == kAllowed.end()) {
            faults.push_back(folder + ": a folder without a layer rule");
            continue;
        }
        const bool window = kWindowFolders.count(folder) ||
                            WindowFiles(path.parent_path()).count(path.filename().string());
        ++files;
        std::istringstream lines(pel::test::ReadFile(path.string()));
        for (std::string line; std::getline(lines, line);) {
            const std::string where = fs::relative(path, kSource).generic_string() + ": " + line;
            if (IsQtHeader(IncludedPath(line, '<', '>')) && !window)
                faults.push_back(where + " (Qt)");
            const std::string included = IncludedPath(line, '"', '"');
            if (included.empty()) continue;
            const std::string used = FolderOf(included);
            if (used.empty() && included.find('/') == std::string::npos) continue;  // moc
            const bool allowed =
                used == folder || rule->second.count(used) || (window && used == "ui");
            if (!allowed) faults.push_back(where);
        }
    }
    EXPECT_GT(files, 50);
    for (const auto& f : faults) ADD_FAILURE() << f;
}
