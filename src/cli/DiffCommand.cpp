// diff OLD.eb NEW.eb REPORT [--types T1,...]: two EB files compared point by point. Exits as
// diff(1) does: 0 the same, 1 different, 2 a usage error or a failure.

#include "cli/CliCommand.h"
#include "compare/FindingsReport.h"
#include "diff/EbDiff.h"

namespace pel::cli {

namespace {

struct DiffArgs {
    std::string oldFile, newFile, report, types;
};

int Run(CliRuntime& rt, const DiffArgs& a) {
    if (!ReportFormatOf(a.report)) {
        rt.feedback->message("Error", "The report must be a .htm, .html or .csv file: " + a.report);
        return kExitUsage;
    }
    if (!rt.openDefinitions()) return kExitUsage;
    const EbDiffRequest request{a.oldFile, a.newFile, a.report, SplitCommaList(a.types)};
    try {
        const EbDiffResult result = DiffEbFiles(rt.catalog, *rt.feedback, request);
        if (result.outcome != Outcome::Done) return kExitUsage;
        return result.differ() ? kExitLeftUndone : kExitDone;
    } catch (const std::exception& e) {  // a failure, which diff(1) says with 2 as well
        rt.feedback->message("Error", e.what(), Icon::Critical);
        return kExitUsage;
    }
}

}  // namespace

void SetupDiffCommand(CLI::App& root, CliRuntime& rt) {
    auto* cmd = root.add_subcommand("diff", "Two EB files compared point by point");
    auto a = std::make_shared<DiffArgs>();
    cmd->add_option("OLD", a->oldFile, "The earlier EB file")->required();
    cmd->add_option("NEW", a->newFile, "The later EB file")->required();
    cmd->add_option("REPORT", a->report, "The report to write: .htm, .html or .csv")->required();
    cmd->add_option("--types", a->types, "Only these point types, comma-separated");
    cmd->callback([&rt, a] { rt.run = [&rt, a] { return Run(rt, *a); }; });
}

}  // namespace pel::cli
