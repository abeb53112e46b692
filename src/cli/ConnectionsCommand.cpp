// connections DB REPORT.txt --types T1,T2,...: the Connection Report run; the types stand for
// the checked boxes.

#include "cli/CliCommand.h"
#include "connections/ConnectionReport.h"

namespace pel::cli {

namespace {

struct ConnectionsArgs {
    std::string database, report, types;
};

}  // namespace

void SetupConnectionsCommand(CLI::App& root, CliRuntime& rt) {
    auto* cmd = root.add_subcommand(
        "connections", "The connection parameters of the points of the types, as text");
    auto a = std::make_shared<ConnectionsArgs>();
    cmd->add_option("DB", a->database, "The point database (SQLite or Access)")->required();
    cmd->add_option("REPORT", a->report, "The text file to write")->required();
    cmd->add_option("--types", a->types, "The checked point types, comma-separated")->required();
    cmd->callback([&rt, a] {
        rt.run = [&rt, a] {
            if (!rt.openDefinitions()) return static_cast<int>(kExitLeftUndone);
            const ConnectionReportRequest request{
                a->database, a->report,
                ReportedPointTypes(rt.catalog, PointTypesArgument(rt.catalog, a->types))};
            return ExitCodeFor(MakeConnectionReport(*rt.feedback, request));
        };
    });
}

}  // namespace pel::cli
