#pragma once
// The command line's commands and what they share while one runs.

#include <CLI/CLI.hpp>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cli/ConsoleFeedback.h"
#include "core/PointTypeCatalog.h"
#include "db/Database.h"

namespace pel::cli {

enum ExitCode { kExitDone = 0, kExitLeftUndone = 1, kExitUsage = 2 };

struct CliRuntime {
    std::string definitionsPath;   // --defs; empty: EB.db beside the program, else EB.mdb
    bool yes = false;              // --yes
    Feedback* feedback = nullptr;  // a ConsoleFeedback while a command runs
    std::unique_ptr<db::Database> definitions;
    PointTypeCatalog catalog;
    std::function<int()> run;  // set by the chosen subcommand's callback

    // Opens the definitions database and reads its catalog; on failure says why and returns false.
    bool openDefinitions();
};

// The commands, each adding its subcommand to the root; Commands() lists them in the order of
// --help.
using CommandSetup = void (*)(CLI::App& root, CliRuntime& runtime);
void SetupNewDbCommand(CLI::App& root, CliRuntime& runtime);
void SetupTypesCommand(CLI::App& root, CliRuntime& runtime);
void SetupImportCommand(CLI::App& root, CliRuntime& runtime);
void SetupExportCommand(CLI::App& root, CliRuntime& runtime);
void SetupCompareCommand(CLI::App& root, CliRuntime& runtime);
void SetupCompareDbCommand(CLI::App& root, CliRuntime& runtime);
void SetupConnectionsCommand(CLI::App& root, CliRuntime& runtime);
void SetupConvertCommand(CLI::App& root, CliRuntime& runtime);
void SetupCheckConnectionsCommand(CLI::App& root, CliRuntime& runtime);
void SetupDiffCommand(CLI::App& root, CliRuntime& runtime);

inline const std::vector<CommandSetup>& Commands() {
    static const std::vector<CommandSetup> commands{
        SetupNewDbCommand,       SetupTypesCommand,   SetupImportCommand,
        SetupExportCommand,      SetupCompareCommand, SetupCompareDbCommand,
        SetupConnectionsCommand, SetupConvertCommand, SetupCheckConnectionsCommand,
        SetupDiffCommand,
    };
    return commands;
}

// "A,B,C" into its non-empty pieces.
std::vector<std::string> SplitCommaList(const std::string& text);

// The --types list: its pieces, each known type under its known name (letter case ignored, as
// everywhere point types are matched); an unknown type stays as given, for the run to name.
std::vector<std::string> PointTypesArgument(const PointTypeCatalog& catalog,
                                            const std::string& text);

// The directory of the running program.
std::string ProgramDirectory();

inline int ExitCodeFor(Outcome outcome) {
    return outcome == Outcome::Done ? kExitDone : kExitLeftUndone;
}

}  // namespace pel::cli
