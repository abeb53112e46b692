// check-connections DB REPORT [--types T1,...] [--eb FILE...]: references of the connection
// parameters whose point or parameter does not exist.

#include "checks/ConnectionCheck.h"
#include "cli/CliCommand.h"
#include "compare/FindingsReport.h"

namespace pel::cli {

namespace {

struct CheckArgs {
    std::string database, report, types;
    std::vector<std::string> ebFiles;
};

int Run(CliRuntime& rt, const CheckArgs& a) {
    if (!ReportFormatOf(a.report)) {
        rt.feedback->message("Error", "The report must be a .htm, .html or .csv file: " + a.report);
        return kExitUsage;
    }
    if (!rt.openDefinitions()) return kExitLeftUndone;
    const ConnectionCheckRequest request{a.database, a.report, SplitCommaList(a.types), a.ebFiles};
    const ConnectionCheckResult result = CheckConnections(rt.catalog, *rt.feedback, request);
    return result.outcome == Outcome::Done && result.dangling == 0 ? kExitDone : kExitLeftUndone;
}

}  // namespace

void SetupCheckConnectionsCommand(CLI::App& root, CliRuntime& rt) {
    auto* cmd = root.add_subcommand(
        "check-connections",
        "References (POINT.PARAMETER) of the connection parameters that point nowhere");
    auto a = std::make_shared<CheckArgs>();
    cmd->add_option("DB", a->database, "The point database")->required();
    cmd->add_option("REPORT", a->report, "The report to write: .htm, .html or .csv")->required();
    cmd->add_option("--types", a->types,
                    "The point types to check, comma-separated (default: all with a table)");
    cmd->add_option("--eb", a->ebFiles, "EB files whose points count as existing too");
    cmd->callback([&rt, a] { rt.run = [&rt, a] { return Run(rt, *a); }; });
}

}  // namespace pel::cli
