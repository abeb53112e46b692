// compare DB REPORT.htm FILE... [--two-way]: the Compare EB run. The files share one folder,
// whose absolute path is the report's directory heading.

#include <filesystem>

#include "cli/CliCommand.h"
#include "compare/CompareEngine.h"
#include "core/Paths.h"

namespace pel::cli {

namespace {

struct CompareArgs {
    std::string database, report;
    std::vector<std::string> files;
    bool twoWay = false;
};

int Run(CliRuntime& rt, const CompareArgs& a) {
    std::string folder;
    std::vector<std::string> names;
    for (const auto& f : a.files) {
        const auto path = std::filesystem::absolute(f).lexically_normal();
        const std::string dir = path.parent_path().string();
        if (!folder.empty() && dir != folder) {
            rt.feedback->message("Error", "The EB files to compare must share one folder: " + f +
                                              " is not in " + folder);
            return kExitUsage;
        }
        folder = dir;
        names.push_back(path.filename().string());
    }
    if (!rt.openDefinitions()) return kExitLeftUndone;
    const CompareEbRequest request{a.database, folder, names, a.report, a.twoWay};
    return ExitCodeFor(CompareEbFiles(rt.catalog, *rt.feedback, request));
}

}  // namespace

void SetupCompareCommand(CLI::App& root, CliRuntime& rt) {
    auto* cmd = root.add_subcommand("compare",
                                    "The Compare EB run: EB files against the database, as HTML");
    auto a = std::make_shared<CompareArgs>();
    cmd->add_option("DB", a->database, "The point database")->required();
    cmd->add_option("REPORT", a->report, "The HTML report to write")->required();
    cmd->add_option("FILE", a->files, "EB files in one folder, in the order to compare")
        ->required();
    cmd->add_flag("--two-way", a->twoWay,
                  "Check for points in the database that are not in the EB files");
    cmd->callback([&rt, a] { rt.run = [&rt, a] { return Run(rt, *a); }; });
}

}  // namespace pel::cli
