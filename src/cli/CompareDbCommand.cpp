// compare-db DB ASBUILT REPORT --types T1,...: the Compare DB run.

#include "cli/CliCommand.h"
#include "compare/CompareDbEngine.h"

namespace pel::cli {

namespace {

struct CompareDbArgs {
    std::string database, asBuilt, report, types, order = "Name";
};

}  // namespace

void SetupCompareDbCommand(CLI::App& root, CliRuntime& rt) {
    auto* cmd = root.add_subcommand(
        "compare-db", "The Compare DB run: the database against an as-built copy, as HTML");
    auto a = std::make_shared<CompareDbArgs>();
    cmd->add_option("DB", a->database, "The point database")->required();
    cmd->add_option("ASBUILT", a->asBuilt, "The as-built database")->required();
    cmd->add_option("REPORT", a->report, "The HTML report to write")->required();
    cmd->add_option("--types", a->types, "Point types, in the order to compare, comma-separated")
        ->required();
    cmd->add_option("--order", a->order, "Order-by text: Name or an index name (default Name)");
    cmd->callback([&rt, a] {
        rt.run = [&rt, a] {
            if (!rt.openDefinitions()) return static_cast<int>(kExitLeftUndone);
            const CompareDbRequest request{a->database, a->asBuilt,
                                           PointTypesArgument(rt.catalog, a->types), a->order,
                                           a->report};
            return ExitCodeFor(CompareDatabases(*rt.feedback, request));
        };
    });
}

}  // namespace pel::cli
