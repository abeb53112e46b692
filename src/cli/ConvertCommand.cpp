// convert SOURCE DEST.db: an Access database copied into a new SQLite database.

#include "cli/CliCommand.h"
#include "convert/ConvertDatabase.h"

namespace pel::cli {

void SetupConvertCommand(CLI::App& root, CliRuntime& rt) {
    auto* cmd = root.add_subcommand(
        "convert",
        "Copy an Access database (.mdb, .accdb) into a new SQLite database with the "
        "same tables, columns, indexes and values; refuses an existing file");
    auto source = std::make_shared<std::string>();
    auto dest = std::make_shared<std::string>();
    cmd->add_option("SOURCE", *source, "The Access database to read")->required();
    cmd->add_option("DEST", *dest, "The SQLite database to create")->required();
    cmd->callback([&rt, source, dest] {
        rt.run = [&rt, source, dest] {
            return ExitCodeFor(ConvertDatabase(*source, *dest, *rt.feedback));
        };
    });
}

}  // namespace pel::cli
