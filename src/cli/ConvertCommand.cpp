// convert SOURCE DEST.db: an Access database copied into a new SQLite database.

#include "cli/CliCommand.h"
#include "convert/ConvertDatabase.h"

namespace pel::cli {

void SetupConvertCommand(CLI::App& root, CliRuntime& rt) {
    auto* cmd = root.add_subcommand(
        "convert",
        "Copy an Access database (.mdb, .accdb) into a new SQLite database with the "
        "same tables, columns, indexes and values; refuses an existing file");
    auto request = std::make_shared<ConvertRequest>();
    cmd->add_option("SOURCE", request->source, "The Access database to read")->required();
    cmd->add_option("DEST", request->dest, "The SQLite database to create")->required();
    cmd->callback([&rt, request] {
        rt.run = [&rt, request] { return ExitCodeFor(ConvertDatabase(*rt.feedback, *request)); };
    });
}

}  // namespace pel::cli
