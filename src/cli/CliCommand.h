#pragma once
// The command line's commands: each file registers one subcommand.

#include <CLI/CLI.hpp>

#include <functional>
#include <string>
#include <vector>

#include "app/AppState.h"
#include "cli/ConsoleFeedback.h"

namespace pel::cli {

enum ExitCode { kExitDone = 0, kExitLeftUndone = 1, kExitUsage = 2 };

struct CliRuntime {
    std::string definitionsPath;   // --defs; empty: EB.db beside the program, else EB.mdb
    bool yes = false;              // --yes
    Feedback* feedback = nullptr;  // a ConsoleFeedback while a command runs
    AppState state;
    std::function<int()> run;  // set by the chosen subcommand's callback

    // Opens the definitions database into state; on failure says why and returns false.
    bool openDefinitions();
};

using CommandSetup = void (*)(CLI::App& root, CliRuntime& runtime);

struct CommandRegistration {
    // `rank` orders the commands in --help.
    CommandRegistration(int rank, CommandSetup setup);
};

const std::vector<std::pair<int, CommandSetup>>& RegisteredCommands();

// "A,B,C" into its non-empty pieces.
std::vector<std::string> SplitCommaList(const std::string& text);

// The directory of the running program.
std::string ProgramDirectory();

inline int ExitCodeFor(Outcome outcome) {
    return outcome == Outcome::Done ? kExitDone : kExitLeftUndone;
}

}  // namespace pel::cli
