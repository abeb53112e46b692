// types [--node NODE]: the point types in PrimaryKey order, one a line.

#include <iostream>

#include "cli/CliCommand.h"

namespace pel::cli {

void SetupTypesCommand(CLI::App& root, CliRuntime& rt) {
    auto* cmd = root.add_subcommand("types", "The point types of the definitions, one a line");
    auto node = std::make_shared<std::string>();
    auto hasNode = std::make_shared<bool>(false);
    auto* opt = cmd->add_option("--node", *node, "Only the point types of this LCN node type");
    cmd->callback([&rt, node, hasNode, opt] {
        *hasNode = opt->count() > 0;
        rt.run = [&rt, node, hasNode] {
            if (!rt.openDefinitions()) return static_cast<int>(kExitLeftUndone);
            for (const auto& def : rt.catalog.definitions())
                if (!*hasNode || (def.node && *def.node == *node)) std::cout << def.pntType << "\n";
            return static_cast<int>(kExitDone);
        };
    });
}

}  // namespace pel::cli
