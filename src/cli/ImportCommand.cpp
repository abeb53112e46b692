// import DB FILE...: the Import tab's run over the files, in order.

#include "cli/CliCommand.h"
#include "import/ImportDriver.h"

namespace pel::cli {

namespace {

struct ImportArgs {
    std::string database;
    std::vector<std::string> files;
    std::string mode = "updates-and-additions";
    std::string params;
    bool noUpdateDefs = false;
};

}  // namespace

void SetupImportCommand(CLI::App& root, CliRuntime& rt) {
    auto* cmd = root.add_subcommand("import", "The Import tab's run over the files, in order");
    auto args = std::make_shared<ImportArgs>();
    cmd->add_option("DB", args->database, "The point database")->required();
    cmd->add_option("FILE", args->files, "EB files")->required();
    cmd->add_option("--mode", args->mode, "updates-and-additions, updates-only or additions-only")
        ->check(CLI::IsMember({"updates-and-additions", "updates-only", "additions-only"}));
    auto* params = cmd->add_option("--params", args->params,
                                   "\"Selection List Text\" as typed; without it, All");
    cmd->add_flag("--no-update-defs", args->noUpdateDefs,
                  "\"Update Database Definitions\" unchecked");
    cmd->callback([&rt, args, params] {
        const bool hasParams = params->count() > 0;
        rt.run = [&rt, args, hasParams] {
            if (!rt.openDefinitions()) return static_cast<int>(kExitLeftUndone);
            ImportRequest request;
            request.database = args->database;
            request.files = args->files;
            request.mode = args->mode == "updates-only"     ? ImportMode::UpdatesOnly
                           : args->mode == "additions-only" ? ImportMode::AdditionsOnly
                                                            : ImportMode::UpdatesAndAdditions;
            if (hasParams) request.selectionText = args->params;
            request.updateDefinitions = !args->noUpdateDefs;
            return ExitCodeFor(RunImport(rt.catalog, *rt.feedback, request));
        };
    });
}

}  // namespace pel::cli
