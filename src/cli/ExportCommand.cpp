// export DB OUT.eb --types T1,T2,...: the Export tab's run.

#include "cli/CliCommand.h"
#include "export/ExportEngine.h"

namespace pel::cli {

namespace {

struct ExportArgs {
    std::string database, output, types, node = "NIM", order = "Name", select, selectFile;
    int maxPoints = 0;
};

}  // namespace

void SetupExportCommand(CLI::App& root, CliRuntime& rt) {
    auto* cmd = root.add_subcommand("export",
                                    "The Export tab's run: the points of the types into EB files");
    auto a = std::make_shared<ExportArgs>();
    cmd->add_option("DB", a->database, "The point database (SQLite or Access)")->required();
    cmd->add_option("OUT", a->output, "The EB file to write")->required();
    cmd->add_option("--types", a->types, "Point types, in the order to export, comma-separated")
        ->required();
    cmd->add_option("--node", a->node, "LCN node type for the quoted parameters (default NIM)");
    cmd->add_option("--order", a->order, "Order-by text: Name or an index name (default Name)");
    auto* select = cmd->add_option("--select", a->select, "\"Selection List Text\"");
    auto* selectFile = cmd->add_option("--select-file", a->selectFile, "\"Selection List File\"");
    select->excludes(selectFile);
    auto* max =
        cmd->add_option("--max-points", a->maxPoints, "Split the export after N points per file");
    cmd->callback([&rt, a, select, selectFile, max] {
        const bool bySelect = select->count() > 0, byFile = selectFile->count() > 0,
                   limited = max->count() > 0;
        rt.run = [&rt, a, bySelect, byFile, limited] {
            if (!rt.openDefinitions()) return static_cast<int>(kExitLeftUndone);
            ExportRequest request;
            request.limitPointsPerFile = limited;
            if (limited) request.maxPointsPerFile = a->maxPoints;
            request.definitions = rt.definitions.get();
            request.database = a->database;
            request.exportFile = a->output;
            request.pointTypes = PointTypesArgument(rt.catalog, a->types);
            request.selection = bySelect ? ExportSelection::Text
                                : byFile ? ExportSelection::File
                                         : ExportSelection::All;
            request.selectionText = a->select;
            request.selectionFile = a->selectFile;
            request.orderBy = a->order;
            request.lcnNode = a->node;
            return ExitCodeFor(RunExport(*rt.feedback, request));
        };
    });
}

}  // namespace pel::cli
