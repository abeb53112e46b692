// pelorin-cli: the engines of the window, from a terminal. Reads no settings.

#include <iostream>

#include "cli/CliCommand.h"

int main(int argc, char** argv) {
    using namespace pel::cli;
    CLI::App app{"Pelorin File Conversion Utility: EB files and point databases from a terminal",
                 "pelorin-cli"};
    app.require_subcommand(1);
    app.fallthrough();
    app.set_version_flag("--version", "pelorin-cli " PELORIN_VERSION);
    CliRuntime runtime;
    app.add_option("--defs", runtime.definitionsPath,
                   "Definitions database (default: EB.db beside the program, else EB.mdb)");
    app.add_flag("--yes", runtime.yes,
                 "Answer OK to questions when standard input is not a terminal");
    for (CommandSetup setup : Commands()) setup(app, runtime);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {  // a ParseError too, but a request that succeeded
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return kExitUsage;
    }
    ConsoleFeedback feedback(runtime.yes);
    runtime.feedback = &feedback;
    ConsoleFeedback::cancelOnInterrupt();
    if (!runtime.run) return kExitUsage;
    try {
        return runtime.run();
    } catch (const std::exception& e) {
        feedback.message("Error", e.what(), pel::Icon::Critical);
        return kExitLeftUndone;
    }
}
